#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Unpacks the SOAP toolkit's Debian source package, the version of the
# installed soapcpp2, into a cache outside the repository: the library
# compiles the toolkit's runtime (stdsoap2.cpp) from it, for Linux and for
# Windows alike. Its sources are never committed.
# Runs as root (or through sudo). Prints the unpacked directory last.
set -euo pipefail
. "$(dirname "$0")/bootstrap-common.sh"

gsoap_cache=${NV_GSOAP_CACHE:-${NV_CACHE_DIR:-/var/cache/nvinterface}/gsoap}

gsoap_version=$(dpkg-query -W -f='${Version}' gsoap)
gsoap_dir=$gsoap_cache/$gsoap_version

fetch_debian_source gsoap "$gsoap_version" "$gsoap_dir" gsoap/stdsoap2.cpp
echo "$gsoap_dir"
