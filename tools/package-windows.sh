#!/usr/bin/env bash
# The kit a HIS vendor receives, in one command: NvInterFace-<version>-windows.zip
# from the x86 and x64 cross builds (tools/windows-test.sh --build-only makes
# them), holding per architecture the stripped DLL and nvcall.exe with their
# debug files, both module definitions and the import libraries; the sandbox
# centre nv_sandbox.exe (x86) with its debug file; the header;
# the wrappers with their samples; the guide, the reference and the
# configuration, network and trace documents in Chinese and English; a sample
# NvConfiguration.ini, which points at the sandbox's default address; README.txt, LICENSE.txt, THIRD-PARTY-NOTICES.txt,
# CHANGELOG.txt; and SHA256SUMS.txt over every file.
# Text files are UTF-8 with CR LF; documents start with a byte order mark,
# which Notepad needs and C, Pascal and .def readers of old compilers do not
# take, so ASCII sources have none. NvConfiguration.ini and SHA256SUMS.txt are
# data for programs and stay as they are read.
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
cache=${NV_CACHE_DIR:-/var/cache/nvinterface}

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

# kit_text SOURCE DESTINATION [bom]: a text file with CR LF line ends, and
# with bom a byte order mark first.
kit_text() {
  mkdir -p "$(dirname "$kit/$2")"
  { [ "${3:-}" = bom ] && printf '\xef\xbb\xbf'; sed 's/\r$//; s/$/\r/' "$1"; } > "$kit/$2"
}

# section HEADING: one "## HEADING" section of README.md, as a document.
section() {
  local text
  text=$(awk -v heading="## $1" '$0 == heading { on = 1; print "#" substr($0, 3); next }
                                  on && /^## / { exit } on' README.md)
  if [ -z "$text" ]; then
    echo "package-windows: README.md has no section \"## $1\"" >&2
    exit 1
  fi
  printf '%s\n' "$text"
}

# The Debian copyright file of each library linked statically into the
# kit's programs, from the source package it was cross-built from, then the
# full text of every common licence those files refer to: a Windows machine
# has no /usr/share/common-licenses.
third_party_notices() {
  local entry lib package optional version copyright licences=""
  echo "Third-party libraries in NvInterFace's Windows programs"
  echo "======================================================="
  echo
  echo "NvInterFace.dll, nvcall.exe and nv_sandbox.exe link the libraries below statically"
  echo "(SQLite: nv_sandbox.exe alone). Each"
  echo "section is the copyright file of the Debian source package the library was"
  echo "built from, as Debian states its authors and licence."
  for entry in gsoap:gsoap:required expat:libexpat1-dev:required openssl:libssl-dev:required \
               curl:libcurl4-openssl-dev:required sqlite:libsqlite3-dev:required; do
    IFS=: read -r lib package optional <<< "$entry"
    version=$(dpkg-query -W -f='${Version}' "$package" 2>/dev/null || true)
    copyright=$(find "$cache/$lib/$version" -maxdepth 3 -path '*/debian/copyright' 2>/dev/null | sort | head -n 1)
    if [ -z "$version" ] || [ -z "$copyright" ]; then
      [ "$optional" = optional ] && continue
      echo "package-windows: no Debian copyright file of $lib under $cache/$lib/$version" \
           "(tools/bootstrap.sh windows)" >&2
      exit 1
    fi
    printf '\n\n==== %s %s (Debian source package; the version of %s)\n\n' "$lib" "$version" "$package"
    cat "$copyright"
    licences+=$(grep -o '/usr/share/common-licenses/[A-Za-z0-9.+_-]*' "$copyright" || true)$'\n'
  done
  for licence in $(printf '%s' "$licences" | sed 's/[.]$//' | sort -u); do
    [ -f "$licence" ] || { echo "package-windows: $licence is referred to but missing" >&2; exit 1; }
    printf '\n\n==== %s\n\n' "$licence"
    cat "$licence"
  done
}

for arch in x86 x64; do
  [ "$arch" = x86 ] && build=$x86 || build=$x64
  mkdir -p "$kit/$arch"
  for file in NvInterFace.dll NvInterFace.dll.debug NvInterFace.lib NvInterFace.dll.a nvcall.exe nvcall.exe.debug; do
    if [ ! -f "$build/$file" ]; then
      echo "package-windows: $build has no $file" >&2
      exit 1
    fi
    cp "$build/$file" "$kit/$arch/"
  done
  kit_text exports/NvInterFace.def "$arch/NvInterFace.def"
  kit_text "$build/NvInterFace.decorated.def" "$arch/NvInterFace.decorated.def"
done
# The sandbox centre, for a first call before the county's centre is reached
# (x86: HIS processes of either bitness call it over the network).
for file in nv_sandbox.exe nv_sandbox.exe.debug; do
  if [ ! -f "$x86/$file" ]; then
    echo "package-windows: $x86 has no $file" >&2
    exit 1
  fi
done
mkdir -p "$kit/sandbox"
cp "$x86/nv_sandbox.exe" "$x86/nv_sandbox.exe.debug" "$kit/sandbox/"
kit_text include/NvInterFace.h include/NvInterFace.h
kit_text wrappers/NvInterFace.cs wrappers/NvInterFace.cs bom
kit_text wrappers/NvInterFace.pas wrappers/NvInterFace.pas
kit_text wrappers/samples/OutpatientFlow.cs wrappers/samples/OutpatientFlow.cs bom
kit_text wrappers/samples/OutpatientFlow.dpr wrappers/samples/OutpatientFlow.dpr
for doc in using-the-dll.md reference.zh.md reference.en.md configuration.zh.md network.zh.md trace.zh.md; do
  kit_text "docs/$doc" "docs/$doc" bom
done
section "Configuration" > "$stage/configuration.en.md"
section "Networks: time-outs, kept connections, HTTPS, proxies" > "$stage/network.en.md"
section "The call trace" > "$stage/trace.en.md"
for doc in configuration network trace; do kit_text "$stage/$doc.en.md" "docs/$doc.en.md" bom; done
cp docs/windows/NvConfiguration.ini "$kit/docs/"
sed "s/@VERSION@/$version/" docs/windows/README.txt > "$stage/README.txt"
kit_text "$stage/README.txt" README.txt bom
kit_text docs/windows/LICENSE.txt LICENSE.txt bom
third_party_notices > "$stage/THIRD-PARTY-NOTICES.txt"
kit_text "$stage/THIRD-PARTY-NOTICES.txt" THIRD-PARTY-NOTICES.txt bom
kit_text docs/CHANGELOG.md CHANGELOG.txt bom
(cd "$kit" && find . -type f ! -name SHA256SUMS.txt -printf '%P\n' | LC_ALL=C sort | xargs sha256sum > SHA256SUMS.txt)

mkdir -p "$out"
rm -f "$out/$name.zip"
# Fixed times and no extra attributes: the same files give the same archive.
find "$kit" -exec touch -h -d "@$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 0)" {} +
(cd "$stage" && find "$name" | LC_ALL=C sort | zip -q -X -D "$out/$name.zip" -@)
echo "$out/$name.zip"
