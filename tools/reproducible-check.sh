#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks that the release archive is reproducible: builds the Windows
# programs and the archive a second time, in a copy of this tree at another
# path, and compares that archive with build/release's byte for byte. Run
# after tools/windows-test.sh --build-only and tools/package-windows.sh; the
# second build takes its compiler results from the first (ccache), so it costs
# little more than the links. On a difference, names each file of the archive
# that differs, and exits 1.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
first=$(ls "$root"/build/release/NvInterFace-*-windows.zip 2>/dev/null | head -n 1)
if [ -z "$first" ]; then
  echo "reproducible-check: no archive in build/release: run tools/package-windows.sh first" >&2
  exit 2
fi

# The copy: the tree as it stands, with its git metadata (the build number
# and the archive's times come from the commit), without any build output.
work=$root/build/reproduce
copy=$work/tree
rm -rf "$work"
mkdir -p "$copy"
tar -C "$root" --exclude=./build -cf - . | tar -C "$copy" -xf -
# Compiled as the first was: through the same compiler launcher (ccache
# hands the compiler paths relative to its base folder, which then go into
# the debug information as such), with this tree as the base folder.
launcher=$(sed -n 's/^CMAKE_CXX_COMPILER_LAUNCHER:[A-Z]*=//p' build/windows/CMakeCache.txt)
(
  cd "$copy"
  export CCACHE_BASEDIR=$copy CMAKE_C_COMPILER_LAUNCHER=$launcher CMAKE_CXX_COMPILER_LAUNCHER=$launcher
  tools/windows-test.sh --build-only >"$work/build.log" 2>&1 || {
    tail -n 40 "$work/build.log" >&2
    exit 1
  }
  tools/package-windows.sh >>"$work/build.log" 2>&1
)
second=$copy/build/release/$(basename "$first")

if cmp -s "$first" "$second"; then
  echo "reproducible: $(basename "$first") built again at another path is the same $(stat -c %s "$first") bytes"
  exit 0
fi
echo "reproducible-check: $(basename "$first") differs when built at another path" >&2
mkdir -p "$work/first" "$work/second"
(cd "$work/first" && unzip -q "$first")
(cd "$work/second" && unzip -q "$second")
diff -rq "$work/first" "$work/second" >&2 || true
exit 1
