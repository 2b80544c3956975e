#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""nvcall from the command line, as a HIS developer uses it.

Usage: nvcall_cli.py NVCALL_BINARY NV_SANDBOX_BINARY [WINE WINEPREFIX [short]]

Starts the sandbox on a free loopback port, then runs nvcall in a scratch
directory: the config subcommand, calls with --utf8/--table/--raw, saved
results read back with show, the check of every configured centre, the
warnings on a file holding every mistake (nvcall_config_mistakes.ini), and
the exit status of each. With WINE, NVCALL_BINARY is nvcall.exe and runs under
that Wine loader in WINEPREFIX; it exits 77 (skipped) when nvcall.exe or Wine
is missing. With "short", only what the program's build decides (a GBK value
written, one call as the raw GBK document and as a UTF-8 table): for a
32-bit nvcall.exe, whose every start an emulated Wine makes slow. Exits 0
when all checks hold.
"""
import base64
import os
import re
import shutil
import subprocess
import sys

from sandbox_centre import refused_port, run_captured, running_sandbox

NVCALL, SANDBOX = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
MISTAKES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "nvcall_config_mistakes.ini")
WINE = sys.argv[3:5]
SHORT = sys.argv[5:6] == ["short"]
failures = []
if WINE and not (os.path.exists(NVCALL) and shutil.which(WINE[0])):
    print(f"skipped: no {NVCALL} or no {WINE[0]}")
    sys.exit(77)


def expect(what, condition, detail=""):
    if not condition:
        failures.append(f"{what}: {detail}")


def nvcall(*args, cwd):
    command, env = [NVCALL, *args], None
    if WINE:
        # UTF-8 arguments reach the program as the UTF-16 they stand for.
        command = [WINE[0], *command]
        env = dict(os.environ, WINEPREFIX=WINE[1], WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=",
                   LANG="C.UTF-8", LC_ALL="C.UTF-8", DISPLAY="")
    done = run_captured(command, cwd=cwd, timeout=300, env=env)
    return done.returncode, done.stdout, done.stderr


def config_lines(cwd):
    with open(os.path.join(cwd, "NvConfiguration.ini"), "rb") as f:
        return f.read().split(b"\n")


KEYS = {"CenterNO": b"f7ad02e", "ServiceURL": b"957b527", "HOSP_CODE": b"1c1be9c", "ORG_LEVEL": b"170e2c1",
        "UserNo": b"8e44f00", "BK": b"8e44f01"}


def append_centre(cwd, **fields):
    """Appends one group of six lines as nvcall writes it (values GBK, in
    base64), whatever config add would say of them."""
    with open(os.path.join(cwd, "NvConfiguration.ini"), "ab") as f:
        for name, key in KEYS.items():
            f.write(key + b"=" + base64.b64encode(fields.get(name, "").encode("gbk")) + b"\n")


def check_short(url, cwd):
    rc, _, err = nvcall("--utf8", "config", "add", "CenterNO=341122", f"ServiceURL={url}", "HOSP_CODE=341122001",
                        "ORG_LEVEL=2", "UserNo=op01", "BK=备注", cwd=cwd)
    expect("config add", rc == 0 and config_lines(cwd)[5] == b"8e44f01=" + base64.b64encode("备注".encode("gbk")), err)
    rc, out, _ = nvcall("--raw", "getPersonInfo", "341122000123", "op01", "341122", cwd=cwd)
    expect("--raw prints the GBK document as returned", rc == 0 and "张三".encode("gbk") in out
           and out.endswith(b"</function>"), out[:200])
    rc, out, _ = nvcall("--utf8", "--table", "getPersonInfo", "341122000123", "op01", "341122", cwd=cwd)
    expect("--utf8 --table", rc == 0 and out.decode("utf-8").startswith("GetPersonInfo  000  执行成功  (3 rows)\n")
           and "张三".encode() in out, out)


def check(url, cwd):
    rc, out, _ = nvcall("config", "list", cwd=cwd)
    expect("config list without a file", rc == 0 and b"no centres" in out, out)

    rc, out, err = nvcall("--utf8", "config", "add", "CenterNO=341122", f"ServiceURL={url}", "HOSP_CODE=341122001",
                          "ORG_LEVEL=2", "UserNo=op01", "BK=备注", cwd=cwd)
    expect("config add", rc == 0, err)
    lines = config_lines(cwd)
    expect("six lines and a final line feed", len(lines) == 7 and lines[6] == b"", lines)
    expect("CenterNO in base64", lines[0] == b"f7ad02e=" + base64.b64encode(b"341122"), lines[0])
    expect("BK in base64 of GBK", lines[5] == b"8e44f01=" + base64.b64encode("备注".encode("gbk")), lines[5])

    rc, _, err = nvcall("config", "add", "CenterNO=341122", cwd=cwd)
    expect("adding a configured centre again fails", rc == 3 and b"configured already" in err, err)
    rc, _, err = nvcall("config", "add", "Centre=1", cwd=cwd)
    expect("an unknown field is a usage error", rc == 2, err)

    rc, _, err = nvcall("config", "add", "CenterNO=341199", f"ServiceURL=http://127.0.0.1:{refused_port()}/x", cwd=cwd)
    expect("a second centre", rc == 0, err)
    before = config_lines(cwd)
    rc, _, err = nvcall("config", "edit", "341122", "UserNo=op02", cwd=cwd)
    expect("config edit", rc == 0, err)
    after = config_lines(cwd)
    changed = [i for i in range(len(after)) if after[i] != before[i]]
    expect("edit changes one line", changed == [4] and after[4] == b"8e44f00=" + base64.b64encode(b"op02"), changed)
    # An address the library cannot call is refused; the file stays as it was.
    for command in (("add", "CenterNO=341197", "ServiceURL=ftp://127.0.0.1/x"),
                    ("edit", "341122", "UserNo=op03", "ServiceURL=127.0.0.1:8080/ws")):
        rc, _, err = nvcall("config", *command, cwd=cwd)
        expect(f"config {command[0]} refuses a ServiceURL that is not http(s)", rc == 3 and
               b"is not an http:// or https:// address" in err and b"unchanged" in err and
               config_lines(cwd) == after, err)
    with open(os.path.join(cwd, "NvConfiguration.ini"), "rb") as f:
        kept = f.read()
    rc, _, err = nvcall("--utf8", "config", "add", "CenterNO=中心甲", cwd=cwd)
    rc2, _, err2 = nvcall("--utf8", "config", "edit", "中心甲", "UserNo=op甲", cwd=cwd)
    expect("--utf8: the centre code of edit is converted like the values", rc == 0 and rc2 == 0 and
           config_lines(cwd)[-3] == b"8e44f00=" + base64.b64encode("op甲".encode("gbk")), err + err2)
    with open(os.path.join(cwd, "NvConfiguration.ini"), "wb") as f:
        f.write(kept)
    rc, _, err = nvcall("config", "edit", "999999", "UserNo=x", cwd=cwd)
    expect("editing an unknown centre fails", rc == 3 and b"no centre 999999" in err, err)

    # A byte order mark (Notepad's "UTF-8") is dropped when nvcall rewrites
    # the file, so older versions of the library read line 1 too.
    with open(os.path.join(cwd, "NvConfiguration.ini"), "r+b") as f:
        marked = b"\xef\xbb\xbf" + f.read()
        f.seek(0)
        f.write(marked)
    rc, _, err = nvcall("config", "edit", "341122", "CenterNO=341122", cwd=cwd)
    expect("config edit rewrites a file without its byte order mark",
           rc == 0 and b"\n".join(config_lines(cwd)) == marked[3:], err)

    rc, out, _ = nvcall("--utf8", "config", "list", cwd=cwd)
    expect("config list shows both centres decoded",
           rc == 0 and "备注".encode() in out and b"341199" in out and b"op02" in out, out)

    rc, out, _ = nvcall("--raw", "getPersonInfo", "341122000123", "op01", "341122", cwd=cwd)
    expect("--raw prints the GBK document as returned", rc == 0 and out.startswith(
        b"<?xml version='1.0' encoding='gb2312'?><function><function_id>GetPersonInfo</function_id>")
        and "张三".encode("gbk") in out and out.endswith(b"</function>"), out[:200])
    with open(os.path.join(cwd, "saved.xml"), "wb") as f:
        f.write(out)

    rc, out, _ = nvcall("--utf8", "--table", "getPersonInfo", "341122000123", "op01", "341122", cwd=cwd)
    text = out.decode("utf-8")
    expect("--utf8 --table", rc == 0 and text.startswith("GetPersonInfo  000  执行成功  (3 rows)\n")
           and "张三" in text and "李秀英" in text, text)
    header, rule = text.splitlines()[1:3]
    starts = [m.start() for m in re.finditer(r"\S+", header)]
    expect("13 columns, each name over its rule", len(starts) == 13 and
           starts == [m.start() for m in re.finditer(r"-+", rule)], text)

    rc, out, _ = nvcall("show", "--value", "memberNO", "saved.xml", cwd=cwd)
    expect("show --value", rc == 0 and out == b"34112200012301\n", out)
    rc, out, _ = nvcall("--utf8", "show", "--table", "saved.xml", cwd=cwd)
    expect("show --table", rc == 0 and "张小明" in out.decode("utf-8"), out)

    rc, out, _ = nvcall("--utf8", "cliCalculate", "10009999", "341122", cwd=cwd)
    expect("an out_code of 600 exits 1", rc == 1 and "就诊记录不存在" in out.decode("utf-8"), out)
    rc, out, _ = nvcall("--utf8", "--table", "cliCalculate", "", "341122", cwd=cwd)
    expect("a failed check exits 1", rc == 1 and "门诊就诊号不能为空" in out.decode("utf-8"), out)
    rc, out, _ = nvcall("getPersonInfo", "341122000123", "op01", "341199", cwd=cwd)
    expect("an unreachable centre exits 1", rc == 1 and b"<out_code>600</out_code>" in out, out)

    rc, _, err = nvcall("cliCalculate", "10000001", cwd=cwd)
    expect("too few arguments", rc == 2 and b"takes 2 arguments, 1 given" in err and b"clinicNo centreCode" in err, err)
    rc, _, err = nvcall("clicalculate", "1", "2", cwd=cwd)
    expect("names are exact", rc == 2 and b"no export named clicalculate" in err, err)
    rc, _, err = nvcall("--utf8", "getPersonInfo", "\udcff", "op", "", cwd=cwd)
    expect("an argument that is not UTF-8", rc == 3, err)
    rc, _, err = nvcall("--table", "--raw", "getCenter", "", cwd=cwd)
    expect("--table with --raw", rc == 2, err)

    rc, out, _ = nvcall("getCenter", "", cwd=cwd)
    expect("getCenter has no out_code and succeeds", rc == 0 and b"<out_code>" not in out, out)
    rc, out, _ = nvcall("--raw", "Encypt", "abc", cwd=cwd)
    expect("Encypt", rc == 0 and out == b"YWJj", out)
    rc, out, _ = nvcall("--utf8", "DeEncypt", base64.b64encode("张三".encode("gbk")).decode(), cwd=cwd)
    expect("DeEncypt", rc == 0 and out == "张三\n".encode(), out)

    rc, out, _ = nvcall("--list", cwd=cwd)
    names = [line.split()[0] for line in out.decode().splitlines()]
    expect("--list names 36 exports", rc == 0 and len(names) == 36 and "inpRegisterB" in names, names)
    rc, out, _ = nvcall("--version", cwd=cwd)
    lines = out.decode("utf-8").splitlines()
    expect("--version: nvcall's version, then the loaded library's file, bitness and path",
           rc == 0 and len(lines) == 2 and re.fullmatch(r"nvcall \d+(\.\d+)+", lines[0]) and
           re.fullmatch(r"(NvInterFace\.dll \d+(\.\d+)+|libNvInterFace\.so \(no version resource\)), (32|64)-bit, .+"
                        r"(NvInterFace\.dll|libNvInterFace\.so)", lines[1]), out)
    rc, out, err = nvcall("--dll", os.path.join(cwd, "missing.dll"), "getCenter", "", cwd=cwd)
    expect("--dll names the library; one that cannot be loaded is said so", rc == 3 and b"cannot load" in err and
           b"missing.dll" in err, err)

    # --trace: the library's own trace through an NvTrace.ini for the one call.
    rc, _, err = nvcall("--trace", "cliCalculate", "10009999", "341122", cwd=cwd)
    expect("--trace prints the library's entry", rc == 1 and b"export=cliCalculate centre=341122" in err and
           b"out_code=600" in err, err)
    expect("--trace leaves no NvTrace.ini or log", not os.path.exists(os.path.join(cwd, "NvTrace.ini")) and
           not os.path.exists(os.path.join(cwd, "nvcall-trace.log")), os.listdir(cwd))
    # --trace=2 holds the HTTP heads, whose lines end in CR LF: each line of
    # stderr ends once, in LF (CR LF from nvcall.exe's text-mode stderr).
    rc, _, err = nvcall("--trace=2", "cliCalculate", "10009999", "341122", cwd=cwd)
    expect("--trace=2 shows the messages, each line ended once", rc == 1 and b"--- sent" in err and
           b"POST /" in err and b"--- received" in err and
           set(re.findall(rb"\r*\n", err)) == {b"\r\n" if WINE else b"\n"}, err[:400])
    with open(os.path.join(cwd, "NvTrace.ini"), "w") as f:
        f.write("level=1\nfile=his.log\n")
    rc, _, err = nvcall("--trace", "cliCalculate", "10009999", "341122", cwd=cwd)
    with open(os.path.join(cwd, "his.log"), "rb") as f:
        his_log = f.read()
    expect("an NvTrace.ini already there rules the call and stays", b"NvTrace.ini is present" in err and
           b"export=cliCalculate" in his_log and os.path.exists(os.path.join(cwd, "NvTrace.ini")), err)
    os.remove(os.path.join(cwd, "NvTrace.ini"))

    # codes: the centre's reimbursement types and departments, decoded.
    rc, out, _ = nvcall("--utf8", "codes", cwd=cwd)
    text = out.decode("utf-8")
    expect("codes prints both tables of the first centre", rc == 0 and "RedeemTypeDown  000  执行成功  (5 rows)" in text
           and "22" in text and "门诊家庭帐户" in text and "OfficeCodeDown  000  执行成功  (5 rows)" in text and
           "中医科" in text, text)
    rc, out, _ = nvcall("codes", "999999", cwd=cwd)
    expect("codes for an unknown centre exits 1", rc == 1 and b"RedeemTypeDown  300" in out, out)
    rc, _, _ = nvcall("codes", "341122", "x", cwd=cwd)
    expect("codes takes one centre at most", rc == 2)

    # check: every centre, each step in plain words, the connection test and
    # the call with the centre's HOSP_CODE; one that fails exits 1.
    # A centre that config add would refuse, written by hand.
    append_centre(cwd, CenterNO="341198", ServiceURL="ftp://中心/x")
    rc, out, _ = nvcall("--utf8", "check", cwd=cwd)
    rows = {tuple(line.split()[:3]) for line in out.decode("utf-8").splitlines()}
    for row, why in [(("341122", "address", "ok"), "an http address"),
                     (("341122", "connection", "ok"), "the sandbox answers the connection test"),
                     (("341122", "hospital", "ok"), "the sandbox knows the hospital"),
                     (("341199", "connection", "FAILED"), "refused port"),
                     (("341199", "hospital", "not"), "skipped after the failed connection"),
                     (("341198", "address", "FAILED"), "not an http address"),
                     (("341198", "connection", "not"), "skipped")]:
        expect(f"check: {why}", row in rows, out)
    expect("check quotes the configured address decoded", 'ServiceURL "ftp://中心/x" is not'.encode() in out, out)
    expect("check shows the connection test's answer", "connectTesting answered 000 执行成功: 连接成功".encode() in out,
           out)
    expect("check names the call, the hospital code and the answer",
           "redeemTypeDown, which sends HOSP_CODE 341122001, answered 000 执行成功 (5 rows)".encode() in out and
           b"3 centres, 1 working" in out and rc == 1, out)


def check_hospital_code(url, cwd):
    """A HOSP_CODE the centre does not know fails the check."""
    nvcall("config", "add", "CenterNO=341122", f"ServiceURL={url}", "HOSP_CODE=341122999", cwd=cwd)
    rc, out, _ = nvcall("--utf8", "check", cwd=cwd)
    expect("check: an unknown HOSP_CODE fails the call", rc == 1 and b"HOSP_CODE 341122999" in out and
           "医疗机构不存在".encode() in out and b"1 centre, 0 working" in out, out)
    if not WINE:
        # A Chinese locale: the same check in Chinese.
        done = subprocess.run([NVCALL, "--utf8", "check"], cwd=cwd, capture_output=True, timeout=300,
                              env=dict(os.environ, LANG="zh_CN.UTF-8", LC_ALL="", LC_MESSAGES=""))
        text = done.stdout.decode("utf-8")
        expect("check speaks Chinese in a Chinese locale", "1 个中心,0 个正常" in text and "医院编码  失败" in text, text)
        done = subprocess.run([NVCALL, "--utf8", "config", "add", "CenterNO=341122"], cwd=cwd, capture_output=True,
                              timeout=300, env=dict(os.environ, LANG="zh_CN.UTF-8", LC_ALL="", LC_MESSAGES=""))
        expect("config speaks Chinese too", done.returncode == 3 and "已经配置".encode() in done.stderr, done.stderr)


# The warning of each line of nvcall_config_mistakes.ini, in line order: its
# number and what it must say.
MISTAKE_WARNINGS = [
    (1, "the file begins with a UTF-8 byte order mark (Notepad's \"UTF-8\"). This library skips it; older versions "
        "find no key on line 1, so calls for centre 341122 answer 300 无法找到配置文件"),
    (8, 'ServiceURL "ftp://127.0.0.1/x" is not an http:// or https:// address: the library cannot call it, and calls '
        'for centre 341199 answer 600'),
    (9, '"1c1be9c = MzQxMTk5MDAx": the blank after the key is the separator, so the value is "= MzQxMTk5MDAx", which '
        'is not base64: HOSP_CODE is that text as written. Write "1c1be9c=MzQxMTk5MDAx"'),
    (10, 'ORG_LEVEL "2" is not base64: the library keeps it as written'),
    (13, "CenterNO 341155 is set again in group 4 (line 20): the library uses the last group of a centre, so calls for "
         "341155 never read this group"),
    (14, "is no key, so the line sets nothing: keys are lower case, as 957b527 (ServiceURL)"),
    (16, '"  170e2c1=Mg==" is no key, so the line sets nothing: the blanks before 170e2c1 (ORG_LEVEL) hide it'),
    (17, '"8e44f0O=b3AwMQ==" is no key, so the line sets nothing; is it a mistyped 8e44f00 (UserNo)?'),
    (19, "a blank line still counts as a line of its group of six, so every later line moves down one place: BK (line "
         "25) is read in group 5 (centre 341166), not group 4 (centre 341155); BK (line 31) falls into the discarded "
         "last lines, not group 5 (centre 341166)"),
    (31, "the last 3 lines (31-33) are not a whole group of six and are discarded: BK, CenterNO 341177 and ServiceURL "
         "are never read"),
]


def check_config_warnings(cwd):
    """config list names every line of a hand-written file that cannot do what
    its author meant, on stderr, and still lists the groups and succeeds."""
    shutil.copy(MISTAKES, os.path.join(cwd, "NvConfiguration.ini"))
    rc, out, err = nvcall("--utf8", "config", "list", cwd=cwd)
    expect("config list with warnings lists the whole groups and succeeds", rc == 0 and b"(5 rows)" in out, out)
    said = err.decode("utf-8").splitlines()
    expect("config list: one warning for each mistake", len(said) == len(MISTAKE_WARNINGS), err)
    for (line, meaning), warning in zip(MISTAKE_WARNINGS, said):
        expect(f"config list: the warning of line {line}",
               warning.startswith(f"nvcall: NvConfiguration.ini line {line}: ") and meaning in warning, warning)
    if not WINE:
        done = subprocess.run([NVCALL, "--utf8", "config", "list"], cwd=cwd, capture_output=True, timeout=300,
                              env=dict(os.environ, LANG="zh_CN.UTF-8", LC_ALL="", LC_MESSAGES=""))
        text = done.stderr.decode("utf-8")
        expect("config list warns in Chinese in a Chinese locale", done.returncode == 0 and
               len(text.splitlines()) == len(MISTAKE_WARNINGS) and "第 19 行: 空行仍算作六行一组中的一行" in text and
               "BK(第 25 行)被读入第 5 组(中心 341166),而不是第 4 组(中心 341155)" in text, text)


def check_duplicated_centre(url, cwd):
    """Of two groups with one CenterNO, the library uses the last: check tests
    that one, and its warning says so."""
    refused = f"http://127.0.0.1:{refused_port()}/x"
    append_centre(cwd, CenterNO="341122", ServiceURL=refused, HOSP_CODE="341122999")
    append_centre(cwd, CenterNO="341122", ServiceURL=url, HOSP_CODE="341122001")
    rc, out, err = nvcall("--utf8", "check", cwd=cwd)
    sandbox_port = url.split(":")[2].split("/")[0]
    expect("check tests the last group of a duplicated CenterNO", rc == 0 and b"1 centre, 1 working" in out and
           f"port {sandbox_port}".encode() in out and b"HOSP_CODE 341122001" in out and b"341122999" not in out, out)
    expect("check names the group that is not used", err.startswith(
        b"nvcall: NvConfiguration.ini line 1: CenterNO 341122 is set again in group 2 (line 7)"), err)


def main():
    with running_sandbox(SANDBOX, failures) as (address, scratch):
        work = os.path.join(scratch, "his")
        os.mkdir(work)
        if SHORT:
            check_short(address, work)
            return
        check(address, work)
        other = os.path.join(scratch, "other-hospital")
        os.mkdir(other)
        check_hospital_code(address, other)
        for name, test in (("mistakes", check_config_warnings),
                           ("duplicated", lambda cwd: check_duplicated_centre(address, cwd))):
            os.mkdir(os.path.join(scratch, name))
            test(os.path.join(scratch, name))

main()
if failures:
    print("\n".join(failures), file=sys.stderr)
    sys.exit(1)
print("nvcall: all checks passed")
