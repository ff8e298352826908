#!/usr/bin/env python3
"""Every #include "folder/file.h" of the tree points down the layers below, never up or across:
the engine builds without the demo, the demo without the program. Prints each include that
breaks the rule and exits 1; a folder of sources missing from the table fails too, so a new
folder takes its place in the layers when it is made."""
import os
import re
import sys

# Top to bottom. Folders of one row sit side by side and include neither each other nor the rows above.
LAYERS = [
    ["app"],                         # program
    ["makers", "viewer"],
    ["demo"],                        # this production
    ["engine"],                      # the engine, reusable by another demo
    ["graphics"],
    ["scene", "resources"],
    ["core"],
    ["math", "platform"],
]
NOT_LAYERED = {"tests", "tools", "examples", "data", "docs", "scripts", "cmake"}
SOURCE = (".h", ".hpp", ".cpp", ".cc", ".c")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/[^"]+"')

rank = {folder: row for row, folders in enumerate(LAYERS) for folder in folders}
root = sys.argv[1] if len(sys.argv) > 1 else "."
faults = []
for top in sorted(os.listdir(root)):
    path = os.path.join(root, top)
    if not os.path.isdir(path) or top.startswith((".", "build")) or top in NOT_LAYERED:
        continue
    sources = [os.path.join(d, f) for d, _, fs in os.walk(path) for f in fs if f.endswith(SOURCE)]
    if sources and top not in rank:
        faults.append(f"{top}/: a folder of sources that is in no layer")
        continue
    for source in sorted(sources):
        with open(source, errors="replace") as text:
            for number, line in enumerate(text, 1):
                match = INCLUDE.match(line)
                if not match or match.group(1) == top or match.group(1) not in rank:
                    continue
                if rank[match.group(1)] <= rank[top]:
                    where = os.path.relpath(source, root)
                    faults.append(f"{where}:{number}: includes {match.group(1)}/, which is not below {top}/")

for fault in faults:
    print(fault)
print(f"{len(faults)} include(s) against the layers")
sys.exit(1 if faults else 0)
