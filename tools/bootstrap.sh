#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing need, skipping
# those already present. Runs as root (or through sudo when available).
#   tools/bootstrap.sh            the Linux build and its tests
#   tools/bootstrap.sh windows    also the Windows cross build and Wine
set -euo pipefail

linux_packages=(
  cmake make g++ pkg-config
  gsoap libgsoap-dev
  googletest libgtest-dev
  libsqlite3-dev
  clang libclang-rt-14-dev
  python3 python3-zeep
  dpkg-dev
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; elif command -v sudo >/dev/null; then sudo "$@"; else
    echo "bootstrap: need root to run: $*" >&2; exit 1; fi
}

missing() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null | grep -qx installed || echo "$p"
  done
}

apt_updated=no
apt_install() {
  local todo
  todo=$(missing "$@")
  [ -z "$todo" ] && return 0
  if [ "$apt_updated" = no ]; then
    as_root apt-get update -qq
    apt_updated=yes
  fi
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends $todo
}

apt_install "${linux_packages[@]}"
"$(dirname "$0")/fetch-gsoap-source.sh" >/dev/null

if [ "${1:-}" = windows ]; then
  "$(dirname "$0")/bootstrap-windows.sh"
fi
