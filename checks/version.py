#!/usr/bin/env python3
"""The .exe's version resource, which Explorer's Details shows, names the
project's version in every field and the licence's holder, in Spanish, and
is filed under the language its block names.
usage: version.py EXE VERSION COPYRIGHT, the licence's copyright line"""
import struct
import sys

from pe import resources

RT_VERSION = 16


def block(data, at):
    """The version block at data[at:]: (key, value, children, length)."""
    length, size, text = struct.unpack_from("<HHH", data, at)
    end = data.index(b"\0\0", at + 6)
    while (end - at - 6) % 2:
        end = data.index(b"\0\0", end + 1)
    key = data[at + 6:end].decode("utf-16-le")
    value = (end + 2 + 3) & ~3
    value_end = value + (2 * size if text else size)
    children = []
    child = (value_end + 3) & ~3
    while child < at + length:
        children.append(block(data, child))
        child = (child + children[-1][3] + 3) & ~3
    return key, data[value:value_end], children, length


exe, version, copyright = sys.argv[1:]
faults = []
found = [(name, lang, data) for kind, name, lang, data in resources(exe) if kind == RT_VERSION]
if [name for name, lang, data in found] != [1]:
    sys.exit("version resources filed as %s, not one as resource 1" % [f[0] for f in found])
_, filed, data = found[0]
key, fixed, children, _ = block(data, 0)
signature, _, fms, fls, pms, pls = struct.unpack_from("<6I", fixed)
want = tuple(int(n) for n in version.split(".")) + (0,)
for what, ms, ls in (("FILEVERSION", fms, fls), ("PRODUCTVERSION", pms, pls)):
    got = (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    if key != "VS_VERSION_INFO" or signature != 0xFEEF04BD or got != want:
        faults.append("%s is %s, not %s" % (what, got, want))
tables = [t for k, v, c, n in children if k == "StringFileInfo" for t in c]
if len(tables) != 1:
    sys.exit("%d string tables, not one" % len(tables))
strings = {k: v.decode("utf-16-le").rstrip("\0") for k, v, c, n in tables[0][2]}
if tables[0][0] != "0C0A04E4" or filed != 0x0C0A:
    faults.append("strings of block %s, filed under language %#x, not Spanish (Spain) in "
                  "Windows-1252 (0C0A04E4, 0xc0a)" % (tables[0][0], filed))
wanted = {
    "FileVersion": version, "ProductVersion": version, "OriginalFilename": "tolvekpre.exe",
    "InternalName": "tolvekpre", "ProductName": "TOLVEKPRE",
    "FileDescription": "Preparador para extraer archivos voc de TOLVEK ordenados por actores",
    "LegalCopyright": copyright + ". Licencia: MIT",
}
for name, value in wanted.items():
    if strings.get(name) != value:
        faults.append("%s is %r, not %r" % (name, strings.get(name), value))
sys.exit("\n".join(faults) or None)
