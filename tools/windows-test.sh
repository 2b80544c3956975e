#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows DLLs: installs the cross compilers and Wine, cross-builds
# NvInterFace.dll, its import libraries, nvcall.exe and the test programs for
# x86 (build/windows) and x64 (build/windows-x64), then builds and runs the
# Linux-side tests that run them under Wine (x64 under wine64) and compare
# every result with the Linux library's.
#   tools/windows-test.sh                  all of it (Linux side in build/plain)
#   tools/windows-test.sh --build-only     bootstrap and cross build only; the
#                                          Linux suites' ctest then runs the
#                                          Wine tests (label "windows")
#   NV_WINDOWS_BUILD_DIR=build/w NV_WINDOWS_X64_BUILD_DIR=build/w64 \
#   NV_LINUX_BUILD_DIR=build/x tools/windows-test.sh
#                                          other build directories
set -euo pipefail
cd "$(dirname "$0")/.."

build_only=no
case "${1:-}" in
  --build-only) build_only=yes ;;
  "") ;;
  *) echo "usage: $0 [--build-only]" >&2; exit 2 ;;
esac

jobs=$(nproc 2>/dev/null || echo 2)
[ "$jobs" -gt 2 ] && jobs=2

tools/bootstrap.sh windows >/dev/null

cross_build=${NV_WINDOWS_BUILD_DIR:-build/windows}
cross_build_x64=${NV_WINDOWS_X64_BUILD_DIR:-build/windows-x64}
# Both builds at once: each one's spans on a single core (configuring, the
# generated serialisers' one big file, linking and stripping) leave a core
# that the other build fills.
pids=()
for pair in "$cross_build:mingw-i686" "$cross_build_x64:mingw-x86_64"; do
  dir=${pair%%:*} toolchain=${pair#*:}
  (
    echo "== windows cross build in $dir ($toolchain)"
    cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="cmake/$toolchain.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DNV_BUILD_TESTS=OFF >/dev/null
    cmake --build "$dir" -j"$jobs"
  ) &
  pids+=($!)
done
failed=0
for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
[ "$failed" = 0 ] || { echo "windows-test: a cross build failed" >&2; exit 1; }
[ "$build_only" = yes ] && exit 0

linux_build=${NV_LINUX_BUILD_DIR:-build/plain}
echo "== windows tests (Linux side in $linux_build)"
cmake -S . -B "$linux_build" -DNV_WINDOWS_BUILD_DIR="$(realpath "$cross_build")" \
  -DNV_WINDOWS_X64_BUILD_DIR="$(realpath "$cross_build_x64")" >/dev/null
cmake --build "$linux_build" -j"$jobs" --target windows_dll_tests windows_x64_dll_tests
ctest --test-dir "$linux_build" -L windows --output-on-failure
