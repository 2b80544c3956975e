#!/usr/bin/python3
"""The Windows release archive, as a HIS vendor receives it.

Usage: release_archive.py PACKAGE_SCRIPT OBJDUMP X86_BUILD X64_BUILD

Makes the archive with the packaging script into a scratch directory,
unpacks it, checks its files against the expected layout and SHA256SUMS.txt,
and loads each architecture's DLL from the unpacked tree under Wine (x86
under wine, x64 under wine64) through the nvcall.exe beside it, with the
sample NvConfiguration.ini. Exits 77 (skipped) without the cross builds or
Wine; 0 when every check holds.
"""
import hashlib
import os
import re
import shutil
import subprocess
import sys
import tempfile
import zipfile

PACKAGE, OBJDUMP, X86_BUILD, X64_BUILD = sys.argv[1:5]
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
    per_arch = ["NvInterFace.def", "NvInterFace.dll", "NvInterFace.dll.a", "NvInterFace.lib", "nvcall.exe"]
    expected = sorted(["README.txt", "SHA256SUMS.txt", "docs/NvConfiguration.ini", "docs/using-the-dll.md",
                       "include/NvInterFace.h"] + [f"{a}/{f}" for a in ("x86", "x64") for f in per_arch])
    expect("the layout", files == expected, files)

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
            done = subprocess.run([wine, os.path.join(kit, arch, "nvcall.exe"), *args], cwd=work, env=env,
                                  capture_output=True, timeout=600)
            return done.returncode, done.stdout

        rc, out = run("--version")
        expect(f"{arch} nvcall.exe --version", rc == 0 and out.strip() == f"nvcall {version} (NvInterFace {version})"
               .encode(), out)
        # getCenter answers from the configuration alone: the archive's DLL
        # loaded and read the sample.
        rc, out = run("--raw", "getCenter", "341122")
        expect(f"{arch} DLL loaded from the archive reads the sample configuration",
               rc == 0 and out.startswith(b"<?xml") and b"341122001" in out and "示例".encode("gbk") in out, out)

if failures:
    print("\n".join(failures), file=sys.stderr)
    sys.exit(1)
print("release archive: all checks passed")
