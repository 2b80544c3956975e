#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# One style for every hand-written C and C++ source (.clang-format).
#   tools/format.sh           reformats the tracked sources in place
#   tools/format.sh --check   changes nothing; fails and names each file
#                             whose formatting differs (tools/test.sh runs it)
# The service definition (service/*.in) is soapcpp2's input, not C++, and
# keeps its own layout; fuzz seeds are data.
set -euo pipefail
cd "$(dirname "$0")/.."

clang_format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$clang_format" ]; then
  echo "format: clang-format is missing (tools/bootstrap.sh installs it)" >&2
  exit 1
fi

mapfile -t sources < <(git ls-files -- '*.c' '*.cpp' '*.h' ':!fuzz/corpus')
case "${1:-}" in
  "") "$clang_format" -i "${sources[@]}" ;;
  --check)
    if ! report=$("$clang_format" --dry-run --Werror "${sources[@]}" 2>&1); then
      grep -o '^[^:]*:[0-9]*:[0-9]*: error' <<<"$report" | cut -d: -f1 | sort -u | sed 's/^/format: not formatted: /' >&2
      echo "format: tools/format.sh reformats them" >&2
      exit 1
    fi ;;
  *) echo "usage: $0 [--check]" >&2; exit 2 ;;
esac
