#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes the Wine prefixes the Windows tests run in: one prefix is started
# (wineboot, half a minute, longer on a loaded machine) and each prefix the
# tests use is a copy of it (seconds). The tests change their prefix's
# settings (the WinHTTP proxy, the ROOT store), so each has its own copy and
# the first one is never used by a test.
#   wine_prefixes.sh WINE64 TEMPLATE PREFIX...
# A prefix that is ready (.nv-ready) is left as it is. Exits 77 (skipped)
# without wine64: the tests then skip themselves.
set -euo pipefail

wine64=$1 template=$2
shift 2
[ -x "$wine64" ] || { echo "wine_prefixes: no $wine64"; exit 77; }
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

mkdir -p "$(dirname "$template")"
exec {lock}>"$template.lock"
flock "$lock"
[ -f "$template/.nv-ready" ] || boot "$template"
for prefix in "$@"; do
  # The lock the test programs take before they start a prefix themselves
  # (run alone, without this).
  exec {prefix_lock}>"$prefix.lock"
  flock "$prefix_lock"
  if [ ! -f "$prefix/.nv-ready" ]; then
    rm -rf "$prefix" "$prefix.copying"
    mkdir -p "$(dirname "$prefix")"
    cp -a "$template" "$prefix.copying"
    mv "$prefix.copying" "$prefix"
    echo "wine_prefixes: $prefix copied from $template"
  fi
  exec {prefix_lock}>&-
done
