#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Cross-builds a static SQLite for Windows with Debian's mingw-w64 (win32
# threads variant), from Debian's source package of the installed
# libsqlite3-dev, into a cache outside the repository; never committed.
# The source package is SQLite's source tree: its own build makes the
# single-file amalgamation (a native build, with tclsh), which the cross
# compiler then compiles alone.
#   tools/cross-build-sqlite.sh TRIPLE     i686-w64-mingw32 or x86_64-w64-mingw32
# Sources:  /var/cache/nvinterface/sqlite/<version>/src
#           /var/cache/nvinterface/sqlite/<version>/amalgamation (made from them once)
# Library:  /var/cache/nvinterface/sqlite/<version>/<TRIPLE>/{lib/libsqlite3.a,include/sqlite3.h}
# Skips the work when the library is there. Runs as root (or through sudo).
# Prints the installed directory last. With NV_FETCH_ONLY=1 it installs what
# it needs and fetches the source, no more, so that both triples can then be
# built at once.
set -euo pipefail
. "$(dirname "$0")/bootstrap-common.sh"

triple=${1:-}
case $triple in
  i686-w64-mingw32|x86_64-w64-mingw32) ;;
  *) echo "usage: $0 i686-w64-mingw32|x86_64-w64-mingw32" >&2; exit 2 ;;
esac

sqlite_cache=${NV_SQLITE_CACHE:-${NV_CACHE_DIR:-/var/cache/nvinterface}/sqlite}
# The source package and version the installed libsqlite3-dev was built from.
read -r source_package sqlite_version < <(dpkg-query -W -f='${source:Package} ${source:Version}\n' libsqlite3-dev)
version_dir=$sqlite_cache/$sqlite_version
prefix=$version_dir/$triple

if [ -f "$prefix/.built" ]; then
  echo "$prefix"
  exit 0
fi

# The amalgamation's generators: a native C compiler and tclsh.
apt_install gcc make tcl
fetch_debian_source "$source_package" "$sqlite_version" "$version_dir/src" src/sqliteInt.h
# The amalgamation is the same for both triples: made once, with the source.
amalgamation=$version_dir/amalgamation
if [ ! -f "$amalgamation/sqlite3.c" ]; then
  generate=$(as_root mktemp -d "$version_dir/.amalgamation.XXXXXX")
  (cd "$generate" && as_root "$version_dir/src/configure" --disable-tcl >/dev/null &&
    as_root make -j"$(nproc 2>/dev/null || echo 2)" sqlite3.c >/dev/null)
  as_root mkdir -p "$generate/keep"
  as_root cp "$generate/sqlite3.c" "$generate/sqlite3.h" "$generate/keep/"
  as_root rm -rf "$amalgamation"
  as_root mv "$generate/keep" "$amalgamation"
  as_root rm -rf "$generate"
fi
[ "${NV_FETCH_ONLY:-}" != 1 ] || exit 0

work=$(as_root mktemp -d "$version_dir/.build-$triple.XXXXXX")
trap 'as_root rm -rf "$work"' EXIT
# The defaults of the amalgamation (serialized threading, Win32 mutexes);
# no loadable extensions: the sandbox loads none.
as_root "$triple-gcc-win32" -O2 -D_WIN32_WINNT=0x0600 -DSQLITE_OMIT_LOAD_EXTENSION -c "$amalgamation/sqlite3.c" \
  -o "$work/sqlite3.o"
as_root "$triple-ar" rcs "$work/libsqlite3.a" "$work/sqlite3.o"

# Only the archive and the public header are kept.
as_root rm -rf "$prefix"
as_root mkdir -p "$prefix/lib" "$prefix/include"
as_root cp "$work/libsqlite3.a" "$prefix/lib/"
as_root cp "$amalgamation/sqlite3.h" "$prefix/include/"
as_root touch "$prefix/.built"
echo "$prefix"
