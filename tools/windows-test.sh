#!/usr/bin/env bash
# The 32-bit Windows DLL: installs the cross compiler and Wine, cross-builds
# NvInterFace.dll and its LoadLibrary driver into build/windows, then builds
# and runs the Linux-side tests that run the driver under Wine and compare
# every result with the Linux library's.
#   tools/windows-test.sh                  all of it (Linux side in build/plain)
#   tools/windows-test.sh --build-only     bootstrap and cross build only; the
#                                          Linux suites' ctest then runs the
#                                          Wine tests (label "windows")
#   NV_WINDOWS_BUILD_DIR=build/w NV_LINUX_BUILD_DIR=build/x tools/windows-test.sh
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
echo "== windows cross build in $cross_build"
cmake -S . -B "$cross_build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DCMAKE_BUILD_TYPE=Release -DNV_BUILD_TESTS=OFF >/dev/null
cmake --build "$cross_build" -j"$jobs"
[ "$build_only" = yes ] && exit 0

linux_build=${NV_LINUX_BUILD_DIR:-build/plain}
echo "== windows tests (Linux side in $linux_build)"
cmake -S . -B "$linux_build" -DNV_WINDOWS_BUILD_DIR="$(realpath "$cross_build")" >/dev/null
cmake --build "$linux_build" -j"$jobs" --target windows_dll_tests
ctest --test-dir "$linux_build" -L windows --output-on-failure
