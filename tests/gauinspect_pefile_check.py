#!/usr/bin/python3
"""Cross-checks gauinspect against pefile, an independent PE reader packaged by Debian.

Usage: gauinspect_pefile_check.py GAUINSPECT DIST_DIR DELIVERABLE...

For each shipped .gau, the image headers, sections, exports, imports, resources (with the
bitmap headers) and version strings that gauinspect reports must be those pefile reads.
"""
import json
import re
import struct
import subprocess
import sys

import pefile

RESOURCE_TYPES = {1: "CURSOR", 2: "BITMAP", 3: "ICON", 4: "MENU", 5: "DIALOG", 6: "STRING",
                  10: "RCDATA", 14: "GROUP_ICON", 16: "VERSION", 24: "MANIFEST"}


def inspector_view(gauinspect, path):
    run = subprocess.run([gauinspect, "--json", path], capture_output=True, text=True, check=False)
    if run.returncode not in (0, 1):
        raise AssertionError(f"gauinspect exited {run.returncode}: {run.stderr}")
    return json.loads(run.stdout)


def pefile_resources(pe):
    out = []
    if not hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        return out
    for rtype in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        type_name = str(rtype.name) if rtype.name is not None else RESOURCE_TYPES.get(rtype.id, str(rtype.id))
        for name in rtype.directory.entries:
            rid = str(name.name) if name.name is not None else name.id
            for lang in name.directory.entries:
                entry = {"type": type_name, "id": rid, "language": lang.id, "size": lang.data.struct.Size}
                if type_name == "BITMAP":
                    data = pe.get_data(lang.data.struct.OffsetToData, lang.data.struct.Size)
                    _, width, height, _, bits = struct.unpack_from("<IiiHH", data, 0)
                    entry.update(width=width, height=abs(height), bit_depth=bits)
                out.append(entry)
    return out


def compare(label, ours, theirs, failures):
    if ours != theirs:
        failures.append(f"{label}:\n    gauinspect {ours!r}\n    pefile     {theirs!r}")


def check(gauinspect, path):
    failures = []
    ours = inspector_view(gauinspect, path)
    pe = pefile.PE(path)
    base = pe.OPTIONAL_HEADER.ImageBase

    machine = int(re.search(r"\((0x[0-9a-f]+)\)", ours["pe"]["machine"]).group(1), 16)
    compare("machine", machine, pe.FILE_HEADER.Machine, failures)
    compare("DLL flag", "dll" in ours["pe"]["characteristics"], pe.is_dll(), failures)
    compare("image base", int(ours["pe"]["image_base"], 16), base, failures)
    compare("entry point", int(ours["pe"]["entry_point"], 16) - base, pe.OPTIONAL_HEADER.AddressOfEntryPoint, failures)
    compare("sections",
            [(s["name"], int(s["address"], 16) - base, s["virtual_size"], s["raw_size"]) for s in ours["pe"]["sections"]],
            [(s.Name.rstrip(b"\0").decode(), s.VirtualAddress, s.Misc_VirtualSize, s.SizeOfRawData) for s in pe.sections],
            failures)

    theirs_exports = []
    if hasattr(pe, "DIRECTORY_ENTRY_EXPORT"):
        theirs_exports = [((s.name or b"").decode(), s.ordinal, s.address) for s in pe.DIRECTORY_ENTRY_EXPORT.symbols]
    compare("exports", sorted((e["name"], e["ordinal"], int(e["address"], 16) - base) for e in ours["exports"]),
            sorted(theirs_exports), failures)

    theirs_imports = []
    for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []):
        names = [imp.name.decode() if imp.name else f"#{imp.ordinal}" for imp in entry.imports]
        theirs_imports.append({"dll": entry.dll.decode(), "functions": names})
    compare("imports", ours["imports"], theirs_imports, failures)

    keep = ("type", "id", "language", "size", "width", "height", "bit_depth")
    compare("resources", [{k: r[k] for k in keep if k in r} for r in ours["resources"]], pefile_resources(pe), failures)

    theirs_strings = {}
    for info in getattr(pe, "FileInfo", []):
        for block in info:
            for table in getattr(block, "StringTable", []):
                theirs_strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
    ours_strings = (ours.get("version_resource") or {}).get("strings", {})
    compare("version strings", ours_strings, theirs_strings, failures)
    if hasattr(pe, "VS_FIXEDFILEINFO"):
        fixed = pe.VS_FIXEDFILEINFO[0]
        ms, ls = fixed.FileVersionMS, fixed.FileVersionLS
        compare("file version", ours["version_resource"]["file_version"],
                f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}", failures)
    return failures


def main():
    if len(sys.argv) < 4:
        print(__doc__)
        return 64
    gauinspect, dist = sys.argv[1], sys.argv[2]
    passed = failed = 0
    for deliverable in sys.argv[3:]:
        path = f"{dist}/gauges/{deliverable}.gau"
        try:
            failures = check(gauinspect, path)
        except (OSError, AssertionError, pefile.PEFormatError, ValueError, KeyError) as error:
            failures = [f"could not compare: {error!r}"]
        if failures:
            failed += 1
            print(f"FAIL {deliverable}")
            for f in failures:
                print("  " + f)
        else:
            passed += 1
            print(f"ok   {deliverable}")
    print(f"{passed} passed, {failed} failed")
    return 1 if failed or not passed else 0


if __name__ == "__main__":
    sys.exit(main())
