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
