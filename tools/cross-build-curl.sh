#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# tools/cross-build-curl.sh TRIPLE
#
# Cross-builds a static libcurl for Windows with the mingw-w64 compiler
# TRIPLE (i686-w64-mingw32 or x86_64-w64-mingw32), from Debian's source
# package of the installed libcurl4-openssl-dev, against the OpenSSL that
# tools/cross-build-openssl.sh built for the same triple. HTTP and HTTPS
# only: no other protocol, no compression, IDN, HTTP/2, cookies or NTLM; the
# threaded resolver, so that a connect time-out bounds name resolution too;
# no CA bundle or path (the DLL trusts the system's ROOT store), and OpenSSL's
# configuration file is never loaded. Everything stays outside the
# repository, under /var/cache/nvinterface/curl/VERSION/:
#   source/   the unpacked source package
#   TRIPLE/   the installed result (include/curl/, lib/libcurl.a)
# Does nothing when TRIPLE/ is complete. Prints the TRIPLE/ directory last.
# With NV_FETCH_ONLY=1 it installs what it needs and fetches the source, no
# more, so that both triples can then be built at once.
set -euo pipefail
. "$(dirname "$0")/bootstrap-common.sh"

triple=${1:-}
case $triple in
  i686-w64-mingw32) compiler=gcc-mingw-w64-i686-win32 ;;
  x86_64-w64-mingw32) compiler=gcc-mingw-w64-x86-64-win32 ;;
  *)
    echo "usage: $0 i686-w64-mingw32|x86_64-w64-mingw32" >&2
    exit 2
    ;;
esac

read -r source_package version < <(dpkg-query -W -f='${source:Package} ${source:Version}\n' libcurl4-openssl-dev)
root=${NV_CURL_CACHE:-${NV_CACHE_DIR:-/var/cache/nvinterface}/curl}/$version
prefix=$root/$triple
# Built against the OpenSSL of the same options: its headers say which
# features libcurl compiles in, so a rebuilt OpenSSL rebuilds libcurl.
openssl=$("$(dirname "$0")/cross-build-openssl.sh" "$triple" | tail -n 1)
# The source folder mapped away: a message of the library names its file.
cflags="-D_WIN32_WINNT=0x0601 -ffile-prefix-map=$root/source=curl"
# -O2, not the release default -O3: it compiles faster, and what the DLL
# waits on is the network.
release_flags="-O2 -DNDEBUG"
key="$version $cflags $release_flags against $(cat "$openssl/.built")"
if [ -f "$prefix/.built" ] && [ "$(cat "$prefix/.built")" = "$key" ]; then
  echo "$prefix"
  exit 0
fi

apt_install cmake make "$compiler"
fetch_debian_source "$source_package" "$version" "$root/source" lib/easy.c
[ "${NV_FETCH_ONLY:-}" != 1 ] || exit 0

work=$(as_root mktemp -d "$root/.build-$triple.XXXXXX")
trap 'as_root rm -rf "$work"' EXIT
# The static OpenSSL needs these system libraries in every link, the
# configuration checks' included.
system_libraries="-lcrypt32 -lws2_32 -luser32 -ladvapi32"
as_root cmake -S "$root/source" -B "$work" \
  -DCMAKE_SYSTEM_NAME=Windows \
  -DCMAKE_C_COMPILER="$triple-gcc-win32" \
  -DCMAKE_RC_COMPILER="$triple-windres" \
  -DCMAKE_AR="$(command -v "$triple-ar")" \
  -DCMAKE_RANLIB="$(command -v "$triple-ranlib")" \
  -DCMAKE_FIND_ROOT_PATH="$openssl" \
  -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY \
  -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_C_FLAGS_RELEASE="$release_flags" \
  -DCMAKE_INSTALL_PREFIX="$work/install" \
  -DCMAKE_C_FLAGS="$cflags" \
  -DCMAKE_C_STANDARD_LIBRARIES="$system_libraries" \
  -DBUILD_SHARED_LIBS=OFF \
  -DBUILD_CURL_EXE=OFF \
  -DBUILD_TESTING=OFF \
  -DENABLE_MANUAL=OFF \
  -DHTTP_ONLY=ON \
  -DCURL_USE_OPENSSL=ON \
  -DOPENSSL_ROOT_DIR="$openssl" \
  -DOPENSSL_USE_STATIC_LIBS=TRUE \
  -DOPENSSL_INCLUDE_DIR="$openssl/include" \
  -DOPENSSL_SSL_LIBRARY="$openssl/lib/libssl.a" \
  -DOPENSSL_CRYPTO_LIBRARY="$openssl/lib/libcrypto.a" \
  -DCURL_USE_SCHANNEL=OFF \
  -DCURL_WINDOWS_SSPI=OFF \
  -DCURL_USE_LIBSSH2=OFF \
  -DCURL_USE_LIBSSH=OFF \
  -DCURL_ZLIB=OFF \
  -DCURL_BROTLI=OFF \
  -DCURL_ZSTD=OFF \
  -DUSE_NGHTTP2=OFF \
  -DUSE_WIN32_IDN=OFF \
  -DUSE_LIBIDN2=OFF \
  -DENABLE_THREADED_RESOLVER=ON \
  -DENABLE_UNIX_SOCKETS=OFF \
  -DCURL_CA_BUNDLE=none \
  -DCURL_CA_PATH=none \
  -DCURL_CA_FALLBACK=OFF \
  -DCURL_DISABLE_OPENSSL_AUTO_LOAD_CONFIG=ON \
  -DCURL_DISABLE_COOKIES=ON \
  -DCURL_DISABLE_ALTSVC=ON \
  -DCURL_DISABLE_HSTS=ON \
  -DCURL_DISABLE_DOH=ON \
  -DCURL_DISABLE_NETRC=ON \
  -DCURL_DISABLE_NTLM=ON \
  -DCURL_DISABLE_KERBEROS_AUTH=ON \
  -DCURL_DISABLE_NEGOTIATE_AUTH=ON \
  -DCURL_DISABLE_AWS=ON \
  -DCURL_DISABLE_MIME=ON \
  -DCURL_DISABLE_PROGRESS_METER=ON \
  -DCURL_DISABLE_SOCKETPAIR=OFF >/dev/null
as_root cmake --build "$work" -j"$(nproc 2>/dev/null || echo 2)" --target libcurl >/dev/null
as_root cmake --install "$work" >/dev/null

as_root rm -rf "$prefix"
as_root mkdir -p "$prefix/lib" "$prefix/include"
as_root cp "$work/install/lib/libcurl.a" "$prefix/lib/"
as_root cp -r "$work/install/include/curl" "$prefix/include/"
as_root cp "$root/source/.debian-version" "$prefix/.debian-version"
printf '%s\n' "$key" | as_root tee "$prefix/.built" >/dev/null
echo "$prefix"
