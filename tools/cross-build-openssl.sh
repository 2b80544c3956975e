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
#   TRIPLE/   the installed result (include/, lib/libssl.a, lib/libcrypto.a),
#             with .built holding the version and options it was built with
#             and .debian-version the source package version built
# Does nothing when TRIPLE/ was built with these options. Prints the TRIPLE/
# directory last. With NV_FETCH_ONLY=1 it installs what it needs and fetches
# the source, no more, so that both triples can then be built at once.
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
root=${NV_OPENSSL_CACHE:-${NV_CACHE_DIR:-/var/cache/nvinterface}/openssl}/$version
prefix=$root/$triple
# Minimal: static only, no tests, no loadable modules or engines, no
# configuration file loaded by itself; only what a TLS 1.2 and 1.3 client
# that checks certificates needs, without the ciphers and protocols no
# centre offers. No file names in the error records (no-filenames; the
# sources compile by relative names, so no other path of this machine is in
# the DLL either). The Windows DLL reads its trusted roots from
# the system store itself, so OpenSSL's own default paths are never used.
options="no-shared no-tests no-module no-dso no-engine no-autoload-config no-filenames no-legacy
  no-ui-console no-ocsp no-cms no-ts no-ct no-srp no-psk no-srtp no-dtls no-sctp no-ssl3 no-comp
  no-idea no-mdc2 no-rc2 no-rc4 no-rc5 no-md4 no-bf no-cast no-camellia no-seed no-aria no-sm2 no-sm3
  no-sm4 no-gost no-whirlpool no-siphash no-scrypt no-ec2m no-dsa no-cmp no-rfc3779 no-ocb no-siv no-rmd160
  no-blake2 no-async no-multiblock no-ssl-trace no-dgram $extra"
# -O2 after the target's own -O3: the DLL's TLS is a handshake per
# connection and a few kilobytes of records, and -O2 compiles a fifth faster.
options="$options -O2"
configuration=$(echo "$target" --cross-compile-prefix="$triple-" --prefix=/usr/local --libdir=lib \
  --openssldir=/usr/local/ssl $options)
# The cache is keyed on the configuration too: a change of options builds afresh.
key="$version $configuration"
if [ -f "$prefix/.built" ] && [ "$(cat "$prefix/.built")" = "$key" ]; then
  echo "$prefix"
  exit 0
fi

apt_install perl make "$compiler"
fetch_debian_source openssl "$version" "$root/source" Configure
[ "${NV_FETCH_ONLY:-}" != 1 ] || exit 0

# A fresh copy per triple: Configure writes into its source tree, so both
# triples can build at once. Configured for a neutral prefix (the configured
# folders are compiled in: OPENSSLDIR, MODULESDIR) and put in place through
# a staging folder.
build=$root/build-$triple
stage=$root/.stage-$triple
as_root rm -rf "$build" "$stage" "$prefix"
as_root cp -a "$root/source" "$build"
cd "$build"
# shellcheck disable=SC2086
as_root ./Configure $configuration >/dev/null
# The two libraries and their headers only: not the command-line program's
# support library that the build_libs and install_dev targets would add.
# No build date in the library: the source package's own.
as_root env SOURCE_DATE_EPOCH="$(stat -c %Y "$root/source/Configure")" make build_generated >/dev/null
as_root env SOURCE_DATE_EPOCH="$(stat -c %Y "$root/source/Configure")" \
  make -j"$(nproc 2>/dev/null || echo 2)" libcrypto.a libssl.a >/dev/null
as_root mkdir -p "$stage/include/openssl" "$stage/lib"
as_root cp include/openssl/*.h "$stage/include/openssl/"
as_root cp libcrypto.a libssl.a "$stage/lib/"
as_root mv "$stage" "$prefix"
as_root cp "$root/source/.debian-version" "$prefix/.debian-version"
as_root rm -rf "$build" "$stage"
printf '%s\n' "$key" | as_root tee "$prefix/.built" >/dev/null
echo "$prefix"
