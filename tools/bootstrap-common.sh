# Shared by the bootstrap scripts; source it, don't run it.

# Runs a command as root: directly when we are root, else through sudo.
as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; elif command -v sudo >/dev/null; then sudo "$@"; else
    echo "$(basename "$0"): need root to run: $*" >&2; exit 1; fi
}

# Prints the packages of the arguments that are not installed.
missing() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null | grep -qx installed || echo "$p"
  done
}

# The release the machine follows; installs fall back to it when the lists
# of its updates (security, point releases) do not agree with one another.
debian_release=${NV_DEBIAN_RELEASE:-bookworm}

# apt-get update, retried: a mirror in the middle of a sync serves an index
# whose size does not match its Release file, and a few seconds later the
# right one. Errors that remain are reported and left to the install, which
# fails by itself when a list it needs is really missing.
apt_lists_fresh=no
apt_update() {
  local try
  for try in 1 2 3; do
    if as_root apt-get update -qq; then apt_lists_fresh=yes; return 0; fi
    echo "bootstrap: apt-get update failed (try $try of 3)" >&2
    [ "$try" -lt 3 ] && sleep $((try * 5))
  done
  apt_lists_fresh=yes  # as fresh as they get; the install decides
  echo "bootstrap: apt-get update still reports errors; installing from the lists it has" >&2
}

# Installs the packages of the arguments that are missing. When the install
# cannot be resolved (an index of the updates failed to download, so the
# versions of one architecture no longer match the other's), it is retried
# with the lists updated again, then pinned to the release, whose packages
# always agree across architectures.
apt_install() {
  local todo
  todo=$(missing "$@")
  [ -z "$todo" ] && return 0
  [ "$apt_lists_fresh" = yes ] || apt_update
  # shellcheck disable=SC2086
  if DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends $todo; then return 0; fi
  echo "bootstrap: the install could not be resolved; updating the lists and trying again" >&2
  apt_update
  # shellcheck disable=SC2086
  if DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends $todo; then return 0; fi
  echo "bootstrap: trying again pinned to the release ($debian_release)" >&2
  # shellcheck disable=SC2086
  if DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends \
      -t "$debian_release" $todo; then return 0; fi
  echo "bootstrap: cannot install: $(echo $todo). Neither the current lists nor the release" \
       "($debian_release) resolve them; check the machine's apt sources (/etc/apt/sources.list.d)" >&2
  exit 1
}

# Marks the lists stale, as after adding an architecture.
apt_lists_stale() { apt_lists_fresh=no; }

# fetch_debian_source PACKAGE VERSION DIR [FILE]
# Unpacks the Debian source package PACKAGE=VERSION into DIR (a cache
# outside the repository, never committed) unless it is there already, and
# checks that it holds FILE when given. The source lists mirror the binary
# lists, deb-src only. Libraries that Debian ships no mingw build of are
# cross-built from these sources.
fetch_debian_source() {
  local package=$1 version=$2 dir=$3 file=${4:-}
  [ -f "$dir/.unpacked" ] && return 0
  local src_list=/etc/apt/sources.list.d/debian-src.sources
  local bin_list=/etc/apt/sources.list.d/debian.sources
  if [ ! -f "$bin_list" ]; then
    echo "bootstrap: $bin_list not found; cannot derive the source lists" >&2
    exit 1
  fi
  local wanted
  wanted=$(sed -e 's/^Types:.*/Types: deb-src/' "$bin_list")
  if [ ! -f "$src_list" ] || [ "$(cat "$src_list")" != "$wanted" ]; then
    printf '%s\n' "$wanted" | as_root tee "$src_list" >/dev/null
    apt_lists_stale
  fi
  # A mirror still syncing an unrelated index must not stop us: apt-get
  # source below fails by itself when the source index is really missing.
  [ "$apt_lists_fresh" = yes ] || apt_update
  apt_install dpkg-dev
  local parent work unpacked
  parent=$(dirname "$dir")
  as_root mkdir -p "$parent"
  work=$(as_root mktemp -d "$parent/.fetch.XXXXXX")
  if ! (cd "$work" && as_root apt-get source -qq --only-source "$package=$version" >/dev/null); then
    as_root rm -rf "$work"
    echo "bootstrap: apt-get source $package=$version failed" >&2
    exit 1
  fi
  unpacked=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name "$package-*" | head -n 1)
  if [ -z "$unpacked" ] || { [ -n "$file" ] && [ ! -e "$unpacked/$file" ]; }; then
    as_root rm -rf "$work"
    echo "bootstrap: the $package source package holds no ${file:-sources}" >&2
    exit 1
  fi
  as_root rm -rf "$dir"
  as_root mv "$unpacked" "$dir"
  as_root rm -rf "$work"
  as_root touch "$dir/.unpacked"
}
