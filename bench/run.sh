#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs every benchmark scenario in one run and prints one table: our figure,
# the floor's (plain sockets), the peer's (python3-zeep), the streaming
# reference's (a minimal C client on expat) and their ratios; then the calls
# across an emulated 30 ms link (bench/wide_area.cpp): round trips per call
# and connections opened, with connection reuse on and off. The small call is
# timed on a new connection (a centre that closes each) and on a kept one.
#
#   bench/run.sh [--short] [--strict] [--no-peer] [--baseline SO] [--attributes N]
#                [--attributes-limit S] [--profile DIR] [--counts] [--build-dir DIR]
#
# --short      few iterations and a small download (seconds); CI runs it
# --strict     exit with 1 when a target is missed
# --no-peer    leave out the python3-zeep peer
# --baseline   an earlier build of libNvInterFace.so whose small call is timed
#              alike, for "no slower than before"
# --attributes the number of attributes on the one element (200000)
# --attributes-limit  seconds after which the library's read of the
#              attribute-heavy answer is stopped (30; 5 with --short)
# --profile    no timing: callgrind profiles of the small call and the
#              download into DIR (the download is the short one with --short)
# --counts     no timing: system calls (strace) and instructions (callgrind)
#              per small call on a kept connection, ours and the floor's
#              (a minute or two; fewer calls with --short)
# --build-dir  an existing build tree (default build/bench, configured as
#              RelWithDebInfo and built here when it has no bench_driver)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$root/build/bench
driver_args=()
while [ $# -gt 0 ]; do
  case $1 in
    --short|--strict|--no-peer|--counts) driver_args+=("$1") ;;
    --profile|--attributes|--attributes-limit) driver_args+=("$1" "$2"); shift ;;
    --baseline) driver_args+=("$1" "$(realpath "$2")"); shift ;;
    --build-dir) build_dir=$(cd "$2" && pwd); shift ;;
    *) echo "usage: bench/run.sh [--short] [--strict] [--no-peer] [--baseline SO] [--attributes N]" \
            "[--attributes-limit S] [--profile DIR] [--counts] [--build-dir DIR]" >&2; exit 2 ;;
  esac
  shift
done

driver=$build_dir/bench/bench_driver
wide_area=$build_dir/bench/wide_area_bench
if [ ! -x "$driver" ] || [ ! -x "$wide_area" ]; then
  cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build_dir" --target bench_driver wide_area_bench -j"$(nproc 2>/dev/null || echo 2)"
fi
"$driver" "${driver_args[@]}"
case " ${driver_args[*]} " in *" --profile "*|*" --counts "*) exit 0 ;; esac
# Calls across an emulated wide-area link, with connection reuse on and off.
wide_args=()
case " ${driver_args[*]} " in *" --short "*) wide_args+=(--calls 10 --lines 20) ;; esac
case " ${driver_args[*]} " in *" --strict "*) wide_args+=(--strict) ;; esac
echo
"$wide_area" "${wide_args[@]}"
