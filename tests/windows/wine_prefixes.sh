#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes the Wine prefixes the Windows tests run in: one prefix is started
# (wineboot, half a minute, longer on a loaded machine) and each prefix the
# tests use is a copy of it (seconds). The tests change their prefix's
# settings (the WinHTTP proxy, the ROOT store), so each has its own copy and
# the first one is never used by a test.
#   wine_prefixes.sh WINE64 PREFIX...
# The first prefix is copied from wineprefix-template beside the first
# PREFIX whose folder (a Windows build) is there; a PREFIX whose folder is
# not there is left out, as are the tests that would use it. A prefix that
# is ready (.nv-ready) is left as it is. Exits 77 (skipped) without wine64 or
# without any Windows build: the tests then skip themselves.
set -euo pipefail

wine64=$1
shift
[ -x "$wine64" ] || { echo "wine_prefixes: no $wine64"; exit 77; }
prefixes=()
for prefix in "$@"; do
  if [ -d "$(dirname "$prefix")" ]; then prefixes+=("$prefix"); else echo "wine_prefixes: no $(dirname "$prefix")"; fi
done
[ ${#prefixes[@]} -gt 0 ] || exit 77
template=$(dirname "${prefixes[0]}")/wineprefix-template
wineserver=$(dirname "$wine64")/wineserver

# Silent, no .NET or browser add-on installers, no display: as the tests run
# Wine.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
unset WAYLAND_DISPLAY WINEARCH

# A prefix is marked ready only once it is whole: an interrupted run leaves
# no half prefix that a later run would take for done.
boot() {
  local prefix=$1
  rm -rf "$prefix"
  WINEPREFIX=$prefix "$wine64" wineboot -i >"$prefix.log" 2>&1 || true
  # The registry reaches the disk only when the prefix's wineserver ends.
  [ ! -x "$wineserver" ] || WINEPREFIX=$prefix "$wineserver" -w
  if [ ! -f "$prefix/system.reg" ]; then
    echo "wine_prefixes: wineboot could not make $prefix:" >&2
    cat "$prefix.log" >&2
    exit 1
  fi
  touch "$prefix/.nv-ready"
}

missing=no
for prefix in "${prefixes[@]}"; do [ -f "$prefix/.nv-ready" ] || missing=yes; done
[ "$missing" = yes ] || exit 0
exec {lock}>"$template.lock"
flock "$lock"
[ -f "$template/.nv-ready" ] || boot "$template"
for prefix in "${prefixes[@]}"; do
  # The lock the test programs take before they start a prefix themselves
  # (run alone, without this).
  exec {prefix_lock}>"$prefix.lock"
  flock "$prefix_lock"
  if [ ! -f "$prefix/.nv-ready" ]; then
    rm -rf "$prefix" "$prefix.copying"
    cp -a "$template" "$prefix.copying"
    mv "$prefix.copying" "$prefix"
    echo "wine_prefixes: $prefix copied from $template"
  fi
  exec {prefix_lock}>&-
done
