#!/usr/bin/env python3
"""Checks that each product exe can be loaded by the oldest Windows it is for.

check_imports.py i686 build/i686/Veltro.exe x86_64 build/x86_64/Veltro.exe

For every DLL!function the exe imports (objdump -p of the target's binutils):
- the target's oldest system exports it (tools/imports/windows-*.txt: the
  real export tables of XP SP3 x86 and Server 2003 / XP x64);
- for i686, Microsoft's documentation also gives Windows 2000 as its first
  version (tools/imports/windows-2000-functions.tsv: no export table of 2000
  is at hand, so a function enters that list only with that evidence);
- no import is by ordinal alone (which export an ordinal means differs
  between versions of a DLL).
The PE header's OS and subsystem versions must not exceed the target's.
Prints every fault, each naming its function, and exits 1 on any.
"""
import os
import re
import subprocess
import sys

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "imports")
TARGETS = {
    "i686": {"objdump": "i686-w64-mingw32-objdump", "exports": "windows-xp-sp3-x86.txt",
             "version": (5, 0), "system": "Windows 2000 SP4", "table_of": "Windows XP SP3 x86",
             "first_version_list": True},
    "x86_64": {"objdump": "x86_64-w64-mingw32-objdump", "exports": "windows-2003-x64.txt",
               "version": (5, 2), "system": "Windows XP x64 / Server 2003 x64",
               "table_of": "Windows Server 2003 x64", "first_version_list": False},
}
VERSION_FIELDS = [("MajorOSystemVersion", "MinorOSystemVersion"),
                  ("MajorSubsystemVersion", "MinorSubsystemVersion")]


def read_exports(name):
    exports, dll = {}, None
    with open(os.path.join(HERE, name), encoding="utf-8") as table:
        for line in table:
            line = line.strip()
            if line.startswith("[") and line.endswith("]"):
                dll = line[1:-1].lower()
                exports[dll] = set()
            elif "=" in line and dll:
                exports[dll].add(line.split("=", 1)[1])
    return exports


def read_windows_2000_functions():
    known = set()
    with open(os.path.join(HERE, "windows-2000-functions.tsv"), encoding="utf-8") as table:
        next(table)
        for line in table:
            dll, function, first_version, evidence = line.rstrip("\n").split("\t", 3)
            if first_version == "2000" and evidence:
                known.add((dll.lower(), function))
    return known


def read_pe(objdump, exe):
    text = subprocess.run([objdump, "-p", exe], check=True, capture_output=True, text=True).stdout
    fields = dict(re.findall(r"^(\w+Version)\s+(\d+)", text, re.M))
    imports, dll = [], None
    for line in text.splitlines():
        m = re.match(r"\s+DLL Name: (\S+)", line)
        if m:
            dll = m.group(1).lower()
            continue
        if not line.strip():
            dll = None   # a DLL's list ends with an empty line
            continue
        m = re.match(r"\s+[0-9a-f]+\s+(\d+)\s+(\S+)$", line)
        if dll and m:
            imports.append((dll, m.group(2), m.group(1)))
    return fields, imports


def check(target, exe):
    t = TARGETS[target]
    exports = read_exports(t["exports"])
    windows_2000 = read_windows_2000_functions() if t["first_version_list"] else None
    fields, imports = read_pe(t["objdump"], exe)
    faults = []
    for major, minor in VERSION_FIELDS:
        have = (int(fields.get(major, 99)), int(fields.get(minor, 99)))
        if have > t["version"]:
            faults.append(f"PE header {major[:-12]} version {have[0]}.{have[1]} is above "
                          f"{t['version'][0]}.{t['version'][1]} ({t['system']})")
    if not imports:
        faults.append("no imports found: is this a PE file?")
    for dll, function, hint in imports:
        name = f"{dll}!{function}"
        if function == "<none>":
            faults.append(f"{dll} ordinal {hint}: imported by ordinal, not by name")
        elif dll not in exports:
            faults.append(f"{name}: {t['table_of']} has no {dll}")
        elif function not in exports[dll]:
            faults.append(f"{name}: not exported by {dll} of {t['table_of']}")
        elif windows_2000 is not None and (dll, function) not in windows_2000:
            faults.append(f"{name}: not documented as present on Windows 2000 "
                          f"(tools/imports/windows-2000-functions.tsv)")
    dlls = sorted({dll for dll, _, _ in imports})
    print(f"imports {target}: {len(imports)} functions from {len(dlls)} DLLs ({', '.join(dlls)}), "
          f"PE versions {fields.get('MajorOSystemVersion')}.{fields.get('MinorOSystemVersion')} / "
          f"{fields.get('MajorSubsystemVersion')}.{fields.get('MinorSubsystemVersion')}")
    for fault in faults:
        print(f"imports {target}: {os.path.basename(exe)}: {fault}")
    return not faults


def main(args):
    if len(args) == 0 or len(args) % 2:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    ok = True
    for target, exe in zip(args[0::2], args[1::2]):
        ok = check(target, exe) and ok
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
