#!/usr/bin/env python3
"""The imports between the folders of src/: prints each folder's, and fails (status 1) when they
run in a circle, which would mean some import runs back up.
Usage: scripts/imports.py [root]"""
import collections
import pathlib
import re
import sys

racine = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
importe = collections.defaultdict(set)
for f in sorted((racine / "src").rglob("*.[ch]pp")):
    for m in re.finditer(r'^#include "([a-z_]+)/', f.read_text(), flags=re.M):
        if m.group(1) != f.parent.name:
            importe[f.parent.name].add(m.group(1))
for d in sorted(importe):
    print(f"{d} -> {' '.join(sorted(importe[d]))}")


def cercle(d, chemin):
    for e in sorted(importe[d]):
        if e in chemin:
            return chemin[chemin.index(e):] + [e]
        c = cercle(e, chemin + [e])
        if c:
            return c
    return None


for d in sorted(importe):
    c = cercle(d, [d])
    if c:
        print("imports in a circle: " + " -> ".join(c), file=sys.stderr)
        sys.exit(1)
