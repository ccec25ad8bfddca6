#!/usr/bin/env python3
"""The zip's quick starts, LEEME.txt and README.txt, read as Notepad shows
them: plain text with no Markdown mark, lines of at most 78 columns, each
ended by CR LF, UTF-8 behind a byte order mark, as LICENSE.txt is.
usage: texts.py ZIP"""
import re
import sys
import zipfile

MARK = re.compile(r"^\s*(#|>|\||```|[=-]{3,}\s*$)|`|\*\*|__|\]\(")
faults = []
with zipfile.ZipFile(sys.argv[1]) as z:
    for name in ("LEEME.txt", "README.txt", "LICENSE.txt"):
        data = z.read(name)
        if not data.startswith(b"\xef\xbb\xbf") or re.search(rb"(?<!\r)\n|\r(?!\n)", data):
            faults.append("%s: no UTF-8 mark, or a line end other than CR LF" % name)
        for n, line in enumerate(data[3:].decode("utf-8").split("\r\n"), 1):
            if len(line) > 78:
                faults.append("%s:%d: %d columns" % (name, n, len(line)))
            if name != "LICENSE.txt" and MARK.search(line):
                faults.append("%s:%d: a Markdown mark: %s" % (name, n, line))
sys.exit("\n".join(faults) or None)
