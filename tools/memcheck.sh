#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Valgrind memcheck over the Linux test suite: every GoogleTest binary that
# ctest knows, each run once in full under memcheck, in the plain build.
# Fails on any invalid access, use of uninitialised memory, or definite or
# indirect leak. Tests that fail under valgrind for another reason (time
# budgets: everything runs some 20 to 50 times slower) are listed, not
# counted. Logs: <build>/memcheck/<binary>.log (valgrind), .log.out (tests)
#   tools/memcheck.sh [gtest filter]    e.g. tools/memcheck.sh 'HisInput.*'
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath -m "${NV_MEMCHECK_BUILD_DIR:-build/robust}")
filter=${1:-*}

command -v valgrind >/dev/null || { echo "memcheck: valgrind is not installed" >&2; exit 2; }
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc 2>/dev/null || echo 2)"

# The GoogleTest binaries, from ctest's own list of commands.
mapfile -t binaries < <(ctest --test-dir "$build" --show-only=json-v1 | /usr/bin/python3 -c '
import json, sys
seen = []
for test in json.load(sys.stdin)["tests"]:
    command = test.get("command") or []
    if any(a.startswith("--gtest_filter") for a in command) and command[0] not in seen:
        seen.append(command[0])
print("\n".join(seen))')

mkdir -p "$build/memcheck"
failed=()
slow=()
for binary in "${binaries[@]}"; do
  name=$(basename "$binary")
  log="$build/memcheck/$name.log"
  start=$(date +%s)
  # Tests take their working directory from the scratch directory they make;
  # run from the binary's own directory as ctest does.
  if (cd "$(dirname "$binary")" && valgrind --tool=memcheck --leak-check=full \
        --errors-for-leak-kinds=definite,indirect --show-leak-kinds=definite,indirect \
        --error-exitcode=99 --num-callers=30 --log-file="$log" \
        "$binary" --gtest_filter="$filter" >"$log.out" 2>&1); then
    echo "memcheck: $name clean ($(( $(date +%s) - start )) s)"
  else
    status=$?
    if [ $status -eq 99 ]; then
      echo "memcheck: $name: memory errors (see $log)" >&2
      failed+=("$name")
    elif grep -q "ERROR SUMMARY: 0 errors" "$log"; then
      echo "memcheck: $name clean; tests failed under valgrind (see $log.out):" >&2
      grep -a "^\[  FAILED  \] [A-Za-z]" "$log.out" | sort -u >&2 || true
      slow+=("$name")
    else
      echo "memcheck: $name: no verdict, status $status (see $log, $log.out)" >&2
      failed+=("$name")
    fi
  fi
done

[ ${#slow[@]} -gt 0 ] && echo "memcheck: tests that fail only under valgrind in: ${slow[*]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "memcheck: problems in: ${failed[*]}" >&2
  exit 1
fi
echo "memcheck: no invalid access, no leak"
