#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# tools/cross-build-openssl.sh TRIPLE
#
# Cross-builds OpenSSL for Windows with the mingw-w64 compiler TRIPLE
# (i686-w64-mingw32 or x86_64-w64-mingw32): static libraries and headers,
# from Debian's source package of the installed libssl-dev, so the DLL and
# the Linux build speak the same OpenSSL. Everything stays outside the
# repository, under /var/cache/nvinterface/openssl/VERSION/:
#   source/   the unpacked source package
#   TRIPLE/   the installed result (include/, lib/libssl.a, lib/libcrypto.a)
# Does nothing when TRIPLE/ is complete. Prints the TRIPLE/ directory last.
set -euo pipefail
. "$(dirname "$0")/bootstrap-common.sh"

triple=${1:-}
case $triple in
  # The 32-bit assembler modules need position-independent relocations that
  # COFF cannot represent: plain C there.
  i686-w64-mingw32) target=mingw compiler=g++-mingw-w64-i686-win32 extra=no-asm ;;
  x86_64-w64-mingw32) target=mingw64 compiler=g++-mingw-w64-x86-64-win32 extra= ;;
  *)
    echo "usage: $0 i686-w64-mingw32|x86_64-w64-mingw32" >&2
    exit 2
    ;;
esac

version=$(dpkg-query -W -f='${Version}' libssl-dev)
root=${NV_OPENSSL_CACHE:-/var/cache/nvinterface/openssl}/$version
prefix=$root/$triple
if [ -f "$prefix/.built" ]; then
  echo "$prefix"
  exit 0
fi

apt_install perl make "$compiler"
fetch_debian_source openssl "$version" "$root/source" Configure

# A fresh copy per triple: Configure writes into its source tree.
build=$root/build-$triple
as_root rm -rf "$build" "$prefix"
as_root cp -a "$root/source" "$build"
cd "$build"
# Minimal: static only, no tests, no loadable modules; only the libraries
# are built and only they and the headers installed (install_dev), so no
# documentation either (this OpenSSL's Configure has no no-docs).
# The Windows DLL reads its trusted roots from the system store itself, so
# OpenSSL's own default paths are never used there.
as_root ./Configure "$target" --cross-compile-prefix="$triple-" --prefix="$prefix" --libdir=lib \
  no-shared no-tests no-module no-dso no-engine $extra >/dev/null
as_root make -j"$(nproc 2>/dev/null || echo 2)" build_libs >/dev/null
as_root make install_dev >/dev/null
as_root rm -rf "$build"
as_root touch "$prefix/.built"
echo "$prefix"
