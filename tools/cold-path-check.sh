#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The fresh machine's path, taken for real: fetches the smallest source
# package the Windows build cross-builds (expat) from Debian's mirror into a
# scratch cache and builds it, as a machine that never ran the bootstrap
# does (tools/test.sh runs it). A mirror that cannot be reached at the
# moment is its own outcome, reported as such, not a failure of the code.
#   tools/cold-path-check.sh [TRIPLE]    (default i686-w64-mingw32)
set -uo pipefail
cd "$(dirname "$0")/.."
triple=${1:-i686-w64-mingw32}
scratch=$(mktemp -d "${TMPDIR:-/tmp}/nv-cold-path.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

start=$SECONDS
NV_EXPAT_CACHE=$scratch tools/cross-build-expat.sh "$triple" > "$scratch/out" 2> "$scratch/err"
rc=$?
took=$((SECONDS - start))
sed 's/^/cold path: /' "$scratch/err"
case $rc in
  0)
    built=$(cat "$scratch"/*/src/.debian-version)
    echo "cold path: expat $built fetched and built for $triple into an empty cache in $took s"
    ;;
  75)
    echo "cold path: NOT CHECKED: Debian's mirror cannot be reached now (the fetch itself was not tried)"
    ;;
  *)
    echo "cold path: FAILED: fetching and building expat into an empty cache (exit $rc)" >&2
    exit 1
    ;;
esac
