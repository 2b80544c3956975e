#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The bootstrap's fetch of a Debian source package against a fake apt: the
# mirror lists versions in its source index that it does not serve, serves
# some without the file wanted, or cannot be reached at all. Each case
# states the versions listed, those refused, the mirror's state, and what
# must come of it. Exits 0 when every case holds.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fake=$scratch/bin
mkdir -p "$fake"

# apt-cache showsrc lists $FAKE_LISTED; apt-get source refuses the versions
# of $FAKE_REFUSED and unpacks any other, holding lib/main.c unless the
# version is in $FAKE_HOLLOW; every call is logged. curl answers with $FAKE_CURL.
cat > "$fake/apt-cache" <<'FAKE'
#!/usr/bin/env bash
for v in $FAKE_LISTED; do printf 'Package: demo\nVersion: %s\n\n' "$v"; done
FAKE
cat > "$fake/apt-get" <<'FAKE'
#!/usr/bin/env bash
case $1 in
  indextargets) echo "http://mirror.invalid/debian/dists/bookworm/main/source/Sources"; exit 0 ;;
  source) ;;
  *) exit 100 ;;
esac
spec=${*: -1}
version=${spec#*=}
echo "$version" >> "$FAKE_LOG"
for r in $FAKE_REFUSED; do [ "$r" = "$version" ] && { echo "E: 404 Not Found" >&2; exit 100; }; done
mkdir -p "demo-${version%%-*}/lib"
case " $FAKE_HOLLOW " in *" $version "*) ;; *) echo 'int main;' > "demo-${version%%-*}/lib/main.c" ;; esac
FAKE
cat > "$fake/curl" <<'FAKE'
#!/usr/bin/env bash
exit "${FAKE_CURL:-0}"
FAKE
chmod +x "$fake"/*

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# run_case NAME INSTALLED LISTED REFUSED HOLLOW CURL_RC EXPECT_RC EXPECT_BUILT EXPECT_TRIED EXPECT_MESSAGE
run_case() {
  local name=$1 installed=$2 listed=$3 refused=$4 hollow=$5 curl_rc=$6 want_rc=$7 want_built=$8 want_tried=$9
  local want_message=${10} dir=$scratch/$1/source log=$scratch/$1.log rc
  mkdir -p "$scratch/$name"
  : > "$log"
  (
    PATH=$fake:$PATH FAKE_LISTED=$listed FAKE_REFUSED=$refused FAKE_HOLLOW=$hollow FAKE_CURL=$curl_rc FAKE_LOG=$log
    export PATH FAKE_LISTED FAKE_REFUSED FAKE_HOLLOW FAKE_CURL FAKE_LOG
    . "$root/tools/bootstrap-common.sh"
    as_root() { "$@"; }
    ensure_source_lists() { :; }
    fetch_debian_source demo "$installed" "$dir" lib/main.c
  ) 2> "$scratch/$name.err"
  rc=$?
  [ "$rc" = "$want_rc" ] || fail "$name: exit $rc, wanted $want_rc ($(cat "$scratch/$name.err"))"
  local tried
  tried=$(tr '\n' ' ' < "$log" | sed 's/ $//')
  [ "$tried" = "$want_tried" ] || fail "$name: tried '$tried', wanted '$want_tried'"
  if [ -n "$want_built" ]; then
    [ "$(cat "$dir/.debian-version" 2>/dev/null)" = "$want_built" ] || fail "$name: recorded '$(cat "$dir/.debian-version" 2>/dev/null)', wanted $want_built"
    [ -f "$dir/lib/main.c" ] && [ -f "$dir/.unpacked" ] || fail "$name: the source is not unpacked in $dir"
  else
    [ ! -e "$dir" ] || fail "$name: $dir exists after a failure"
  fi
  [ -z "$want_message" ] || grep -qF -- "$want_message" "$scratch/$name.err" || fail "$name: no '$want_message' in: $(cat "$scratch/$name.err")"
  echo "$name: exit $rc; tried ${tried:-nothing}${want_message:+; $(grep -F -- "$want_message" "$scratch/$name.err" | head -n 1)}"
}

#        name                installed  listed                          refused           hollow  curl rc built     tried                     message
run_case installed-served    2.0-3      "2.0-3 2.0-1"                   ""                ""      0    0  2.0-3     "2.0-3"                   ""
run_case older-when-refused  2.0-3      "1.9-5 2.0-3 2.0-1"             "2.0-3"           ""      0    0  2.0-1     "2.0-3 2.0-1"             "building demo 2.0-1, older than the installed 2.0-3"
run_case unlisted-installed  2.0-2      "2.0-3 2.0-1"                   "2.0-2"           ""      0    0  2.0-3     "2.0-2 2.0-3"             "building demo 2.0-3 in place of 2.0-2"
run_case newest-first        1.0-1      "1.0-1+deb12u9 1.0-1+deb12u10 1.0-1" "1.0-1"      ""      0    0  1.0-1+deb12u10 "1.0-1 1.0-1+deb12u10" "in place of 1.0-1"
run_case served-but-hollow   2.0-3      "2.0-3 2.0-2 2.0-1"             "2.0-3"           "2.0-2" 0    0  2.0-1     "2.0-3 2.0-2 2.0-1"       "the demo 2.0-2 source package holds no lib/main.c"
run_case none-served         2.0-3      "2.0-3 2.0-1"                   "2.0-3 2.0-1"     ""      0    1  ""        "2.0-3 2.0-1"             "no version of the demo source package could be fetched (tried: 2.0-3 2.0-1)"
run_case mirror-unreachable  2.0-3      "2.0-3 2.0-1"                   "2.0-3 2.0-1"     ""      7    75 ""        "2.0-3 2.0-1"             "Debian's mirror cannot be reached"
run_case no-source-index     2.0-3      ""                              ""                ""      0    1  ""        ""                        "the source index lists no version of demo"

# Unpacked already: nothing fetched again, the version kept.
: > "$scratch/again.log"
(
  PATH=$fake:$PATH FAKE_LISTED="2.0-3" FAKE_REFUSED="" FAKE_HOLLOW="" FAKE_LOG=$scratch/again.log
  export PATH FAKE_LISTED FAKE_REFUSED FAKE_HOLLOW FAKE_LOG
  . "$root/tools/bootstrap-common.sh"
  as_root() { "$@"; }
  ensure_source_lists() { :; }
  fetch_debian_source demo 2.0-3 "$scratch/older-when-refused/source" lib/main.c
) || fail "again: a second fetch failed"
[ ! -s "$scratch/again.log" ] || fail "again: fetched again: $(cat "$scratch/again.log")"
[ "$(cat "$scratch/older-when-refused/source/.debian-version")" = 2.0-1 ] || fail "again: the recorded version changed"

if [ "$failures" -gt 0 ]; then
  echo "source fallback: $failures failure(s)" >&2
  exit 1
fi
echo "source fallback: every case holds"
