#!/usr/bin/env bash
# Unpacks the SOAP toolkit's Debian source package, the version of the
# installed soapcpp2, into a cache outside the repository: the library
# compiles the toolkit's runtime (stdsoap2.cpp) from it, for Linux and for
# Windows alike. Its sources are never committed.
# Runs as root (or through sudo). Prints the unpacked directory last.
set -euo pipefail
. "$(dirname "$0")/bootstrap-common.sh"

gsoap_cache=${NV_GSOAP_CACHE:-/var/cache/nvinterface/gsoap}
src_list=/etc/apt/sources.list.d/debian-src.sources
bin_list=/etc/apt/sources.list.d/debian.sources

gsoap_version=$(dpkg-query -W -f='${Version}' gsoap)
gsoap_dir=$gsoap_cache/$gsoap_version
if [ -f "$gsoap_dir/.unpacked" ]; then
  echo "$gsoap_dir"
  exit 0
fi

# Source lists: the same mirror and suites as the binary lists, deb-src only.
if [ ! -f "$bin_list" ]; then
  echo "fetch-gsoap-source: $bin_list not found; cannot derive the source lists" >&2
  exit 1
fi
wanted=$(sed -e 's/^Types:.*/Types: deb-src/' "$bin_list")
if [ ! -f "$src_list" ] || [ "$(cat "$src_list")" != "$wanted" ]; then
  printf '%s\n' "$wanted" | as_root tee "$src_list" >/dev/null
fi
# A mirror still syncing an unrelated index must not stop us: apt-get source
# below fails by itself when the source index is really missing.
apt_update
apt_install dpkg-dev

as_root mkdir -p "$gsoap_cache"
work=$(as_root mktemp -d "$gsoap_cache/.fetch.XXXXXX")
(cd "$work" && as_root apt-get source -qq --only-source "gsoap=$gsoap_version" >/dev/null)
unpacked=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'gsoap-*' | head -n 1)
if [ -z "$unpacked" ] || [ -z "$(find "$unpacked" -name stdsoap2.cpp -print -quit)" ]; then
  echo "fetch-gsoap-source: the gsoap source package holds no stdsoap2.cpp" >&2
  exit 1
fi
as_root rm -rf "$gsoap_dir"
as_root mv "$unpacked" "$gsoap_dir"
as_root rm -rf "$work"
as_root touch "$gsoap_dir/.unpacked"
echo "$gsoap_dir"
