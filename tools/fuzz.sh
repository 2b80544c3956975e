#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehavior-
# Sanitizer) and runs each for a bounded time, as many at once as there are
# cores (each runs on one); fails on any finding.
#   tools/fuzz.sh [seconds-per-target] [target...]
# Default 180 s per target; tools/test.sh (and so CI) runs 30 s each. With 0
# seconds only the seeds and kept findings are run. Inputs that found
# something are written to build/fuzz/findings/; the corpus a run grows is
# kept in build/fuzz/corpus/ (the seeds in fuzz/corpus/ are never touched).
# After a fix, copy the finding into fuzz/corpus/<target>/ as a regression.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-180}
shift || true
all_targets=(fuzz_codecs fuzz_configuration fuzz_arguments fuzz_packed_registration fuzz_response fuzz_differential
  fuzz_settings fuzz_proxy)
targets=("${@:-${all_targets[@]}}")
build=$(realpath -m "${NV_FUZZ_BUILD_DIR:-build/fuzz}")
seeds=$PWD/fuzz/corpus  # absolute: the targets work in a scratch directory

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DNV_FUZZ=ON -DNV_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc 2>/dev/null || echo 2)" --target "${targets[@]}"

# Every seed and kept finding first, as a regression pass.
ctest --test-dir "$build/fuzz" --output-on-failure -L fuzz

if [ "$seconds" -eq 0 ]; then
  echo "fuzz: seeds and kept findings pass"
  exit 0
fi

mkdir -p "$build/findings"
# One target's run; its log in findings/TARGET.log.
fuzz_target() {
  local target=$1 work="$build/corpus/$1" dict=()
  mkdir -p "$work"
  [ -f "fuzz/$target.dict" ] && dict=(-dict="$PWD/fuzz/$target.dict")
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "$build/fuzz/$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2560 -print_final_stats=1 \
    -artifact_prefix="$build/findings/$target-" "${dict[@]}" "$work" "$seeds/$target" \
    2>"$build/findings/$target.log"
}
# A target runs on one core: as many at once as there are cores.
at_once=$(nproc 2>/dev/null || echo 2)
failed=()
for ((first = 0; first < ${#targets[@]}; first += at_once)); do
  batch=("${targets[@]:first:at_once}")
  pids=()
  for target in "${batch[@]}"; do
    echo "== $target: ${seconds}s"
    fuzz_target "$target" &
    pids+=($!)
  done
  for i in "${!batch[@]}"; do
    target=${batch[$i]}
    if ! wait "${pids[$i]}"; then
      failed+=("$target")
      tail -n 60 "$build/findings/$target.log" >&2
    else
      echo "$target: $(grep -E "stat::number_of_executed_units|Done [0-9]+ runs" "$build/findings/$target.log" |
        tail -n 2 | tr '\n' ' ')"
    fi
  done
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: findings in: ${failed[*]} (inputs in $build/findings/)" >&2
  exit 1
fi
echo "fuzz: no findings"
