# SPDX-License-Identifier: MIT
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

# The deb-src lists, derived from the binary lists (deb-src only), written
# when missing or out of step with them.
ensure_source_lists() {
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
  # source fails by itself when the source index is really missing.
  [ "$apt_lists_fresh" = yes ] || apt_update
  apt_install dpkg-dev
}

# source_versions PACKAGE: every version of the source package PACKAGE that
# the source index lists, newest first.
source_versions() {
  apt-cache showsrc --only-source "$1" 2>/dev/null | sed -n 's/^Version: //p' | sort -u | debian_version_sort
}

# Sorts Debian versions read one a line, newest first, as dpkg orders them.
debian_version_sort() {
  local versions=() v i j
  mapfile -t versions
  for ((i = 1; i < ${#versions[@]}; i++)); do
    v=${versions[i]}
    for ((j = i - 1; j >= 0; j--)); do
      dpkg --compare-versions "${versions[j]}" ge "$v" && break
      versions[j + 1]=${versions[j]}
    done
    versions[j + 1]=$v
  done
  [ ${#versions[@]} -eq 0 ] || printf '%s\n' "${versions[@]}"
}

# Whether Debian's mirror answers at all: the address of the first index
# file that apt knows, asked for its head. Distinguishes a mirror that
# cannot be reached from one that does not serve a file.
mirror_reachable() {
  local uri
  uri=$(apt-get indextargets --format '$(URI)' 2>/dev/null | head -n 1)
  [ -n "$uri" ] || return 0
  curl -s -o /dev/null -I -m 20 "$uri"
}

# fetch_debian_source PACKAGE VERSION DIR [FILE]
# Unpacks the Debian source package PACKAGE=VERSION into DIR (a cache
# outside the repository, never committed) unless it is there already, and
# checks that it holds FILE when given. Libraries that Debian ships no mingw
# build of are cross-built from these sources.
# A mirror can list a version in its source index whose files it does not
# serve (a security update still syncing, or one already pruned). Then every
# other version the index lists is tried, newest first. The version
# unpacked is written to DIR/.debian-version; a different one is reported.
# Exits 75 when the mirror cannot be reached, 1 on any other failure.
fetch_debian_source() {
  local package=$1 version=$2 dir=$3 file=${4:-}
  if [ -f "$dir/.unpacked" ]; then
    # Unpacked before versions were recorded: then only VERSION was fetched.
    [ -f "$dir/.debian-version" ] || printf '%s\n' "$version" | as_root tee "$dir/.debian-version" >/dev/null
    return 0
  fi
  ensure_source_lists
  local candidates=() listed v
  mapfile -t listed < <(source_versions "$package")
  if [ ${#listed[@]} -eq 0 ]; then
    echo "bootstrap: the source index lists no version of $package; the deb-src lists" \
         "(/etc/apt/sources.list.d/debian-src.sources) are missing or were not updated" >&2
    exit 1
  fi
  candidates=("$version")
  for v in "${listed[@]}"; do [ "$v" = "$version" ] || candidates+=("$v"); done
  local parent work unpacked built=""
  parent=$(dirname "$dir")
  as_root mkdir -p "$parent"
  for v in "${candidates[@]}"; do
    work=$(as_root mktemp -d "$parent/.fetch.XXXXXX")
    if (cd "$work" && as_root apt-get source -qq --only-source "$package=$v" >/dev/null 2>&1); then
      unpacked=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name "$package-*" | head -n 1)
      if [ -n "$unpacked" ] && { [ -z "$file" ] || [ -e "$unpacked/$file" ]; }; then
        built=$v
        break
      fi
      echo "bootstrap: the $package $v source package holds no ${file:-sources}" >&2
    else
      echo "bootstrap: the mirror does not serve the $package $v source package" >&2
    fi
    as_root rm -rf "$work"
  done
  if [ -z "$built" ]; then
    if ! mirror_reachable; then
      echo "bootstrap: Debian's mirror cannot be reached; no $package source fetched" >&2
      exit 75
    fi
    echo "bootstrap: no version of the $package source package could be fetched" \
         "(tried: ${candidates[*]})" >&2
    exit 1
  fi
  if [ "$built" != "$version" ]; then
    if dpkg --compare-versions "$built" lt "$version"; then
      echo "bootstrap: building $package $built, older than the installed $version" \
           "(the mirror does not serve $version's source)" >&2
    else
      echo "bootstrap: building $package $built in place of $version" >&2
    fi
  fi
  as_root rm -rf "$dir"
  as_root mv "$unpacked" "$dir"
  as_root rm -rf "$work"
  printf '%s\n' "$built" | as_root tee "$dir/.debian-version" >/dev/null
  as_root touch "$dir/.unpacked"
}
