#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Cross-builds a static expat for Windows with Debian's mingw-w64 (win32
# threads variant), from Debian's source package of the installed
# libexpat1-dev, into a cache outside the repository; never committed.
#   tools/cross-build-expat.sh TRIPLE     i686-w64-mingw32 or x86_64-w64-mingw32
# Sources:  /var/cache/nvinterface/expat/<version>/src
# Library:  /var/cache/nvinterface/expat/<version>/<TRIPLE>/{lib/libexpat.a,include}
# Skips the work when the library is there. Runs as root (or through sudo).
# Prints the installed directory last.
set -euo pipefail
. "$(dirname "$0")/bootstrap-common.sh"

triple=${1:-}
case $triple in
  i686-w64-mingw32|x86_64-w64-mingw32) ;;
  *) echo "usage: $0 i686-w64-mingw32|x86_64-w64-mingw32" >&2; exit 2 ;;
esac

expat_cache=${NV_EXPAT_CACHE:-${NV_CACHE_DIR:-/var/cache/nvinterface}/expat}
# The source package and version the installed libexpat1-dev was built from.
read -r source_package expat_version < <(dpkg-query -W -f='${source:Package} ${source:Version}\n' libexpat1-dev)
version_dir=$expat_cache/$expat_version
prefix=$version_dir/$triple

if [ -f "$prefix/.built" ]; then
  echo "$prefix"
  exit 0
fi

fetch_debian_source "$source_package" "$expat_version" "$version_dir/src" expat/lib/xmlparse.c
[ "${NV_FETCH_ONLY:-}" != 1 ] || exit 0

# The library alone: no tools, examples, tests or docs. Static, with
# XML_STATIC in the installed headers' users (cmake/Expat.cmake sets it).
work=$(as_root mktemp -d "$version_dir/.build-$triple.XXXXXX")
trap 'as_root rm -rf "$work"' EXIT
as_root cmake -S "$version_dir/src/expat" -B "$work" \
  -DCMAKE_SYSTEM_NAME=Windows \
  -DCMAKE_C_COMPILER="$triple-gcc-win32" \
  -DCMAKE_RC_COMPILER="$triple-windres" \
  -DCMAKE_AR="$(command -v "$triple-ar")" \
  -DCMAKE_RANLIB="$(command -v "$triple-ranlib")" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$work/install" \
  -DCMAKE_C_FLAGS="-D_WIN32_WINNT=0x0600" \
  -DEXPAT_SHARED_LIBS=OFF \
  -DEXPAT_BUILD_TOOLS=OFF \
  -DEXPAT_BUILD_EXAMPLES=OFF \
  -DEXPAT_BUILD_TESTS=OFF \
  -DEXPAT_BUILD_DOCS=OFF \
  -DEXPAT_BUILD_FUZZERS=OFF \
  -DEXPAT_BUILD_PKGCONFIG=OFF \
  -DEXPAT_ENABLE_INSTALL=ON >/dev/null
# Debian builds with configure, which defines these as 1; its security fixes
# test "XML_DTD == 1", which the CMake form's bare #define breaks.
as_root sed -i -e 's/^#define XML_DTD$/#define XML_DTD 1/' -e 's/^#define XML_NS$/#define XML_NS 1/' \
  "$work/expat_config.h"
as_root cmake --build "$work" -j"$(nproc 2>/dev/null || echo 2)" >/dev/null
as_root cmake --install "$work" >/dev/null

# Only the archive and the public headers are kept.
as_root rm -rf "$prefix"
as_root mkdir -p "$prefix/lib" "$prefix/include"
as_root cp "$work/install/lib/libexpat.a" "$prefix/lib/"
as_root cp "$work/install/include/expat.h" "$work/install/include/expat_external.h" "$prefix/include/"
as_root touch "$prefix/.built"
echo "$prefix"
