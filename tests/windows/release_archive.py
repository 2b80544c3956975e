#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The Windows release archive, as a HIS vendor receives it.

Usage: release_archive.py PACKAGE_SCRIPT OBJDUMP X86_BUILD X64_BUILD

Makes the archive with the packaging script into a scratch directory,
unpacks it, checks its files against the expected layout and SHA256SUMS.txt;
that the DLLs and programs carry no DWARF and no symbol table, with a PDB
beside each that their debug directory names by GUID and age, which holds no
path of the build and through which every export's address resolves to its
name;
that every text file is UTF-8 with CR LF, the documents with a byte order
mark; that the guide names exactly the DLLs' imports; the notices of the
linked libraries; and loads each architecture's DLL from the unpacked tree
under Wine (x86 under wine, x64 under wine64) through the nvcall.exe beside
it, with the sample NvConfiguration.ini. Then the first call README.txt walks
through, from the unzipped kit alone under Wine: its sandbox centre started,
the sample configuration, nvcall.exe check, getPersonInfo and a whole
outpatient visit, each exchange seen by the sandbox's console API. Exits 77
(skipped) without the cross builds or Wine; 0 when every check holds.
"""
import base64
import hashlib
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import urllib.request
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "sandbox"))
from sandbox_centre import run_captured  # noqa: E402
from program_database import export_names_through_pdb, program_database_faults  # noqa: E402

PACKAGE, OBJDUMP, X86_BUILD, X64_BUILD = sys.argv[1:5]
# The tree the kit was built from, none of whose paths the programs may hold.
BUILD_ROOT = os.path.realpath(os.path.join(os.path.dirname(PACKAGE), ".."))
WINE = {"x86": (shutil.which("wine"), os.path.join(X86_BUILD, "wineprefix-nvcall"), "pei-i386"),
        "x64": ("/usr/lib/wine/wine64", os.path.join(X64_BUILD, "wineprefix-nvcall"), "pei-x86-64")}
failures = []


def expect(what, condition, detail=""):
    if not condition:
        failures.append(f"{what}: {detail!r}"[:2000])


if not all(os.path.exists(os.path.join(b, "nvcall.exe")) for b in (X86_BUILD, X64_BUILD)) or \
        not all(w and os.access(w, os.X_OK) for w, _, _ in WINE.values()):
    print("skipped: no x86 and x64 cross builds, or no Wine")
    sys.exit(77)

# ---- The first call from the kit alone, as README.txt walks it ------------
SERVICE_PATH = "/clinic/webservice/inpatientRedeem"


def sample_service_url(kit):
    with open(os.path.join(kit, "docs", "NvConfiguration.ini"), "rb") as f:
        for line in f.read().splitlines():
            if line.startswith(b"957b527"):
                return base64.b64decode(line[8:]).decode()
    return None


def first_call_from_the_kit(kit, scratch):
    """The kit's x64 programs under wine64: nv_sandbox.exe, then nvcall.exe
    with the sample configuration, through a whole outpatient visit. x64:
    the sandbox serves each connection on a thread of its own, which an
    emulated 32-bit Wine cannot be trusted to run; the x86 sandbox's usage
    text is read, which runs no thread."""
    wine, prefix, _ = WINE["x64"]
    x86_wine, x86_prefix, _ = WINE["x86"]
    x86_env = dict(os.environ, WINEPREFIX=x86_prefix, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=",
                   DISPLAY="")
    x86_usage = run_captured([x86_wine, os.path.join(kit, "sandbox", "nv_sandbox.exe"), "--help"], env=x86_env,
                             timeout=300).stdout
    expect("the x86 sandbox starts and names its default port", b"(default 8888)" in x86_usage, x86_usage)
    env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=", LANG="C.UTF-8",
               LC_ALL="C.UTF-8", DISPLAY="")
    exe = os.path.join(kit, "sandbox", "x64", "nv_sandbox.exe")
    usage = run_captured([wine, exe, "--help"], env=env, timeout=300).stdout
    expect("the sandbox's default port", b"(default 8888)" in usage, usage)
    expect("the sample configuration points at the sandbox's default address",
           sample_service_url(kit) == "http://127.0.0.1:8888" + SERVICE_PATH, sample_service_url(kit))
    centre_dir, his = os.path.join(scratch, "sandbox-run"), os.path.join(scratch, "his-first-call")
    os.mkdir(centre_dir)
    os.mkdir(his)
    shutil.copy(os.path.join(kit, "docs", "NvConfiguration.ini"), his)
    # Any free port: 8888 may be taken on this machine. The configuration's
    # address is changed to it, and nothing else.
    with open(os.path.join(centre_dir, "log"), "wb") as log:
        sandbox = subprocess.Popen([wine, exe, "--port", "0"], cwd=centre_dir, env=env, stdout=subprocess.PIPE,
                                   stderr=log)
    try:
        port = int(sandbox.stdout.readline())
        nvcall = os.path.join(kit, "x64", "nvcall.exe")

        def call(*args):
            done = run_captured([wine, nvcall, *args], cwd=his, env=env, timeout=300)
            return done.returncode, done.stdout.decode("utf-8", "replace")

        def value(out, name):
            found = re.search(r'colname=\\"' + name + r'\\">(.*?)</column>', out)
            return found.group(1) if found else ""

        rc, _ = call("config", "edit", "341122", f"ServiceURL=http://127.0.0.1:{port}{SERVICE_PATH}")
        expect("the sample configuration pointed at the running sandbox", rc == 0)
        rc, out = call("check")
        expect("nvcall.exe check against the kit's sandbox", rc == 0, out)
        rc, out = call("--utf8", "getPersonInfo", "341122000123", "op01", "341122")
        expect("getPersonInfo", rc == 0 and "<out_code>000</out_code>" in out and "张三" in out, out)
        rc, out = call("--utf8", "cliRegister", "1", "", "341122", "MZ0001", "3411220001", "34112200012301",
                       "341122100001", "张三", "1", "341122197803150019", "46", "341122000123", "6210341122000123",
                       "J06.900", "", "01", "2024-06-03", "王医生", "1", "1", "", "")
        clinic = value(out, "clinicNo")
        expect("cliRegister", rc == 0 and clinic, out)
        visit = [("cliDetailInput", "1", "341122", clinic, "RX0001", "", "H-AMX", "XY0001", "01", "阿莫西林胶囊",
                  "0.25g*24粒", "盒", "胶囊剂", "12.50", "2", "25.00", "25.00", "2024-06-03", "", ""),
                 ("cliDetailInput", "1", "341122", clinic, "RX0001", "", "H-XCG", "JC0001", "03", "血常规", "", "次",
                  "", "20.00", "1", "20.00", "20.00", "2024-06-03", "", ""),
                 ("cliDetailSeek", clinic, "341122"), ("cliCalculate", clinic, "341122"),
                 ("cliSettlement", clinic, "341122")]
        for step in visit:
            rc, out = call("--utf8", *step)
            expect(step[0], rc == 0, out)
        settlement = value(out, "settlementNo")
        for step in [("cliAuditingSeek", settlement, "341122"), ("isCashRedeem", settlement, "341122"),
                     ("cliBalance", clinic, "10.00", "341122"), ("cliStrikeBalance", settlement, "341122")]:
            rc, out = call("--utf8", *step)
            expect(step[0], rc == 0 and settlement, out)
        # The sandbox's console saw every exchange of the visit (and the
        # lookups of check and getPersonInfo before it).
        with urllib.request.urlopen(f"http://127.0.0.1:{port}/api/exchanges?limit=1000", timeout=30) as answer:
            seen = [e["operation"] for e in json.loads(answer.read())["exchanges"] if e["outcome"] == "ok"]
        expect("the console lists the visit's exchanges",
               [op for op in reversed(seen) if op.startswith("cli") or op == "isCashRedeem"] ==
               ["cliRegister", "cliDetailInput", "cliDetailInput", "cliDetailSeek", "cliCalculate", "cliSettlement",
                "cliAuditingSeek", "isCashRedeem", "cliBalance", "cliStrikeBalance"], seen)
    finally:
        sandbox.send_signal(signal.SIGINT)  # Wine's Ctrl+C: a clean stop
        status = sandbox.wait(timeout=60)
    expect("nv_sandbox.exe stopped cleanly", status == 0, status)


with tempfile.TemporaryDirectory() as scratch:
    made = subprocess.run([PACKAGE, os.path.join(scratch, "out")], capture_output=True, text=True,
                          env=dict(os.environ, NV_WINDOWS_BUILD_DIR=X86_BUILD, NV_WINDOWS_X64_BUILD_DIR=X64_BUILD))
    if made.returncode != 0:
        sys.exit(f"the packaging script failed: {made.stderr}")
    archive = made.stdout.splitlines()[-1]
    match = re.fullmatch(r"NvInterFace-(\d+(?:\.\d+)+)-windows\.zip", os.path.basename(archive))
    expect("the archive's name carries the version", match, archive)
    version = match.group(1) if match else ""
    top = f"NvInterFace-{version}-windows"
    with zipfile.ZipFile(archive) as z:
        z.extractall(scratch)
    kit = os.path.join(scratch, top)
    files = sorted(os.path.relpath(os.path.join(d, f), kit) for d, _, fs in os.walk(kit) for f in fs)
    per_arch = ["NvInterFace.decorated.def", "NvInterFace.def", "NvInterFace.dll", "NvInterFace.dll.a",
                "NvInterFace.lib", "NvInterFace.pdb", "nvcall.exe", "nvcall.pdb"]
    documents = ["README.txt", "LICENSE.txt", "THIRD-PARTY-NOTICES.txt", "CHANGELOG.txt", "docs/using-the-dll.md",
                 "docs/using-the-dll.zh.md",
                 "wrappers/NvInterFace.cs", "wrappers/samples/OutpatientFlow.cs"] + \
        [f"docs/{topic}.{language}.md" for topic in ("reference", "configuration", "network", "trace")
         for language in ("zh", "en")]
    # Read by old compilers, which take no byte order mark: ASCII, CR LF.
    ascii_sources = ["include/NvInterFace.h", "wrappers/NvInterFace.pas", "wrappers/samples/OutpatientFlow.dpr"] + \
        [f"{a}/{f}" for a in ("x86", "x64") for f in ("NvInterFace.def", "NvInterFace.decorated.def")]
    expected = sorted(documents + ascii_sources + ["SHA256SUMS.txt", "docs/NvConfiguration.ini"] +
                      [f"{a}/{f}" for a in ("x86", "x64") for f in per_arch if not f.endswith(".def")] +
                      ["sandbox/nv_sandbox.exe", "sandbox/nv_sandbox.pdb",  # the centre of a first call
                       "sandbox/x64/nv_sandbox.exe", "sandbox/x64/nv_sandbox.pdb"])
    expect("the layout", files == expected, sorted(set(files) ^ set(expected)))

    for name in documents + ascii_sources:
        with open(os.path.join(kit, name), "rb") as f:
            data = f.read()
        bom = data.startswith(b"\xef\xbb\xbf")
        expect(f"{name}: CR LF line ends only", data.count(b"\n") > 0 and data.count(b"\n") == data.count(b"\r\n"))
        if name in documents:
            expect(f"{name}: UTF-8 with a byte order mark", bom and data.decode("utf-8", "replace") == data.decode(
                "utf-8", "ignore"))
        else:
            expect(f"{name}: ASCII without a byte order mark", not bom and data.isascii())

    with open(os.path.join(kit, "x86", "NvInterFace.decorated.def"), "rb") as f:
        decorated = f.read()
    expect("the decorated x86 definition names the __stdcall symbols", b"getPersonInfo@12" in decorated and
           b"inpRegister@128" in decorated, decorated[:300])

    with open(os.path.join(kit, "THIRD-PARTY-NOTICES.txt"), encoding="utf-8-sig") as f:
        notices = f.read()
    for library in ("gsoap", "expat", "openssl", "curl", "sqlite"):
        built = re.search(rf"^- {library}, Debian source package (\S+)", notices, re.M)
        expect(f"THIRD-PARTY-NOTICES names the {library} version built", built, notices[:1500])
        expect(f"THIRD-PARTY-NOTICES gives {library}'s Debian copyright file, of that version",
               built and re.search(rf"^==== {library} {re.escape(built.group(1))} \(the copyright file", notices, re.M),
               notices[:1500])
    expect("THIRD-PARTY-NOTICES names the licence of the generated code",
           "Code generated by gSOAP's soapcpp2" in notices and "GPL-2.0-or-later with the OpenSSL exception" in notices)
    with open(os.path.join(kit, "LICENSE.txt"), encoding="utf-8-sig") as f:
        kit_licence = f.read().replace("\r\n", "\n")
    with open(os.path.join(os.path.dirname(PACKAGE), "..", "LICENSE.txt"), encoding="utf-8") as f:
        expect("the kit's LICENSE.txt is the repository's", kit_licence == f.read())
    expect("THIRD-PARTY-NOTICES holds the licence texts they refer to",
           "==== /usr/share/common-licenses/GPL-2" in notices and "==== /usr/share/common-licenses/Apache-2.0" in
           notices and "GNU GENERAL PUBLIC LICENSE" in notices, "")

    with open(os.path.join(kit, "docs", "using-the-dll.md"), encoding="utf-8-sig") as f:
        guide = f.read()
    stated = re.search(r"It imports only\s+DLLs that every supported Windows has: (.*?)\r?\n\(", guide, re.S)
    stated = sorted(re.findall(r"`([A-Za-z0-9_]+\.dll)`", stated.group(1))) if stated else []
    for arch in ("x86", "x64"):
        dumped = subprocess.run([OBJDUMP, "-p", os.path.join(kit, arch, "NvInterFace.dll")], capture_output=True,
                                text=True).stdout
        imports = sorted(re.findall(r"DLL Name: (\S+)", dumped))
        expect(f"the guide names exactly {arch}/NvInterFace.dll's imports", imports == stated, (imports, stated))
        sandbox = "../sandbox/nv_sandbox.exe" if arch == "x86" else "../sandbox/x64/nv_sandbox.exe"
        for program in ("NvInterFace.dll", "nvcall.exe", sandbox):
            path = os.path.normpath(os.path.join(kit, arch, program))
            sections = subprocess.run([OBJDUMP, "-h", path], capture_output=True, text=True).stdout
            symbols = subprocess.run([OBJDUMP, "-t", path], capture_output=True, text=True).stdout
            expect(f"{arch}/{program} carries no DWARF and no symbol table",
                   ".debug_" not in sections and not re.search(r"^\[\s*\d+\]", symbols, re.M),
                   sections + symbols[:500])
            for fault in program_database_faults(path, BUILD_ROOT):
                failures.append(f"{arch}/{program}: {fault}")
        for export, named in export_names_through_pdb(os.path.join(kit, arch, "NvInterFace.dll")):
            expect(f"{arch}: the address of the export {export} resolves to its name through the PDB",
                   named == export, named)

    sums = {}
    with open(os.path.join(kit, "SHA256SUMS.txt")) as f:
        for line in f:
            digest, name = line.rstrip("\n").split("  ", 1)
            sums[name] = digest
    expect("SHA256SUMS lists every other file", sorted(sums) == [f for f in expected if f != "SHA256SUMS.txt"],
           sorted(sums))
    for name, digest in sums.items():
        with open(os.path.join(kit, name), "rb") as f:
            expect(f"SHA-256 of {name}", hashlib.sha256(f.read()).hexdigest() == digest)
    with open(os.path.join(kit, "README.txt"), "rb") as f:
        readme = f.read()
    expect("README.txt in Chinese and English, with the version",
           "安装".encode() in readme and b"Installing" in readme and version.encode() in readme, readme[:200])

    for arch, (wine, prefix, pe_format) in WINE.items():
        dll = os.path.join(kit, arch, "NvInterFace.dll")
        dumped = subprocess.run([OBJDUMP, "-f", dll], capture_output=True, text=True).stdout
        expect(f"{arch}/NvInterFace.dll is {pe_format}", f"file format {pe_format}" in dumped, dumped)
        # The HIS's working directory, with the sample configuration.
        work = os.path.join(scratch, "his-" + arch)
        os.mkdir(work)
        shutil.copy(os.path.join(kit, "docs", "NvConfiguration.ini"), work)
        env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=",
                   LANG="C.UTF-8", DISPLAY="")

        def run(*args):
            done = run_captured([wine, os.path.join(kit, arch, "nvcall.exe"), *args], cwd=work, env=env, timeout=600)
            return done.returncode, done.stdout

        rc, out = run("--version")
        lines = out.decode("utf-8", "replace").splitlines()
        expect(f"{arch} nvcall.exe --version names the DLL beside it, its version and bitness",
               rc == 0 and lines[:1] == [f"nvcall {version}"] and len(lines) == 2 and re.fullmatch(
                   rf"NvInterFace\.dll {re.escape(version)}(\.0)*\.\d+, {32 if arch == 'x86' else 64}-bit, .*\\{arch}\\"
                   r"NvInterFace\.dll", lines[1]), out)
        # getCenter answers from the configuration alone: the archive's DLL
        # loaded and read the sample.
        rc, out = run("--raw", "getCenter", "341122")
        expect(f"{arch} DLL loaded from the archive reads the sample configuration",
               rc == 0 and out.startswith(b"<?xml") and b"341122001" in out and "示例".encode("gbk") in out, out)
    first_call_from_the_kit(kit, scratch)

if failures:
    print("\n".join(failures), file=sys.stderr)
    sys.exit(1)
print("release archive: all checks passed")
