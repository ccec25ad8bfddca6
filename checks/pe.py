"""The resources of a Windows program, as the system's loader finds them."""
import struct


def resources(path):
    """Every resource of the PE file at path as (type, name, language, bytes),
    type and name being numbers or strings."""
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("%s is no PE file" % path)
    sections, optsize = struct.unpack_from("<H12xH", data, pe + 6)
    opt = pe + 24
    magic = struct.unpack_from("<H", data, opt)[0]
    # The resource table is the third data directory.
    rva = struct.unpack_from("<I", data, opt + (96 if magic == 0x10B else 112) + 16)[0]
    table = []
    for i in range(sections):
        at = opt + optsize + 40 * i
        vsize, va, rawsize, raw = struct.unpack_from("<4I", data, at + 8)
        table.append((va, max(vsize, rawsize), raw))

    def offset(addr):
        for va, size, raw in table:
            if va <= addr < va + size:
                return raw + addr - va
        raise ValueError("%s: address %#x lies in no section" % (path, addr))

    root = offset(rva)

    def label(word):
        if word & 0x80000000 == 0:
            return word
        at = root + (word & 0x7FFFFFFF)
        n = struct.unpack_from("<H", data, at)[0]
        return data[at + 2:at + 2 + 2 * n].decode("utf-16-le")

    def walk(at, path):
        named, ids = struct.unpack_from("<HH", data, at + 12)
        for i in range(named + ids):
            word, to = struct.unpack_from("<II", data, at + 16 + 8 * i)
            here = path + (label(word),)
            if to & 0x80000000:
                yield from walk(root + (to & 0x7FFFFFFF), here)
            else:
                addr, size = struct.unpack_from("<II", data, root + to)
                yield here + (data[offset(addr):offset(addr) + size],)

    return list(walk(root, ())) if rva else []
