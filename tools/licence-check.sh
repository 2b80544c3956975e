#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fails, naming each one, when a tracked source file does not carry its
# SPDX-License-Identifier in its first three lines (tools/test.sh runs it).
# Sources are code, build and script files; documents, data and fuzz seeds
# are not.
set -euo pipefail
cd "$(dirname "$0")/.."

missing=0
while IFS= read -r -d '' file; do
  if ! head -n 3 "$file" | grep -q 'SPDX-License-Identifier: '; then
    echo "licence: no SPDX-License-Identifier in $file" >&2
    missing=1
  fi
done < <(git ls-files -z -- '*.c' '*.cpp' '*.h' '*.in' '*.cs' '*.pas' '*.dpr' '*.js' '*.css' '*.html' '*.svg' \
  '*.py' '*.sh' '*.cmake' '*CMakeLists.txt' '*.def' .ci/run ':!fuzz/corpus')
exit "$missing"
