#!/usr/bin/env python3
"""The actor tables of the README and of each manual page are the program's,
code by code. usage: actors.py SOURCE_DIR PAGE..."""
import re
import sys
from pathlib import Path

top = Path(sys.argv[1])
code = (top / "src" / "actors.cpp").read_text()
table = re.search(r"nombres\[filas\] = \{(.*?)\};", code, re.S).group(1)
want = list(enumerate(re.findall(r'"([a-z0-9]*)"', table)))
pages = {"README.md": r"\| (\d+) ([a-z0-9]+) "}
pages.update((page, r"(?:^\.It | Ta )(\d+) ([a-z0-9]+)") for page in sys.argv[2:])
faults = []
for name, cell in pages.items():
    got = [(int(n), a) for n, a in re.findall(cell, (top / name).read_text(), re.M)]
    if got != want:
        faults.append("%s lists %s,\nthe program %s" % (name, got, want))
sys.exit("\n".join(faults) or None)
