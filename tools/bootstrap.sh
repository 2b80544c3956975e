#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian 12 packages that building and testing need, skipping
# those already present. Runs as root (or through sudo when available).
#   tools/bootstrap.sh            the Linux build and its tests
#   tools/bootstrap.sh windows    also the Windows cross build and Wine
set -euo pipefail
. "$(dirname "$0")/bootstrap-common.sh"

linux_packages=(
  cmake make g++ pkg-config ccache
  gsoap libgsoap-dev
  googletest libgtest-dev
  libsqlite3-dev nlohmann-json3-dev
  libexpat1-dev
  libssl-dev openssl ca-certificates
  libcurl4-openssl-dev
  clang libclang-rt-14-dev clang-format
  python3 python3-zeep
  chromium fonts-wqy-microhei
  dpkg-dev
  # The kit's wrappers, compiled and run against the Linux library: C# with
  # Mono (its CJK code pages give GBK), Pascal with Free Pascal.
  mono-mcs mono-runtime libmono-i18n-cjk4.0-cil
  fp-compiler fp-units-rtl
)

apt_install "${linux_packages[@]}"
"$(dirname "$0")/fetch-gsoap-source.sh" >/dev/null

if [ "${1:-}" = windows ]; then
  "$(dirname "$0")/bootstrap-windows.sh"
fi
