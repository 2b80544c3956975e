#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The long run: 100,000 mixed calls against a loopback centre with resident
# memory sampled along the way (tests/robustness/soak_main.cpp), in the
# plain build and then under AddressSanitizer and LeakSanitizer; then as many
# calls from 8 threads over kept connections the centre closes at random.
#   tools/soak.sh [calls]          default 100000
#   NV_SOAK_SANITIZED=0 tools/soak.sh   plain build only
set -euo pipefail
cd "$(dirname "$0")/.."
calls=${1:-100000}

run() {
  local build=$1; shift
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$build" -j"$(nproc 2>/dev/null || echo 2)" --target nv_soak
  echo "== $build"
  "$build/tests/nv_soak" "$calls"
  "$build/tests/nv_soak" reuse "$calls"
}

run build/robust
if [ "${NV_SOAK_SANITIZED:-1}" != 0 ]; then
  ASAN_OPTIONS=detect_leaks=1 run build/robust-asan -DNV_SANITIZE=ON
fi
