#!/usr/bin/env bash
# Runs every test: installs what is missing, checks the formatting
# (tools/format.sh), cross-builds the Windows DLLs and makes the release
# archive (build/release), builds the plain and the sanitizer configuration,
# runs the suite in both (the Wine tests in the plain one only: they run the
# same Windows programs either way), then gives every fuzz target a short run
# (NV_FUZZ_SECONDS each, 30 by default; with 0 only its seeds run).
set -euo pipefail
cd "$(dirname "$0")/.."

tools/bootstrap.sh
# Every hand-written source in the one style of .clang-format.
tools/format.sh --check
# The x86 and x64 Windows DLLs and their programs; the suites below run them
# under Wine. Then the archive a HIS vendor receives.
tools/windows-test.sh --build-only
tools/package-windows.sh

jobs=$(nproc 2>/dev/null || echo 2)
run_suite() {
  local name=$1; shift
  echo "== $name build"
  cmake -S . -B "build/$name" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "build/$name" -j"$jobs"
  echo "== $name tests"
  ctest --test-dir "build/$name" --output-on-failure -j"$jobs"
}

run_suite plain
# The sanitizer build also has allocation gates: its torture run refuses
# each request for memory of a call in turn.
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_suite asan -DNV_SANITIZE=ON -DNV_ALLOCATION_GATES=ON
tools/fuzz.sh "${NV_FUZZ_SECONDS:-30}"
