#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what the 32-bit Windows build and its Wine tests need, skipping
# whatever is already present:
#   - the i386 architecture, for Wine's 32-bit half (wine32:i386);
#   - the mingw-w64 i686 and x86-64 cross compilers (win32 threads variant):
#     their headers, C runtime and C++ library, and gcc for the libraries
#     cross-built from source;
#   - clang, lld and llvm: the compiler and linker of the Windows programs and
#     their PDBs, the MSVC import libraries (llvm-dlltool) and the MSVC-style
#     caller that proves they resolve (clang, lld-link);
#   - zip, for the release archive;
#   - Wine (64-bit wineserver, 32-bit loader with its preloader), checked to
#     run headless; where the kernel cannot execute i386 programs (no 32-bit
#     user mode), they run through qemu's user-mode emulator, registered
#     with binfmt_misc;
#   - the SOAP toolkit's source package (tools/fetch-gsoap-source.sh), from
#     which the Windows runtime is compiled, and a static expat for both
#     mingw-w64 targets (tools/cross-build-expat.sh); never committed;
#   - OpenSSL cross-built from its source package for both mingw triples
#     (tools/cross-build-openssl.sh), kept outside the repository;
#   - libcurl cross-built the same way, against that OpenSSL
#     (tools/cross-build-curl.sh);
#   - SQLite cross-built from its source package for the kit's sandbox
#     centre, nv_sandbox.exe, x86 and x64 (tools/cross-build-sqlite.sh).
# Called by `tools/bootstrap.sh windows`; runs as root (or through sudo).
# Prints the directory of the unpacked toolkit sources on its last line.
set -euo pipefail
. "$(dirname "$0")/bootstrap-common.sh"

windows_packages=(
  g++-mingw-w64-i686-win32
  binutils-mingw-w64-i686
  mingw-w64-i686-dev
  g++-mingw-w64-x86-64-win32
  binutils-mingw-w64-x86-64
  mingw-w64-x86-64-dev
  clang lld llvm zip unzip
  wine wine64 wine32:i386 wine32-preloader:i386
  dpkg-dev
)

# Wine's 32-bit loader and libraries come from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root dpkg --add-architecture i386
  apt_lists_stale
fi

apt_install "${windows_packages[@]}"

# Wine's 32-bit loader is an i386 program. Some kernels run without 32-bit
# user mode; there it runs under qemu's i386 emulator through binfmt_misc.
wine32_loader=/usr/lib/wine/wine
if ! "$wine32_loader" --version >/dev/null 2>&1; then
  apt_install qemu-user-static
  binfmt=/proc/sys/fs/binfmt_misc
  [ -f "$binfmt/register" ] || as_root mount -t binfmt_misc binfmt_misc "$binfmt"
  if [ ! -f "$binfmt/qemu-i386" ]; then
    # ELF32, little endian, ET_EXEC or ET_DYN, EM_386.
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    printf ':qemu-i386:M::%s:%s:/usr/bin/qemu-i386-static:F\n' "$magic" "$mask" |
      as_root tee "$binfmt/register" >/dev/null
  fi
  if ! "$wine32_loader" --version >/dev/null 2>&1; then
    echo "bootstrap-windows: cannot run the 32-bit Wine loader" >&2
    exit 1
  fi
fi

# Wine must start without a display, as root.
if ! WINEDEBUG=-all DISPLAY='' wine --version >/dev/null 2>&1; then
  echo "bootstrap-windows: 'wine --version' fails" >&2
  exit 1
fi

# Runs one cross build, saying how long it took when it had work to do (a
# cached one takes no time).
cross_build() {
  local script=$1 triple=$2 start=$SECONDS
  "$(dirname "$0")/$script" "$triple" >/dev/null
  [ $((SECONDS - start)) -lt 2 ] || echo "bootstrap: ${script%.sh} $triple: $((SECONDS - start)) s" >&2
}

# The toolkit's runtime for Windows is compiled from its source package.
"$(dirname "$0")/fetch-gsoap-source.sh"

# Every library below is built for both triples from Debian's source
# packages. The sources first, one after the other: fetching installs the
# tools a build needs, and apt takes one install at a time. (libcurl's is
# fetched once its OpenSSL is built: it builds against it.)
fetch_sources() {
  local script triple
  for script in "$@"; do
    for triple in i686-w64-mingw32 x86_64-w64-mingw32; do
      NV_FETCH_ONLY=1 "$(dirname "$0")/$script" "$triple" >/dev/null
    done
  done
}
# Both triples' builds at once: much of each build runs on one core (a
# build system's checks, code generation, one big file's compile), and the
# other triple's compiles fill the gaps.
cross_build_both() {
  local script=$1 pids=() pid triple failed=0
  for triple in i686-w64-mingw32 x86_64-w64-mingw32; do
    cross_build "$script" "$triple" &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
  return "$failed"
}

fetch_sources cross-build-expat.sh cross-build-openssl.sh cross-build-sqlite.sh
# Two chains at once, for the same reason:
#   - OpenSSL for the DLL's HTTPS (minutes the first time), then libcurl,
#     which carries every exchange, HTTP and HTTPS only, against it;
#   - expat, which reads the answers, then SQLite for nv_sandbox.exe, the
#     kit's sandbox centre.
# All static, for both DLLs.
(cross_build_both cross-build-openssl.sh && fetch_sources cross-build-curl.sh && cross_build_both cross-build-curl.sh) &
tls_chain=$!
(cross_build_both cross-build-expat.sh && cross_build_both cross-build-sqlite.sh) &
parser_chain=$!
failed=0
wait "$tls_chain" || failed=1
wait "$parser_chain" || failed=1
[ "$failed" = 0 ] || { echo "bootstrap-windows: a cross build failed" >&2; exit 1; }
