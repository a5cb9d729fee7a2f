#!/usr/bin/env python3
"""Checks that the core's includes follow the layer table of docs/ARCHITECTURE.md.

A file of src/FOLDER may include headers of its own folder and of the folders on lower lines
of the table; an include of a folder on its own line (sideways), on a higher line (upward) or
outside the table fails, named by file and line. Tests (*_test.cpp) and src/win32, the Windows
layer above the whole core, are not checked.
"""
import pathlib
import re
import sys

root = pathlib.Path(__file__).resolve().parent.parent
doc = (root / "docs" / "ARCHITECTURE.md").read_text(encoding="utf-8")

# Table lines: "L3  setupinfo/  fini/   what they hold".
rank = {}
for m in re.finditer(r"^L(\d+)((?:\s+[a-z0-9_]+/)+)", doc, re.M):
    for folder in m.group(2).split():
        rank[folder.rstrip("/")] = int(m.group(1))
if not rank:
    sys.exit("check-includes: no layer table in docs/ARCHITECTURE.md")

include = re.compile(r'^\s*#\s*include\s+"([^"/]+)/[^"]*"')
faults = []
for path in sorted((root / "src").rglob("*")):
    if path.suffix not in (".h", ".cpp") or path.name.endswith("_test.cpp"):
        continue
    folder = path.relative_to(root / "src").parts[0]
    if folder == "win32":
        continue
    name = path.relative_to(root)
    if folder not in rank:
        faults.append(f"{name}: folder {folder}/ is not in the layer table")
        continue
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        m = include.match(line)
        if not m or m.group(1) == folder:
            continue
        used = m.group(1)
        if used not in rank:
            why = "outside the core's layers"
        elif rank[used] > rank[folder]:
            why = f"upward (L{rank[used]} from L{rank[folder]})"
        elif rank[used] == rank[folder]:
            why = f"sideways (both L{rank[used]})"
        else:
            continue
        faults.append(f"{name}:{number}: includes {used}/: {why}: {line.strip()}")

for fault in faults:
    print(fault, file=sys.stderr)
if faults:
    sys.exit(f"check-includes: {len(faults)} include(s) against the layer table")
print(f"check-includes: {len(rank)} folders, every include points down")
