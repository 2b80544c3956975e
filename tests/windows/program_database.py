# SPDX-License-Identifier: MIT
"""What a Windows debugger needs of a program and its PDB, read with LLVM's tools.

A debugger takes a PDB for a program only when the GUID and age in the
program's debug directory are the PDB's own; it looks for the file by the name
the directory gives, which must carry no folder of the build machine.
"""
import os
import re
import subprocess
import uuid


def _run(*args):
    done = subprocess.run(args, capture_output=True, text=True)
    if done.returncode != 0:
        raise RuntimeError(f"{args[0]} failed: {done.stderr.strip()}")
    return done.stdout


def program_database_faults(program, build_root):
    """Why the PDB beside program does not serve a debugger: a list, empty when it does."""
    pdb = os.path.splitext(program)[0] + ".pdb"
    if not os.path.isfile(pdb):
        return [f"no {os.path.basename(pdb)} beside it"]
    directory = _run("llvm-readobj", "--coff-debug-directory", program)
    named = re.search(r"PDBFileName: (.*)", directory)
    guid = re.search(r"PDBGUID: \(([0-9A-F ]+)\)", directory)
    age = re.search(r"PDBAge: (\d+)", directory)
    if not (named and guid and age):
        return ["no CodeView entry in its debug directory: " + directory[-500:]]
    summary = _run("llvm-pdbutil", "dump", "-summary", pdb)
    pdb_guid = re.search(r"GUID: \{([0-9A-F-]+)\}", summary)
    pdb_age = re.search(r"Age: (\d+)", summary)
    faults = []
    if named.group(1).strip() != os.path.basename(pdb):
        faults.append(f"its debug directory names {named.group(1)!r}, not the PDB's bare file name")
    # The directory holds the GUID's bytes as stored, the PDB tool prints it
    # as text: little-endian fields first.
    program_guid = str(uuid.UUID(bytes_le=bytes.fromhex(guid.group(1)))).upper()
    if not pdb_guid or program_guid != pdb_guid.group(1):
        faults.append(f"GUID {program_guid} in the program, {pdb_guid and pdb_guid.group(1)} in the PDB")
    if not pdb_age or age.group(1) != pdb_age.group(1):
        faults.append(f"age {age.group(1)} in the program, {pdb_age and pdb_age.group(1)} in the PDB")
    for path in (program, pdb):
        with open(path, "rb") as f:
            if build_root.encode() in f.read():
                faults.append(f"{os.path.basename(path)} holds the build's path {build_root}")
    return faults


def export_names_through_pdb(dll):
    """(export, the function the PDB names at its address) for every export of dll."""
    exports = re.findall(r"Name: (\S+)\s+RVA: (0x[0-9A-F]+)", _run("llvm-readobj", "--coff-exports", dll))
    base = int(re.search(r"ImageBase: (0x[0-9A-F]+)", _run("llvm-readobj", "--file-headers", dll)).group(1), 16)
    if not exports:
        raise RuntimeError(f"no exports found in {dll}")
    addresses = [hex(base + int(rva, 16)) for _, rva in exports]
    # Two lines for each address, the function and its source line, then a
    # blank line.
    answers = _run("llvm-symbolizer", f"--obj={dll}", *addresses).strip().split("\n\n")
    answers += [""] * (len(exports) - len(answers))
    return [(name, answer.splitlines()[0] if answer else "") for (name, _), answer in zip(exports, answers)]
