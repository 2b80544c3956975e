#!/usr/bin/env bash
# The kit a HIS vendor receives, in one command: NvInterFace-<version>-windows.zip
# from the x86 and x64 cross builds (tools/windows-test.sh --build-only makes
# them), holding per architecture the DLL, the module definition, the import
# libraries and nvcall.exe; the sandbox centre nv_sandbox.exe (x86); the
# header; the guide and a sample NvConfiguration.ini, which points at the
# sandbox's default address; README.txt; and SHA256SUMS.txt over every file.
# The version is the CMake project's, read from the cross build.
#   tools/package-windows.sh [OUTPUT_DIR]     (default build/release)
#   NV_WINDOWS_BUILD_DIR / NV_WINDOWS_X64_BUILD_DIR: other cross builds
# Prints the archive's path on its last line.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$(realpath -m "${1:-build/release}")
x86=${NV_WINDOWS_BUILD_DIR:-build/windows}
x64=${NV_WINDOWS_X64_BUILD_DIR:-build/windows-x64}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$x86/CMakeCache.txt" 2>/dev/null || true)
version_x64=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$x64/CMakeCache.txt" 2>/dev/null || true)
if [ -z "$version" ] || [ "$version" != "$version_x64" ]; then
  echo "package-windows: no matching x86 and x64 cross builds in $x86 and $x64" \
       "(tools/windows-test.sh --build-only)" >&2
  exit 1
fi
name=NvInterFace-$version-windows
stage=$(mktemp -d "${TMPDIR:-/tmp}/nv-package.XXXXXX")
trap 'rm -rf "$stage"' EXIT
kit=$stage/$name

for arch in x86 x64; do
  [ "$arch" = x86 ] && build=$x86 || build=$x64
  mkdir -p "$kit/$arch"
  for file in NvInterFace.dll NvInterFace.lib NvInterFace.dll.a nvcall.exe; do
    if [ ! -f "$build/$file" ]; then
      echo "package-windows: $build has no $file" >&2
      exit 1
    fi
    cp "$build/$file" "$kit/$arch/"
  done
  cp exports/NvInterFace.def "$kit/$arch/"
done
# The sandbox centre, for a first call before the county's centre is reached
# (x86: HIS processes of either bitness call it over the network).
if [ ! -f "$x86/nv_sandbox.exe" ]; then
  echo "package-windows: $x86 has no nv_sandbox.exe" >&2
  exit 1
fi
mkdir -p "$kit/sandbox"
cp "$x86/nv_sandbox.exe" "$kit/sandbox/"
mkdir -p "$kit/include" "$kit/docs"
cp include/NvInterFace.h "$kit/include/"
cp docs/using-the-dll.md docs/windows/NvConfiguration.ini "$kit/docs/"
# Notepad reads UTF-8 without doubt when the text starts with a byte order
# mark; the lines end in CR LF.
{ printf '\xef\xbb\xbf'; sed "s/@VERSION@/$version/; s/\$/\r/" docs/windows/README.txt; } > "$kit/README.txt"
(cd "$kit" && find . -type f ! -name SHA256SUMS.txt -printf '%P\n' | LC_ALL=C sort | xargs sha256sum > SHA256SUMS.txt)

mkdir -p "$out"
rm -f "$out/$name.zip"
# Fixed times and no extra attributes: the same files give the same archive.
find "$kit" -exec touch -h -d "@$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 0)" {} +
(cd "$stage" && find "$name" | LC_ALL=C sort | zip -q -X -D "$out/$name.zip" -@)
echo "$out/$name.zip"
