#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs every test: installs what is missing (with the Windows cross builds'
# libraries; compiler results are kept between runs by ccache), fetches and builds one source package into an empty cache as a
# new machine does, checks the formatting (tools/format.sh) and the licence
# identifiers (tools/licence-check.sh), cross-builds the Windows DLLs and
# makes the release archive (build/release) and checks that it is the same
# built at another path, builds the plain and the
# sanitizer configuration, runs the suite in both (the Wine tests in the
# plain one only: they run the same Windows programs either way), the
# threaded tests under ThreadSanitizer, then gives every fuzz target a short
# run (NV_FUZZ_SECONDS each, 30 by default; with 0 only its seeds run).
# Each stage's time is printed as it ends and listed at the end
# (build/stage-times.txt).
set -euo pipefail
cd "$(dirname "$0")/.."

# Each stage's time, printed as it ends and listed at the end, with how
# many cores it kept busy on average (from /proc/stat: a stage that keeps
# fewer than all busy has a span on one core that something could share).
mkdir -p build
times=build/stage-times.txt
: > "$times"
busy_ticks() { awk '/^cpu / { print $2 + $3 + $4 + $7 + $8, $2 + $3 + $4 + $5 + $6 + $7 + $8; exit }' /proc/stat; }
cores=$(nproc 2>/dev/null || echo 1)
stage_start=$SECONDS
read -r stage_busy stage_all < <(busy_ticks)
stage() {
  local name=$1 took=$((SECONDS - stage_start)) busy all
  read -r busy all < <(busy_ticks)
  printf '%-28s %4d s  %s cores busy\n' "$name" "$took" \
    "$(awk -v b=$((busy - stage_busy)) -v a=$((all - stage_all)) -v n="$cores" 'BEGIN { printf "%.1f", a ? n * b / a : 0 }')" |
    tee -a "$times"
  stage_start=$SECONDS stage_busy=$busy stage_all=$all
}

tools/bootstrap.sh windows >/dev/null
stage bootstrap
# Compiler results are kept between runs, outside the clone (ccache): a
# machine that ran the test command before compiles only what changed, in
# every build below. Paths under the clone are hashed relative to it, so
# another clone of the same sources finds them too.
ccache_dir=${NV_CACHE_DIR:-/var/cache/nvinterface}/ccache
if ! { mkdir -p "$ccache_dir" 2>/dev/null && [ -w "$ccache_dir" ]; }; then
  ccache_dir=${XDG_CACHE_HOME:-$HOME/.cache}/nvinterface/ccache
fi
export CCACHE_DIR=$ccache_dir CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-5G}
# The test programs share a precompiled header; ccache keeps what is compiled
# with it only when told to.
export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
tools/cold-path-check.sh
stage cold-path
tools/format.sh --check
tools/licence-check.sh
stage format
# The x86 and x64 Windows DLLs and their programs; the suites below run them
# under Wine. Then the archive a HIS vendor receives.
tools/windows-test.sh --build-only
stage windows-builds
tools/package-windows.sh
stage package
# The same archive again from a copy of the tree at another path, byte for
# byte: no build path and no time in it.
tools/reproducible-check.sh
stage reproducible

jobs=$(nproc 2>/dev/null || echo 2)
run_suite() {
  local name=$1; shift
  echo "== $name build"
  cmake -S . -B "build/$name" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "build/$name" -j"$jobs"
  stage "$name-build"
  echo "== $name tests"
  ctest --test-dir "build/$name" --output-on-failure -j"$jobs"
  stage "$name-tests"
}

run_suite plain
# The sanitizer build also has allocation gates: its torture run refuses
# each request for memory of a call in turn. GCC 12's leak checker can take a
# thread-local block of a library loaded with dlopen (the benchmarks load it so)
# for an old glibc layout and crash in its tracer at exit; not intercepting
# __tls_get_addr avoids that.
ASAN_OPTIONS=detect_leaks=1:intercept_tls_get_addr=0 UBSAN_OPTIONS=print_stacktrace=1 run_suite asan -DNV_SANITIZE=ON -DNV_ALLOCATION_GATES=ON
# The threaded tests under ThreadSanitizer: the shared connection pool, TLS
# sessions and trusted roots, the trace file, the settings files' kept
# copies, the reuse soak's short run.
echo "== tsan build"
cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNV_SANITIZE_THREAD=ON >/dev/null
cmake --build build/tsan -j"$jobs" --target template_export_tests robustness_tests outpatient_export_tests frame_tests
echo "== tsan tests"
export TSAN_OPTIONS=halt_on_error=1
build/tsan/tests/template_export_tests \
  --gtest_filter='ConnectionReuse.Eight*:ServiceCall.ConcurrentCallsAreIndependent:ServiceCall.EachCallLeavesOneTrace*'
build/tsan/tests/robustness_tests --gtest_filter='ReuseSoak.*'
build/tsan/tests/outpatient_export_tests --gtest_filter='OutpatientConcurrency.*'
build/tsan/tests/frame_tests --gtest_filter='KeptFile.EightThreads*'
unset TSAN_OPTIONS
stage tsan
tools/fuzz.sh "${NV_FUZZ_SECONDS:-30}"
stage fuzz
echo "== stage times"
cat "$times"
printf '%-28s %4d s\n' total "$SECONDS"
