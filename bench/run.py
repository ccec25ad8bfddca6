#!/usr/bin/env python3
"""Times tolvekpre against `cat LISTING >/dev/null` on two ~1 GiB listings.

usage: bench/run.py [PROGRAM] [--runs N] [--dir DIR]

  long-lines:  4394 entries, ~230 KB of spoken text on each entry's line
  long-gaps:   4394 entries, each after ~230 KB of lines without '('

Runs the two commands alternately on the same file, prints the median of the
per-pair time ratios and the program's peak resident memory (GNU time's %M).
The listings are made once in DIR and kept for later runs.
"""
import argparse
import os
import statistics
import subprocess
import sys
import time
from pathlib import Path

ENTRIES = 4394
TEXT = 230 * 1000
NAMES = b"holdaven dune fisomar guardia hold dor rk gc1 zepra".split()


def make(path, gaps):
    if path.exists():
        return
    sentence = b"Ya era hora de que llegaras, el barquero no queria zarpar. "
    text = (sentence * (TEXT // len(sentence) + 1))[:TEXT]
    gap = b"".join(text[i:i + 99] + b"\n" for i in range(0, TEXT, 100))
    tmp = path.with_suffix(".part")
    with open(tmp, "wb") as f:
        for i in range(ENTRIES):
            head = b"(VOC%05d) %s: " % (i, NAMES[i % len(NAMES)])
            f.write(gap + head + b"hola\r\n" if gaps else head + text + b"\r\n")
    tmp.rename(path)


def seconds(cmd):
    t = time.perf_counter()
    subprocess.run(cmd, stdout=subprocess.DEVNULL, check=True)
    return time.perf_counter() - t


def peak_kib(cmd):
    r = subprocess.run(["/usr/bin/time", "-f", "%M"] + cmd, stdout=subprocess.DEVNULL,
                       stderr=subprocess.PIPE, check=True)
    return int(r.stderr.split()[-1])


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("program", nargs="?", default="build/default/tolvekpre")
    ap.add_argument("--runs", type=int, default=9)
    ap.add_argument("--dir", default="/tmp/tolvek-bench")
    opts = ap.parse_args()
    if not os.access("/usr/bin/time", os.X_OK):
        sys.exit("bench/run.py: needs GNU time at /usr/bin/time for the peak memory "
                 "(Debian's package 'time')")
    program = os.path.abspath(opts.program)
    work = Path(opts.dir)
    work.mkdir(parents=True, exist_ok=True)
    os.chdir(work)  # the index lands here
    for name, gaps in (("long-lines", False), ("long-gaps", True)):
        listing = work / (name + ".txt")
        make(listing, gaps)
        tool, cat = [program, str(listing)], ["cat", str(listing)]
        seconds(cat)  # into the page cache
        ratios, ts, cs = [], [], []
        for _ in range(opts.runs):
            c = seconds(cat)
            t = seconds(tool)
            ratios.append(t / c)
            ts.append(t)
            cs.append(c)
        size = listing.stat().st_size / 2**30
        print("%-10s %.2f GiB  tool %.3f s  cat %.3f s  median ratio %.2fx  peak %d KiB" %
              (name, size, statistics.median(ts), statistics.median(cs),
               statistics.median(ratios), peak_kib(tool)))


if __name__ == "__main__":
    main()
