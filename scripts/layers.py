#!/usr/bin/env python3
"""Checks that every include in src/ runs downward through the floors written in src/LAYERS.

Prints one line when they all do; otherwise names each file and line that includes a floor above
its own or another folder of its floor, and exits 1."""
import pathlib
import re
import sys

src = pathlib.Path(__file__).resolve().parent.parent / "src"
floor = {}
for number, line in enumerate(
        l.split("#")[0].split() for l in (src / "LAYERS").read_text().splitlines()):
    for folder in line:
        floor[folder] = number
ground = {"res"}

include = re.compile(r'^\s*#\s*include\s+"([^/"]+)/')
count = 0
faults = []
for path in sorted(src.rglob("*")):
    if path.suffix not in (".h", ".cpp", ".rc") or not path.is_file():
        continue
    relative = path.relative_to(src)
    home = relative.parts[0]
    for number, text in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        match = include.match(text)
        if not match:
            continue
        count += 1
        target = match.group(1)
        if target == home or target in ground:
            continue
        if home not in floor or target not in floor:
            faults.append(f"src/{relative}:{number}: {target}/ or {home}/ is not in src/LAYERS")
        elif floor[target] > floor[home]:
            faults.append(f"src/{relative}:{number}: {home}/ includes {target}/, a floor above it")
        elif floor[target] == floor[home]:
            faults.append(f"src/{relative}:{number}: {home}/ includes {target}/, beside it")

for fault in faults:
    print(fault)
if faults:
    print(f"layers: {len(faults)} of {count} includes break src/LAYERS")
    sys.exit(1)
print(f"layers: {count} includes, none upward")
