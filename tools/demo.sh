#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The library at work, in one command: installs what is missing, builds the
# sandbox centre and nvcall (build/demo), starts the sandbox on a free
# loopback port with a fresh database in a scratch directory, configures a
# centre for it there, and walks through one outpatient visit, one inpatient
# stay, a catalogue download and an item match, each step printed as a table.
# Exits 0 only when every step succeeded; then the sandbox goes on running
# and the last line is the address of its console, to open in a browser.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build/demo

echo "== Installing what is missing"
tools/bootstrap.sh

echo "== Building the library, the sandbox centre and nvcall in build/demo"
mkdir -p "$build"
if ! { cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNV_BUILD_TESTS=OFF &&
       cmake --build "$build" --target nv_sandbox nvcall -j"$(nproc 2>/dev/null || echo 2)"; } \
     >"$build/demo-build.log" 2>&1; then
  tail -n 40 "$build/demo-build.log"
  echo "demo: the build failed (full log: $build/demo-build.log)" >&2
  exit 1
fi
sandbox=$build/tools/sandbox/nv_sandbox
nvcall=$build/tools/nvcall/nvcall

scratch=$(mktemp -d "${TMPDIR:-/tmp}/nv-demo.XXXXXX")
sandbox_pid=
finish() {
  local status=$?
  # After a walkthrough that succeeded the sandbox stays up for its console.
  if [ "$status" -ne 0 ] && [ -n "$sandbox_pid" ]; then
    kill "$sandbox_pid" 2>/dev/null || true
    wait "$sandbox_pid" 2>/dev/null || true
  fi
  [ "$status" -eq 0 ] || echo "demo: scratch directory kept: $scratch" >&2
}
trap finish EXIT

echo "== Starting the sandbox centre (database $scratch/centre.db)"
# Its own session: it outlives the demo, and a Ctrl+C of the demo's terminal
# does not reach it.
setsid "$sandbox" --port 0 --db "$scratch/centre.db" >"$scratch/port" 2>"$scratch/sandbox.log" </dev/null &
sandbox_pid=$!
port=
for _ in $(seq 100); do
  port=$(head -n 1 "$scratch/port" 2>/dev/null || true)
  [ -n "$port" ] && break
  kill -0 "$sandbox_pid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$port" ]; then
  cat "$scratch/sandbox.log" >&2
  echo "demo: the sandbox did not start" >&2
  exit 1
fi
url=http://127.0.0.1:$port/clinic/webservice/inpatientRedeem
echo "   listening at $url (WSDL: $url?wsdl)"

# The HIS's working directory: NvConfiguration.ini is read from here.
cd "$scratch"
centre=341122
"$nvcall" config add CenterNO=$centre "ServiceURL=$url" HOSP_CODE=341122001 ORG_LEVEL=2 UserNo=demo01
echo "== NvConfiguration.ini, written by: nvcall config add CenterNO=$centre ServiceURL=$url HOSP_CODE=341122001 ORG_LEVEL=2 UserNo=demo01"
"$nvcall" --utf8 config list

steps=0
failed=0
# Shows an argument as it would be typed at a shell prompt.
shown_arg() {
  if [ -z "$1" ]; then
    printf '""'
  elif [[ $1 =~ [][[:space:]\|*?\$\'\"\(\)\;\&\<\>\`\\~#!] ]]; then
    printf "'%s'" "$1"
  else
    printf '%s' "$1"
  fi
}
# step TITLE EXPORT ARG...: calls the export through nvcall and prints the
# result as a table; the result stays in last.xml for value().
step() {
  local title=$1 status=0 arg line
  shift
  steps=$((steps + 1))
  line="\$ nvcall --utf8 --table"
  for arg in "$@"; do line+=" $(shown_arg "$arg")"; done
  printf '\n== %d. %s\n%s\n' "$steps" "$title" "$line"
  "$nvcall" --utf8 --raw "$@" >last.xml || status=$?
  "$nvcall" --utf8 show --table last.xml || true
  if [ "$status" -ne 0 ]; then
    failed=$((failed + 1))
    echo "   !! this step did not succeed (nvcall exit status $status)"
  fi
}
# value COLNAME: a column of the last result's first row.
value() { "$nvcall" show --value "$1" last.xml 2>/dev/null || true; }

today=$(date +%F)

echo
echo "######## Outpatient visit of 张三 (medical certificate 341122000123)"
step "Look up the insured family" getPersonInfo 341122000123 demo01 $centre
step "Register the visit" cliRegister 1 "" $centre MZ0001 3411220001 34112200012301 341122100001 张三 1 \
  341122197803150019 46 341122000123 6210341122000123 J06.900 "" 01 "$today" 王医生 1 1 "" ""
clinic_no=$(value clinicNo)
step "Upload a fee: 阿莫西林胶囊 x2" cliDetailInput 1 $centre "$clinic_no" RX0001 "" H-AMX XY0001 01 阿莫西林胶囊 \
  "0.25g*24粒" 盒 胶囊剂 12.50 2 25.00 25.00 "$today" "" ""
step "Upload a fee: 血常规" cliDetailInput 1 $centre "$clinic_no" RX0001 "" H-XCG JC0001 03 血常规 "" 次 "" \
  20.00 1 20.00 20.00 "$today" "" ""
step "Upload a fee: 板蓝根颗粒" cliDetailInput 1 $centre "$clinic_no" RX0001 "" H-BLG ZY0001 02 板蓝根颗粒 "10g*20袋" \
  盒 颗粒剂 15.00 1 15.00 15.00 "$today" "" ""
step "List the fees" cliDetailSeek "$clinic_no" $centre
step "Calculate the reimbursement" cliCalculate "$clinic_no" $centre
step "Settle" cliSettlement "$clinic_no" $centre
settlement_no=$(value settlementNo)
step "Audit state of the settlement" cliAuditingSeek "$settlement_no" $centre
step "Cash flag of the settlement" isCashRedeem "$settlement_no" $centre
step "Balance, 10.00 from the family account" cliBalance "$clinic_no" 10.00 $centre
step "Reverse the balance" cliStrikeBalance "$settlement_no" $centre

echo
echo "######## Inpatient stay of 王建国 (medical certificate 341122000456)"
# The 32 registration values packed in one text; " " marks an empty value.
packed="1| |$centre|ZY0001|王建国|3411220002|34112200045601|341122201003|1|341122196501080035|59|341122000456"
packed+="|6210341122000456|K35.900| |02|$today|1|1|李医生|12| | | | | | | | | | | "
step "Register the stay (inpRegisterB, packed)" inpRegisterB "$packed"
inpatient_sn=$(value inpatientSn)
step "Upload a detail: 阑尾切除术" inpDetailInput 1 "$inpatient_sn" $centre ZYRX01 "" H-LWQC ZL0002 04 阑尾切除术 "" \
  次 "" 1200.00 1 1200.00 1200.00 "$today" "" ""
step "Upload a detail: 头孢克肟分散片 x2" inpDetailInput 1 "$inpatient_sn" $centre ZYRX01 "" H-TBKW XY0002 01 \
  头孢克肟分散片 "0.1g*6片" 盒 片剂 36.80 2 73.60 73.60 "$today" "" ""
step "Upload a detail: 静脉输液 x5" inpDetailInput 1 "$inpatient_sn" $centre ZYRX01 "" H-JMSY ZL0001 04 静脉输液 "" \
  次 "" 8.00 5 40.00 40.00 "$today" "" ""
step "Upload a detail: 胸部X线摄影" inpDetailInput 1 "$inpatient_sn" $centre ZYRX01 "" H-XBX JC0002 03 胸部X线摄影 "" \
  次 "" 60.00 1 60.00 60.00 "$today" "" ""
step "Upload a detail: 进口肠内营养乳剂 x2 (self-paid)" inpDetailInput 1 "$inpatient_sn" $centre ZYRX01 "" H-CNYY ZF0001 01 \
  进口肠内营养乳剂 500ml 瓶 乳剂 150.00 2 300.00 300.00 "$today" "" ""
step "List the details" inpDetailSeek "$inpatient_sn" $centre
step "Grade list of the stay" getInpatientGradeList $centre "$inpatient_sn"
step "Calculate (普通住院, type 11)" calculate "$inpatient_sn" $centre 11
step "Pay the reimbursement" inpPay "$inpatient_sn" 11 "$today" 王建国 "$today" $centre
step "Audit state of the stay" auditingSeek "$inpatient_sn" $centre

echo
echo "######## Catalogue and matching"
step "Drug catalogue changed since 2024-05-01 00:00:00" updateLeechdom "2024-05-01 00:00:00" $centre
step "Match the HIS item H-AMX to XY0001" matchUpdate $centre XY0001 H-AMX 阿莫西林胶囊 "0.25g*24粒" 盒 胶囊剂 12.50
step "State of the match" matchSeek $centre XY0001 H-AMX

echo
echo "== The sandbox's log, one line per exchange (the last three):"
tail -n 3 sandbox.log
echo
if [ "$failed" -ne 0 ]; then
  echo "demo: $failed of $steps steps did not succeed" >&2
  exit 1
fi
echo "All $steps steps succeeded. To run a sandbox yourself:"
echo "  $sandbox --port 8888 --db centre.db"
echo
echo "The demo's sandbox is still running (database and log in $scratch); stop it with: kill $sandbox_pid"
echo "Its console, with every exchange above, the centre's tables and armed faults:"
echo "  http://127.0.0.1:$port/"
