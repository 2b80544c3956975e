#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The kit's wrappers as a HIS developer uses them, against the Linux library.

Usage: wrapper_flows.py csharp|pascal LIBRARY_DIR NV_SANDBOX_BINARY SOURCE_DIR

Checks that the wrapper declares every export of NvInterFace.h with its
parameters in order, and that each of its string functions converts its own
parameters in that order under their own names; compiles the wrapper with
its outpatient sample (C# with Mono's mcs at C# 4, Pascal with Free Pascal
in Delphi mode and in its Unicode Delphi mode); runs the wrapper's reader
against the cases of result_cases.py (ResultParsing.cs, ResultParsing.dpr);
and runs the sample against a sandbox centre with libNvInterFace.so from
LIBRARY_DIR. Exits 0 when every check holds.
"""
import base64
import os
import re
import subprocess
import sys

import result_cases
from sandbox_centre import running_sandbox

LANGUAGE, LIBRARY_DIR, SANDBOX, SOURCE = sys.argv[1], *map(os.path.abspath, sys.argv[2:5])
WRAPPERS = os.path.join(SOURCE, "wrappers")
failures = []


def expect(what, condition, detail=""):
    if not condition:
        failures.append(f"{what}: {detail}"[:3000])


def header_exports():
    """name -> parameter names, from every text-returning prototype of the header."""
    with open(os.path.join(SOURCE, "include", "NvInterFace.h")) as f:
        text = f.read()
    found = {}
    for name, params in re.findall(r"NV_API char\* NV_CALL (\w+)\(([^)]*)\)", text):
        found[name] = [p.split()[-1] for p in params.split(",") if p.strip() not in ("", "void")]
    return found


def declared(pattern, path, rename=None):
    with open(path, encoding="utf-8") as f:
        text = f.read()
    found = {}
    for name, params in re.findall(pattern, text):
        names = [re.split(r"[\s:]+", p.strip())[-1 if LANGUAGE == "csharp" else 0] for p in params.split(",")]
        found[name] = [(rename or {}).get(n, n) for n in names if n]
    return found, text


def converts_own_parameters(text, pattern, argument, functions):
    """Those of functions whose parameters are not converted, in order and
    under their own names, by `argument` (a pattern of name and label)."""
    wrong = []
    for name, params, body in re.findall(pattern, text, re.S):
        names = re.findall(r"\w+", re.sub(r"\bconst\b|\bstring\b", "", params))
        if name in functions and re.findall(argument, body) != [(n, n) for n in names]:
            wrong.append(name)
    return wrong


def configure(folder, url):
    fields = [("f7ad02e", "341122"), ("957b527", url), ("1c1be9c", "341122001"), ("170e2c1", "2"),
              ("8e44f00", "op01"), ("8e44f01", "")]
    with open(os.path.join(folder, "NvConfiguration.ini"), "w") as f:
        for key, value in fields:
            f.write(f"{key}={base64.b64encode(value.encode()).decode()}\n")


def run(command, cwd, what):
    env = dict(os.environ, LD_LIBRARY_PATH=LIBRARY_DIR, LANG="C.UTF-8", LC_ALL="C.UTF-8")
    done = subprocess.run(command, cwd=cwd, env=env, capture_output=True, timeout=300)
    expect(what, done.returncode == 0, (done.stdout + done.stderr).decode("utf-8", "replace"))
    return done.stdout.decode("utf-8", "replace")


def csharp(work):
    exports, text = declared(r"public static extern IntPtr (\w+)\(([^)]*)\)", os.path.join(WRAPPERS, "NvInterFace.cs"))
    expect("NvInterFace.cs declares every export with the header's parameters", exports == header_exports(),
           exports)
    for name in header_exports():
        typed = name[0].upper() + name[1:]
        expect(f"NvInterFace.cs has {typed}", re.search(rf"public static \w+ {typed}\(", text), typed)
    wrong = converts_own_parameters(text[text.index("public static class NvInterFace"):],
                                    r"public static \w+ (\w+)\(([^)]*)\)\s*\{(.*?)\n        \}",
                                    r'Gbk\.Bytes\((\w+), "(\w+)"\)', {n[0].upper() + n[1:] for n in header_exports()})
    expect("each NvInterFace method converts its parameters under their names", len(wrong) == 0, wrong)
    exe = os.path.join(work, "OutpatientFlow.exe")
    run(["mcs", "-langversion:4", "-warnaserror", "-out:" + exe, os.path.join(WRAPPERS, "samples", "OutpatientFlow.cs"),
         os.path.join(WRAPPERS, "NvInterFace.cs")], work, "mcs compiles NvInterFace.cs at C# 4 with its sample")
    cases = os.path.join(work, "ResultParsing.exe")
    run(["mcs", "-langversion:4", "-warnaserror", "-out:" + cases, os.path.join(SOURCE, "tests", "wrappers",
                                                                                 "ResultParsing.cs"),
         os.path.join(WRAPPERS, "NvInterFace.cs")], work, "mcs compiles the result parsing cases")
    run(["mono", cases, result_cases.write(work)], work, "NvResult reads the library's documents")
    return [(["mono", exe, "341122"], "the C# outpatient flow")]


def pascal(work):
    rename = {"entryType": "type"}
    exports, text = declared(r"function (\w+)\(([^)]*): NvText\)", os.path.join(WRAPPERS, "NvInterFace.pas"), rename)
    exports["getAllCenter"] = []  # declared without parentheses
    expect("NvInterFace.pas declares every export with the header's parameters", exports == header_exports(), exports)
    implementation = text[text.index("\nimplementation\n"):]
    strings, _ = declared(r"\nfunction Nv(\w+)\(const ([^)]*): string\): string;", os.path.join(WRAPPERS, "NvInterFace.pas"),
                          rename)
    export_of = {name[0].upper() + name[1:]: name for name in header_exports()}
    strings = {export_of[name]: params for name, params in strings.items() if name in export_of}
    strings["getAllCenter"] = [] if "function NvGetAllCenter: string;" in text else None
    expect("NvInterFace.pas has a string function of every export with its parameters", strings == header_exports(),
           strings)
    wrong = converts_own_parameters(implementation, r"\nfunction (Nv\w+)\(const ([^)]*): string\): string;\nbegin\n(.*?)\nend;",
                                    r"NvArg\((\w+), '(\w+)'\)", {"Nv" + n[0].upper() + n[1:] for n in header_exports()})
    expect("each string function converts its parameters under their names", len(wrong) == 0, wrong)
    cases = result_cases.write(work)
    runs = []
    for mode in ("delphi", "delphiunicode"):
        out = os.path.join(work, mode)
        os.mkdir(out)
        for program in (os.path.join(WRAPPERS, "samples", "OutpatientFlow.dpr"),
                        os.path.join(SOURCE, "tests", "wrappers", "ResultParsing.dpr")):
            run(["fpc", "-M" + mode, "-vw", "-Fu" + WRAPPERS, "-FU" + out, "-FE" + out, "-Fl" + LIBRARY_DIR, program],
                work, f"fpc -M{mode} compiles {os.path.basename(program)}")
        run([os.path.join(out, "ResultParsing"), cases], work, f"NvInterFace.pas reads the library's documents, -M{mode}")
        runs.append(([os.path.join(out, "OutpatientFlow"), "341122"], f"the Pascal outpatient flow, -M{mode}"))
    return runs


def main():
    with running_sandbox(SANDBOX, failures) as (url, scratch):
        runs = {"csharp": csharp, "pascal": pascal}[LANGUAGE](scratch)
        his = os.path.join(scratch, "his")
        os.mkdir(his)
        configure(his, url)
        for command, what in runs:
            if not failures:
                out = run(command, his, what)
                expect(f"{what} reaches its end", "every step succeeded" in out, out)


main()
if failures:
    print("\n".join(failures), file=sys.stderr)
    sys.exit(1)
print(f"{LANGUAGE} wrapper: all checks passed")
