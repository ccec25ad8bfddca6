#!/usr/bin/env python3
"""End-to-end cases for tolvekpre.

Each case runs the built program in a scratch folder of its own and compares
its standard output, its exit status and the index file it leaves byte for
byte.  usage: run.py [--exec PREFIX] [--windows] [--case NAME]... [--keep] PROGRAM

--list prints the names of the cases that apply, each followed by its
labels ("slow" for the listing over 4 GiB), for CTest to make a test of
each; --case runs the named cases only; --keep leaves their scratch folders.

With --windows the program is the Windows build: the expected output has
every line feed turned into carriage return and line feed, as the console
runtime writes it, and the index shows without its trailing dot.
"""
import argparse
import os
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

EXAMPLES = Path(__file__).resolve().parents[2] / "examples"
INDEX = "tolvkvoc."

BANNER = (b"TOLVEKPRE v1.17 - 2016\r\n"
          b"Preparador para extraer archivos voc de TOLVEK ordenados por actores.\r\n\n")
DONE = b"\n\rMission Completed!"
TOO_MANY = b"Demasiados param\xe9dicos!\n\r"
NO_FILE = b"No has especificado el archivo .txt\n\r"
NO_INDEX = b"No puedo crear tolvek.act\n\r"
NO_WRITE = b"\n\rNo puedo escribir tolvkvoc\n\r"

ACTORS = ("afo arn dorfalo dorinbas dorkimut dorsel dotil dovesta dune falune fisomar "
          "gc1 gc2 gelmon gim gorta gove gz holdaven jostel kemalto kiba kine nabrolt "
          "nas nelvirta nopa nr1 nr2 olmastre olve pume rafino ribel rk1 rk2 rk3 rv1 "
          "rv2 rv3 sape silora tek timol tuva ulbanta urvin zamolu zepra").split()


def not_found(path, encoding="utf-8"):
    return b"No encuentro %s o no puedo abrirlo\n\r" % path.encode(encoding)


def line(num, name, code):
    row = ACTORS[code].encode() if code < len(ACTORS) else b""
    return b"\n\r%d - actor %s -  %d (%s)" % (num, name, code, row)


def report(*entries):
    """Banner, one report line per (number, name, code) and the completion line."""
    return BANNER + b"".join(line(*e) for e in entries) + DONE


def many(n):
    """A listing of n entries cycling through the table, and its report lines."""
    listing = b"".join(b"(VOC%05d) %s: texto\r\n" % (i, ACTORS[i % 49].encode())
                       for i in range(n))
    return listing, [(i, ACTORS[i % 49].encode(), i % 49) for i in range(n)]


def codes(n):
    """The index of the first n entries of many()."""
    return bytes(i % 49 for i in range(n))


EXAMPLE = (EXAMPLES / "listado.txt").read_bytes()
EXAMPLE_OUT = (EXAMPLES / "listado.out").read_bytes()
EXAMPLE_IDX = (EXAMPLES / "listado.idx").read_bytes()
THREE = b"(VOC00001) dune: uno\n(VOC00002) fisomar: dos\n(VOC00003) nadie: tres\n"
THREE_OUT = report((1, b"dune", 8), (2, b"fisomar", 10), (3, b"nadie", 255))
THREE_IDX = b"\x08\x0a\xff"
OLD = b"an index left by an earlier run"
BIG, BIG_LINES = many(4400)
KEEP = object()  # the index must be left as the case found it
ANY = object()   # the index is not checked

# Each case: what it proves, the files its folder starts with (a value of
# ("link", target) makes a symbolic link, ("dir",) a folder, ("sparse", head,
# size, tail) a file of that size with a hole between its head and tail), the arguments,
# the expected standard output, exit status and index (bytes; None for no
# index; KEEP; ANY), and optionally bytes for a pipe as /dev/stdin. Options
# of a case: pipe may be a list of chunks, written a pause apart; held keeps
# the pipe open after the last chunk until the program ends; sigint=S
# interrupts the program after S seconds; quits=N closes
# the report after its first N bytes, which are all that is compared; closed
# lists the descriptors that the program starts without; timeout (seconds)
# caps the run. Cases marked posix_only need what only POSIX has;
# windows_only ones need the console runtime to expand wildcards.
CASES = [
    dict(name="example",
         why="the example listing: whole, shortened, unmatched names, codes 10 and 255",
         files={"listado.txt": EXAMPLE}, args=["listado.txt"],
         out=EXAMPLE_OUT, status=0, index=EXAMPLE_IDX),
    dict(name="pipe", why="a pipe reads the same as the file", pipe=EXAMPLE, args=["/dev/stdin"],
         out=EXAMPLE_OUT, status=0, index=EXAMPLE_IDX, posix_only=True),
    dict(name="slow-pipe", why="a pipe is read to its end, however slowly it comes",
         pipe=[THREE, b"(VOC00004) gz: c\n"], args=["/dev/stdin"],
         out=report((1, b"dune", 8), (2, b"fisomar", 10), (3, b"nadie", 255), (4, b"gz", 17)),
         status=0, index=b"\x08\x0a\xff\x11", posix_only=True),
    dict(name="held-pipe",
         why="a pipe held open inside the last line the limit takes ends the run at once",
         pipe=many(4394)[0][:-2], held=True, timeout=20, args=["/dev/stdin"],
         out=report(*BIG_LINES[:4394]), status=0, index=codes(4394),
         posix_only=True),
    dict(name="interrupted", why="a run interrupted while it waits keeps its report and index",
         pipe=THREE, held=True, sigint=2, args=["/dev/stdin"], out=THREE_OUT[:-len(DONE)],
         status=-signal.SIGINT, index=THREE_IDX, posix_only=True),
    dict(name="size-zero", why="a listing whose size reads 0 (/proc) is read to its end",
         files={"(VOC00001) dune: a\n(VOC00002) gz: b\n": ("link", "/proc/self/cmdline")},
         args=["(VOC00001) dune: a\n(VOC00002) gz: b\n"],
         out=report((1, b"dune", 8), (2, b"gz", 17)), status=0, index=b"\x08\x11",
         posix_only=True),
    # Standard streams.
    dict(name="reader-quits",
         why="a report reader that goes away costs neither the index nor the status",
         files={"big.txt": BIG}, args=["big.txt"], quits=16, out=BANNER[:16], status=0,
         index=codes(4394), posix_only=True),
    dict(name="closed-stdio",
         why="closed standard input and output: the report never reaches the index",
         files={"a.txt": many(300)[0]}, args=["a.txt"], closed=(0, 1), out=b"", status=0,
         index=codes(300), posix_only=True),
    # The command line; nothing may touch an existing index.
    dict(name="no-argument", why="no argument", files={INDEX: OLD}, args=[],
         out=BANNER + NO_FILE, status=1, index=KEEP),
    dict(name="two-arguments", why="two arguments",
         files={"a.txt": THREE, INDEX: OLD}, args=["a.txt", "a.txt"],
         out=BANNER + TOO_MANY, status=1, index=KEEP),
    dict(name="three-arguments", why="three arguments, none of them a file",
         files={}, args=["x", "y", "z"],
         out=BANNER + TOO_MANY, status=1, index=None),
    dict(name="missing", why="a listing that does not exist",
         files={INDEX: OLD}, args=["no esta.txt"],
         out=BANNER + not_found("no esta.txt"), status=1, index=KEEP),
    # Names beyond ASCII open as they are; Windows shows them in its ANSI code page.
    dict(name="latin1-name", why="a listing named with a Latin-1 letter",
         files={"a\u00f1o.txt": THREE}, args=["a\u00f1o.txt"],
         out=THREE_OUT, status=0, index=THREE_IDX),
    dict(name="greek-name", why="a listing named in Greek",
         files={"\u03bb\u03cc\u03b3\u03b9\u03b1.txt": THREE},
         args=["\u03bb\u03cc\u03b3\u03b9\u03b1.txt"],
         out=THREE_OUT, status=0, index=THREE_IDX),
    dict(name="cjk-name", why="a listing named in CJK characters",
         files={"\u53f0\u8a5e.txt": THREE}, args=["\u53f0\u8a5e.txt"],
         out=THREE_OUT, status=0, index=THREE_IDX),
    dict(name="missing-latin1-name",
         why="a missing listing's Latin-1 letter prints as its code page 1252 byte",
         files={}, args=["a\u00f1o.txt"], out=BANNER + not_found("a\u00f1o.txt", "cp1252"),
         status=1, index=None, windows_only=True),
    dict(name="directory", why="a directory as the listing",
         files={"dir": ("dir",), INDEX: OLD}, args=["dir"],
         out=BANNER + not_found("dir"), status=1, index=KEEP),
    dict(name="wildcard-one", why="a wildcard matching one listing runs it",
         files={"a.txt": THREE, "b.dat": b""},
         args=["*.txt"], out=THREE_OUT, status=0, index=THREE_IDX, windows_only=True),
    dict(name="wildcard-two", why="a wildcard matching two listings is two arguments",
         files={"a.txt": THREE, "b.txt": THREE}, args=["*.txt"],
         out=BANNER + TOO_MANY, status=1, index=None, windows_only=True),
    # The index.
    dict(name="truncated", why="an existing index is truncated; one byte per entry",
         files={"a.txt": THREE, INDEX: OLD * 10}, args=["a.txt"],
         out=THREE_OUT, status=0, index=THREE_IDX),
    dict(name="unwritable", why="an index that cannot be written fails, with no completion line",
         files={"listado.txt": EXAMPLE, INDEX: ("link", "/dev/full")}, args=["listado.txt"],
         out=EXAMPLE_OUT[:-len(DONE)] + NO_WRITE, status=1, index=ANY, posix_only=True),
    dict(name="unwritable-pipe", why="through a pipe, the index's first failed write ends the run",
         pipe=THREE, files={INDEX: ("link", "/dev/full")}, args=["/dev/stdin"],
         out=BANNER + line(1, b"dune", 8) + NO_WRITE, status=1, index=ANY, posix_only=True),
    dict(name="index-is-folder", why="an index that cannot be created",
         files={"a.txt": THREE, INDEX: ("dir",)}, args=["a.txt"],
         out=BANNER + NO_INDEX, status=1, index=KEEP),
    dict(name="report-is-index", why="a report sent into the index (> tolvkvoc.) is refused",
         files={"a.txt": THREE, INDEX: ("link", "/dev/stdout")}, args=["a.txt"],
         out=BANNER + NO_INDEX, status=1, index=ANY, posix_only=True),
    dict(name="listing-is-index", why="a listing named like the index is never truncated",
         files={INDEX: THREE}, args=[INDEX], out=BANNER + NO_INDEX, status=1, index=KEEP),
    dict(name="index-links-listing", why="an index that links to the listing is never truncated",
         files={"a.txt": THREE, INDEX: ("link", "a.txt")}, args=["a.txt"],
         out=BANNER + NO_INDEX, status=1, index=KEEP, posix_only=True),
    dict(name="read-error", why="a read error is reported, with no completion line",
         files={}, args=["/proc/self/mem"],
         out=BANNER + b"\n\rNo puedo leer /proc/self/mem\n\r", status=1, index=b"",
         posix_only=True),
    # The entry limit.
    dict(name="limit", why="4394 entries at most", files={"big.txt": BIG}, args=["big.txt"],
         out=report(*BIG_LINES[:4394]), status=0, index=codes(4394)),
    dict(name="limit-exact", why="exactly 4394 entries: all of them",
         files={"big.txt": many(4394)[0]},
         args=["big.txt"], out=report(*BIG_LINES[:4394]), status=0,
         index=codes(4394)),
    dict(name="limit-pipe", why="the limit holds through a pipe too", pipe=BIG, args=["/dev/stdin"],
         out=report(*BIG_LINES[:4394]), status=0, index=codes(4394),
         posix_only=True),
    dict(name="over-4gib", why="a listing over 4 GiB is read whole", slow=True,
         files={"big.txt": ("sparse", b"(VOC00001) dune: a\n", 2**32 + 4, b"(VOC00002) gz: b\n")},
         args=["big.txt"], out=report((1, b"dune", 8), (2, b"gz", 17)), status=0,
         index=b"\x08\x11"),
    # The end of the listing.
    dict(name="empty", why="an empty listing", files={"e.txt": b""}, args=["e.txt"],
         out=report(), status=0, index=b""),
    dict(name="no-entry", why="a listing with no entry", files={"e.txt": b"TITULO\r\n\r\nnada\r\n"},
         args=["e.txt"], out=report(), status=0, index=b""),
    dict(name="no-last-line-feed", why="the last entry without its line feed keeps its byte",
         files={"a.txt": THREE[:-1]}, args=["a.txt"],
         out=THREE_OUT, status=0, index=THREE_IDX),
    dict(name="cut-in-name", why="an entry cut short inside its name gets no byte",
         files={"a.txt": THREE + b"(VOC00004) du"}, args=["a.txt"],
         out=THREE_OUT, status=0, index=THREE_IDX),
    dict(name="cut-in-digits", why="an entry cut short inside its digits gets no byte",
         files={"a.txt": THREE + b"\r\n(VOC0"}, args=["a.txt"],
         out=THREE_OUT, status=0, index=THREE_IDX),
    dict(name="text-after", why="text after the last entry",
         files={"a.txt": THREE + b"FIN\r\n\r\n"}, args=["a.txt"],
         out=THREE_OUT, status=0, index=THREE_IDX),
    dict(name="name-window", why="a nine-byte name prints whole; an empty one gives 48",
         files={"a.txt": b"(VOC00007) holdavenx: a\n(VOC00008) : b\n"}, args=["a.txt"],
         out=report((7, b"holdavenx", 255), (8, b"", 48)), status=0, index=b"\xff\x30"),
]


def make(folder, files, index):
    for name, content in files.items():
        path = folder / (index if name == INDEX else name)
        if isinstance(content, tuple) and content[0] == "link":
            path.symlink_to(content[1])
        elif isinstance(content, tuple) and content[0] == "sparse":
            with open(path, "wb") as f:
                f.write(content[1])
                f.seek(content[2] - len(content[3]))
                f.write(content[3])
        elif isinstance(content, tuple):
            path.mkdir()
        else:
            path.write_bytes(content)


def feed(w, chunks, held, ended):
    """Writes a case's pipe, a pause between chunks; a held pipe stays open
    until the program has ended."""
    with open(w, "wb") as f:
        try:
            for i, chunk in enumerate(chunks):
                time.sleep(0.5 if i else 0)
                f.write(chunk)
                f.flush()
            if held:
                ended.wait(120)
        except BrokenPipeError:
            pass  # the program had all it wanted


def start(cmd, folder, case, timeout, env):
    """Runs cmd as the case says; returns its output, error output, status
    and whether it outlived its time."""
    pipe = case.get("pipe", [])
    chunks = [pipe] if isinstance(pipe, bytes) else pipe
    closed = case.get("closed", ())
    r, w = os.pipe()
    proc = subprocess.Popen(cmd, cwd=folder, stdin=r, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, env=env,
                            preexec_fn=lambda: [os.close(fd) for fd in closed])
    os.close(r)
    ended = threading.Event()
    writer = threading.Thread(target=feed, args=(w, chunks, case.get("held"), ended))
    writer.start()
    head = None
    if "quits" in case:
        head = proc.stdout.read(case["quits"])
        proc.stdout.close()
    hung = False
    try:
        out, err = proc.communicate(timeout=case.get("sigint", timeout))
    except subprocess.TimeoutExpired:
        hung = "sigint" not in case
        proc.send_signal(signal.SIGKILL if hung else signal.SIGINT)
        out, err = proc.communicate()
    ended.set()
    writer.join()
    return (out if head is None else head), err, proc.returncode, hung


def check(case, folder, program, prefix, windows, timeout):
    """Runs one case in folder; returns what went wrong."""
    # Windows drops the trailing dot of a file name.
    iname = INDEX.rstrip(".") if windows else INDEX
    out = case["out"].replace(b"\n", b"\r\n") if windows else case["out"]
    make(folder, case.get("files", {}), iname)
    index = folder / iname
    before = index.read_bytes() if index.is_file() else None
    # Wine maps file names to UTF-16 through the locale.
    env = dict(os.environ, LC_ALL="C.UTF-8") if windows else None
    timeout = case.get("timeout", timeout)
    stdout, stderr, status, hung = start(prefix + [program] + case["args"], folder, case,
                                         timeout, env)
    faults = ["still running after %s s" % timeout] if hung else []
    if stdout != out:
        faults.append("stdout differs:\n  want %r\n  got  %r" % (out[-300:], stdout[-300:]))
    # An emulator's own notes (Wine making its prefix) are not the program's.
    stderr = b"".join(l for l in stderr.splitlines(True)
                      if not (prefix and l.startswith(b"wine")))
    if stderr:
        faults.append("wrote to stderr: %r" % stderr[:300])
    if status != case["status"]:
        faults.append("status %d, want %d" % (status, case["status"]))
    want = before if case["index"] is KEEP else case["index"]
    if want is not ANY:
        got = index.read_bytes() if index.is_file() else None
        if got != want:
            faults.append("index differs:\n  want %r\n  got  %r" % (
                want if want is None else want[:80], got if got is None else got[:80]))
    for name, content in case.get("files", {}).items():
        if isinstance(content, bytes) and name != INDEX and \
                (folder / name).read_bytes() != content:
            faults.append("%s was changed" % name)
    return faults


def write_corpus(folder):
    """Seeds for the listing fuzzer: each case's listings, and the shortest
    entries past the limit, small enough for the fuzzer's input size."""
    folder.mkdir(parents=True, exist_ok=True)
    seeds = [b"(VOC00000) :\n" * 4400]
    for case in CASES:
        seeds += [c for c in case.get("files", {}).values() if isinstance(c, bytes)]
        pipe = case.get("pipe", [])
        seeds += [pipe] if isinstance(pipe, bytes) else [b"".join(pipe)] if pipe else []
    for i, seed in enumerate(s for s in seeds if len(s) <= 65536):
        (folder / ("seed%02d" % i)).write_bytes(seed)
    return 0


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--exec", default="", help="command to run the program under")
    ap.add_argument("--windows", action="store_true", help="the program is the Windows build")
    ap.add_argument("--timeout", type=float, default=120,
                    help="seconds a case may take before it counts as hung")
    ap.add_argument("--corpus", metavar="DIR",
                    help="write every case's listing to DIR as a fuzzing seed, and stop")
    ap.add_argument("--list", action="store_true",
                    help="print the names of the cases that apply, with their labels, and stop")
    ap.add_argument("--case", action="append", metavar="NAME", help="run this case only")
    ap.add_argument("--keep", action="store_true", help="keep each case's scratch folder")
    ap.add_argument("program", nargs="?")
    opts = ap.parse_args()
    if opts.corpus:
        return write_corpus(Path(opts.corpus))
    skip = "posix_only" if opts.windows else "windows_only"
    cases = [c for c in CASES if not c.get(skip)]
    if opts.list:
        for case in cases:
            print(case["name"] + (" slow" if case.get("slow") else ""))
        return 0
    if opts.case:
        unknown = set(opts.case) - {c["name"] for c in cases}
        if unknown:
            ap.error("no such case here: %s" % ", ".join(sorted(unknown)))
        cases = [c for c in cases if c["name"] in opts.case]
    if not opts.program:
        ap.error("the program is required")
    program = os.path.abspath(opts.program)
    prefix = shlex.split(opts.exec)
    passed = failed = 0
    for case in cases:
        folder = Path(tempfile.mkdtemp(prefix="tolvek-%s-" % case["name"]))
        try:
            faults = check(case, folder, program, prefix, opts.windows, opts.timeout)
        finally:
            if not opts.keep:
                shutil.rmtree(folder)
        print("%s %s: %s" % ("FAIL" if faults else "ok", case["name"], case["why"]))
        if opts.keep:
            print("  kept " + str(folder))
        for f in faults:
            print("  " + f)
        failed += bool(faults)
        passed += not faults
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
