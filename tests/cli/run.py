#!/usr/bin/env python3
"""End-to-end cases for tolvekpre.

Each case runs the built program in a scratch folder of its own and compares
its standard output, its exit status and the index file it leaves byte for
byte; --help tells the options.

--list prints the names of the cases that apply, each followed by its
labels ("slow" for the listing over 4 GiB), for CTest to make a test of
each; --case runs the named cases only; --keep leaves their scratch folders.

With --windows the program is the Windows build: the expected output has
every line feed turned into carriage return and line feed, as the console
runtime writes it, and the index shows without its trailing dot.

No wait is without a limit: a program still running when its case's time
is up, or GRACE seconds after it was interrupted, is killed and reported.
"""
import argparse
import fcntl
import os
import re
import resource
import select
import shlex
import shutil
import signal
import stat
import subprocess
import sys
import tempfile
import threading
import time
from collections import namedtuple
from dataclasses import dataclass, field
from pathlib import Path
from typing import Optional, Union

TOP = Path(__file__).resolve().parents[2]
EXAMPLES = TOP / "examples"
# The reader's block size, from its header, so that rows at its boundary follow it.
BLOCK = int(re.search(r"bloque = (\d+);", (TOP / "src" / "listing.h").read_text()).group(1))
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
# Seconds a program may take to end once interrupted or killed.
GRACE = 10


# What a case's folder may hold besides plain files.
Link = namedtuple("Link", "target")  # a symbolic link to target
Folder = namedtuple("Folder", "")  # an empty folder
Fifo = namedtuple("Fifo", "")  # a named pipe, fed the case's pipe in place of standard input
Sparse = namedtuple("Sparse", "head size tail")  # size bytes: head, a hole, then tail

# Where a case runs: on both platforms, on Windows only, or, named by the one
# word for what of POSIX its set-up needs, on POSIX only. Those words: stdin
# (no Windows name reads a redirected standard input), /proc (a file whose
# size reads 0), /dev/stdout (a name for the report's file), descriptors
# (closed at the start), rlimit (a file size limit, which kills Wine itself),
# flock (the runner's lock, which Windows sharing does not see) and umask.
BOTH = "both"
WINDOWS = "windows"  # needs Windows: its wildcards, its ANSI code page, its pipe names
POSIX = {"stdin", "/proc", "/dev/stdout", "descriptors", "rlimit", "flock", "umask"}


@dataclass(frozen=True)
class Case:
    """One end-to-end case. A key that is not a field here fails at once."""
    name: str  # the case's name, and its CTest test's: cli.NAME
    why: str  # what it proves
    args: list  # the program's arguments
    out: bytes  # the expected standard output, as the POSIX program writes it
    status: int  # the expected exit status; -N for death by signal N
    index: object  # the expected index: bytes, None for no index, KEEP or ANY
    # What the folder starts with: file names and their bytes, a Link, a
    # Folder, a Sparse file or a Fifo.
    files: dict = field(default_factory=dict)
    # Bytes for a pipe as standard input, or a list of chunks written 0.5 s apart.
    pipe: Union[bytes, list] = b""
    held: bool = False  # the pipe stays open after its last chunk until the program ends
    sigint: Optional[float] = None  # seconds after which the program is interrupted
    quits: Optional[int] = None  # the report is closed after this many bytes, all that is compared
    closed: tuple = ()  # the descriptors the program starts without
    fsize: Optional[int] = None  # the program's file size limit in bytes; None: none
    locked: bool = False  # the runner holds the index as a reader does (flock -s) meanwhile
    # A second run's arguments, started in the folder once the first has
    # written its first index byte, and refused while the first runs on.
    rival: Optional[list] = None
    umask: Optional[int] = None  # the program's umask; a new index is then 0666 less it
    timeout: Optional[float] = None  # seconds the run may take; None: the runner's --timeout
    runs: str = BOTH  # BOTH, WINDOWS, or a word of POSIX
    slow: bool = False  # labelled "slow", for the listing over 4 GiB

    def __post_init__(self):
        if self.runs not in (BOTH, WINDOWS) and self.runs not in POSIX:
            raise ValueError("case %s: runs=%r" % (self.name, self.runs))


CASES = [
    Case(name="example",
         why="the example listing: whole, shortened, unmatched names, codes 10 and 255",
         files={"listado.txt": EXAMPLE}, args=["listado.txt"],
         out=EXAMPLE_OUT, status=0, index=EXAMPLE_IDX),
    Case(name="pipe", why="a pipe reads the same as the file", pipe=EXAMPLE, args=["/dev/stdin"],
         out=EXAMPLE_OUT, status=0, index=EXAMPLE_IDX, runs="stdin"),
    Case(name="slow-pipe", why="a pipe is read to its end, however slowly it comes",
         pipe=[THREE, b"(VOC00004) gz: c\n"], args=["/dev/stdin"],
         out=report((1, b"dune", 8), (2, b"fisomar", 10), (3, b"nadie", 255), (4, b"gz", 17)),
         status=0, index=b"\x08\x0a\xff\x11", runs="stdin"),
    Case(name="held-pipe",
         why="a pipe held open inside the last line the limit takes ends the run at once",
         pipe=many(4394)[0][:-2], held=True, timeout=20, args=["/dev/stdin"],
         out=report(*BIG_LINES[:4394]), status=0, index=codes(4394),
         runs="stdin"),
    Case(name="interrupted", why="a run interrupted while it waits keeps its report and index",
         pipe=THREE, held=True, sigint=2, args=["/dev/stdin"], out=THREE_OUT[:-len(DONE)],
         status=-signal.SIGINT, index=THREE_IDX, runs="stdin"),
    Case(name="banner-first", why="a run interrupted before its first entry keeps its banner",
         pipe=b"", held=True, sigint=1, args=["/dev/stdin"], out=BANNER,
         status=-signal.SIGINT, index=b"", runs="stdin"),
    # A link to /proc/self/cmdline reads as the program's command line: the
    # listing is named after its own text.
    Case(name="size-zero", why="a listing whose size reads 0 (/proc) is read to its end",
         files={"(VOC00001) dune: a\n(VOC00002) gz: b\n": Link("/proc/self/cmdline")},
         args=["(VOC00001) dune: a\n(VOC00002) gz: b\n"],
         out=report((1, b"dune", 8), (2, b"gz", 17)), status=0, index=b"\x08\x11",
         runs="/proc"),
    # Standard streams.
    Case(name="reader-quits",
         why="a report reader that goes away costs neither the index nor the status",
         files={"big.txt": BIG}, args=["big.txt"], quits=16, out=BANNER[:16], status=0,
         index=codes(4394)),
    Case(name="closed-stdio",
         why="closed standard input and output: the report never reaches the index",
         files={"a.txt": many(300)[0]}, args=["a.txt"], closed=(0, 1), out=b"", status=0,
         index=codes(300), runs="descriptors"),
    # The command line; nothing may touch an existing index.
    Case(name="no-argument", why="no argument", files={INDEX: OLD}, args=[],
         out=BANNER + NO_FILE, status=1, index=KEEP),
    Case(name="two-arguments", why="two arguments",
         files={"a.txt": THREE, INDEX: OLD}, args=["a.txt", "a.txt"],
         out=BANNER + TOO_MANY, status=1, index=KEEP),
    Case(name="three-arguments", why="three arguments, none of them a file",
         args=["x", "y", "z"],
         out=BANNER + TOO_MANY, status=1, index=None),
    Case(name="missing", why="a listing that does not exist",
         files={INDEX: OLD}, args=["no esta.txt"],
         out=BANNER + not_found("no esta.txt"), status=1, index=KEEP),
    # Names beyond ASCII open as they are; Windows shows them in its ANSI code page.
    Case(name="latin1-name", why="a listing named with a Latin-1 letter",
         files={"a\u00f1o.txt": THREE}, args=["a\u00f1o.txt"],
         out=THREE_OUT, status=0, index=THREE_IDX),
    Case(name="greek-name", why="a listing named in Greek",
         files={"\u03bb\u03cc\u03b3\u03b9\u03b1.txt": THREE},
         args=["\u03bb\u03cc\u03b3\u03b9\u03b1.txt"],
         out=THREE_OUT, status=0, index=THREE_IDX),
    Case(name="cjk-name", why="a listing named in CJK characters",
         files={"\u53f0\u8a5e.txt": THREE}, args=["\u53f0\u8a5e.txt"],
         out=THREE_OUT, status=0, index=THREE_IDX),
    Case(name="missing-latin1-name",
         why="a missing listing's Latin-1 letter prints as its code page 1252 byte",
         args=["a\u00f1o.txt"], out=BANNER + not_found("a\u00f1o.txt", "cp1252"),
         status=1, index=None, runs=WINDOWS),
    Case(name="directory", why="a directory as the listing",
         files={"dir": Folder(), INDEX: OLD}, args=["dir"],
         out=BANNER + not_found("dir"), status=1, index=KEEP),
    Case(name="pipe-root", why="the pipe file system's root, which is no file",
         files={INDEX: OLD}, args=["\\\\.\\pipe\\"],
         out=BANNER + not_found("\\\\.\\pipe\\"), status=1, index=KEEP, runs=WINDOWS),
    Case(name="wildcard-one", why="a wildcard matching one listing runs it",
         files={"a.txt": THREE, "b.dat": b""},
         args=["*.txt"], out=THREE_OUT, status=0, index=THREE_IDX, runs=WINDOWS),
    Case(name="wildcard-two", why="a wildcard matching two listings is two arguments",
         files={"a.txt": THREE, "b.txt": THREE}, args=["*.txt"],
         out=BANNER + TOO_MANY, status=1, index=None, runs=WINDOWS),
    # The index.
    Case(name="truncated", why="an existing index is truncated; one byte per entry",
         files={"a.txt": THREE, INDEX: OLD * 10}, args=["a.txt"],
         out=THREE_OUT, status=0, index=THREE_IDX),
    Case(name="unwritable",
         why="an index that cannot be written fails, with no completion line, even where the "
             "runtime's close hides its own failed flush (no code 10 to flush it earlier)",
         files={"a.txt": THREE[:21], INDEX: Link("/dev/full")}, args=["a.txt"],
         out=BANNER + line(1, b"dune", 8) + NO_WRITE, status=1, index=ANY),
    Case(name="file-size-limit", why="a file size limit fails the index's write, as a full disk",
         files={"a.txt": many(1200)[0]}, args=["a.txt"], fsize=1024,
         out=report(*many(1200)[1])[:-len(DONE)] + NO_WRITE, status=1, index=codes(1024),
         runs="rlimit"),
    Case(name="unwritable-whole-report",
         why="an index that cannot be written fails after the whole report, on every runtime",
         files={"big.txt": BIG, INDEX: Link("/dev/full")}, args=["big.txt"],
         out=report(*BIG_LINES[:4394])[:-len(DONE)] + NO_WRITE, status=1, index=ANY),
    Case(name="unwritable-pipe", why="through a pipe, the index's first failed write ends the run",
         pipe=THREE, files={INDEX: Link("/dev/full")}, args=["/dev/stdin"],
         out=BANNER + line(1, b"dune", 8) + NO_WRITE, status=1, index=ANY, runs="stdin"),
    Case(name="locked", why="an index that a reader holds against writers is left to it",
         files={"a.txt": THREE, INDEX: OLD}, args=["a.txt"], locked=True,
         out=BANNER + NO_INDEX, status=1, index=KEEP, runs="flock"),
    Case(name="second-run", why="a second run in the folder is refused while the first writes on",
         files={"l": Fifo(), "a.txt": THREE}, pipe=[THREE, b"(VOC00004) gz: c\n"], args=["l"],
         rival=["a.txt"], out=report((1, b"dune", 8), (2, b"fisomar", 10), (3, b"nadie", 255),
                                     (4, b"gz", 17)), status=0, index=b"\x08\x0a\xff\x11"),
    Case(name="index-mode", why="a new index is a data file, 0666 less the umask",
         files={"a.txt": THREE}, args=["a.txt"], umask=0o002,
         out=THREE_OUT, status=0, index=THREE_IDX, runs="umask"),
    Case(name="index-is-folder", why="an index that cannot be created",
         files={"a.txt": THREE, INDEX: Folder()}, args=["a.txt"],
         out=BANNER + NO_INDEX, status=1, index=KEEP),
    Case(name="report-is-index", why="a report sent into the index (> tolvkvoc.) is refused",
         files={"a.txt": THREE, INDEX: Link("/dev/stdout")}, args=["a.txt"],
         out=BANNER + NO_INDEX, status=1, index=ANY, runs="/dev/stdout"),
    Case(name="listing-is-index", why="a listing named like the index is never truncated",
         files={INDEX: THREE}, args=[INDEX], out=BANNER + NO_INDEX, status=1, index=KEEP),
    Case(name="index-links-listing", why="an index that links to the listing is never truncated",
         files={"a.txt": THREE, INDEX: Link("a.txt")}, args=["a.txt"],
         out=BANNER + NO_INDEX, status=1, index=KEEP),
    Case(name="read-error", why="a read error is reported, with no completion line",
         args=["/proc/self/mem"],
         out=BANNER + b"\n\rNo puedo leer /proc/self/mem\n\r", status=1, index=b""),
    # The entry limit.
    Case(name="limit", why="4394 entries at most", files={"big.txt": BIG}, args=["big.txt"],
         out=report(*BIG_LINES[:4394]), status=0, index=codes(4394)),
    Case(name="limit-exact", why="exactly 4394 entries: all of them",
         files={"big.txt": many(4394)[0]},
         args=["big.txt"], out=report(*BIG_LINES[:4394]), status=0,
         index=codes(4394)),
    Case(name="limit-pipe", why="the limit holds through a pipe too", pipe=BIG, args=["/dev/stdin"],
         out=report(*BIG_LINES[:4394]), status=0, index=codes(4394),
         runs="stdin"),
    Case(name="over-4gib", why="a listing over 4 GiB is read whole", slow=True,
         files={"big.txt": Sparse(b"(VOC00001) dune: a\n", 2**32 + 4, b"(VOC00002) gz: b\n")},
         args=["big.txt"], out=report((1, b"dune", 8), (2, b"gz", 17)), status=0,
         index=b"\x08\x11"),
    # The end of the listing.
    Case(name="empty", why="an empty listing", files={"e.txt": b""}, args=["e.txt"],
         out=report(), status=0, index=b""),
    Case(name="no-entry", why="a listing with no entry", files={"e.txt": b"TITULO\r\n\r\nnada\r\n"},
         args=["e.txt"], out=report(), status=0, index=b""),
    Case(name="no-last-line-feed", why="the last entry without its line feed keeps its byte",
         files={"a.txt": THREE[:-1]}, args=["a.txt"],
         out=THREE_OUT, status=0, index=THREE_IDX),
    Case(name="cut-in-name", why="an entry cut short inside its name gets no byte",
         files={"a.txt": THREE + b"(VOC00004) du"}, args=["a.txt"],
         out=THREE_OUT, status=0, index=THREE_IDX),
    Case(name="cut-in-digits", why="an entry cut short inside its digits gets no byte",
         files={"a.txt": THREE + b"\r\n(VOC0"}, args=["a.txt"],
         out=THREE_OUT, status=0, index=THREE_IDX),
    Case(name="last-block-byte", why="a last read of one byte at the size is not the end",
         files={"a.txt": (b"x" * BLOCK + b"\n(VOC00001) afo:")[-BLOCK - 1:]}, args=["a.txt"],
         out=report((1, b"afo", 0)), status=0, index=b"\x00"),
    Case(name="text-after", why="text after the last entry",
         files={"a.txt": THREE + b"FIN\r\n\r\n"}, args=["a.txt"],
         out=THREE_OUT, status=0, index=THREE_IDX),
    Case(name="name-window", why="a nine-byte name prints whole; an empty one gives 48",
         files={"a.txt": b"(VOC00007) holdavenx: a\n(VOC00008) : b\n"}, args=["a.txt"],
         out=report((7, b"holdavenx", 255), (8, b"", 48)), status=0, index=b"\xff\x30"),
]


def make(folder, files, index):
    for name, content in files.items():
        path = folder / (index if name == INDEX else name)
        if isinstance(content, Link):
            path.symlink_to(content.target)
        elif isinstance(content, Sparse):
            with open(path, "wb") as f:
                f.write(content.head)
                f.seek(content.size - len(content.tail))
                f.write(content.tail)
        elif isinstance(content, Folder):
            path.mkdir()
        elif isinstance(content, Fifo):
            os.mkfifo(path)
        else:
            path.write_bytes(content)


def feed(w, chunks, held, ended, limit, paused):
    """Writes a case's pipe, a pause between chunks, the first one until
    paused is set; a held pipe stays open until the program has ended, or for
    limit seconds at most."""
    with open(w, "wb") as f:
        try:
            for i, chunk in enumerate(chunks):
                if i == 1:
                    paused.wait(limit)
                time.sleep(0.5 if i else 0)
                f.write(chunk)
                f.flush()
            if held:
                ended.wait(limit)
        except BrokenPipeError:
            pass  # the program had all it wanted


def head(pipe, n, deadline):
    """The first n bytes from pipe, or fewer if it ends or the deadline passes."""
    got = b""
    while len(got) < n:
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([pipe], [], [], left)[0]:
            break
        chunk = os.read(pipe.fileno(), n - len(got))
        if not chunk:
            break
        got += chunk
    return got


def finish(proc, seconds):
    """The program's output and error output once it has ended, or None if it
    is still running after seconds."""
    try:
        return proc.communicate(timeout=seconds)
    except subprocess.TimeoutExpired:
        return None


def kill(proc, sig):
    """Sends sig to the program's group, if anything of it is left."""
    try:
        os.killpg(proc.pid, sig)
    except ProcessLookupError:
        pass


def prepare(case):
    """Sets up the child as the case says, just before it runs the program."""
    for fd in case.closed:
        os.close(fd)
    if case.fsize is not None:
        resource.setrlimit(resource.RLIMIT_FSIZE, (case.fsize, case.fsize))
    if case.umask is not None:
        os.umask(case.umask)


def differ(what, want, got):
    """Where got first differs from want, with the bytes around it."""
    if want is None or got is None:
        return "%s differs:\n  want %r\n  got  %r" % (what, want, got)
    at = next((i for i, (a, b) in enumerate(zip(want, got)) if a != b), min(len(want), len(got)))
    lo = max(0, at - 40)
    return "%s differs at byte %d (want %d bytes, got %d):\n  want %r\n  got  %r" % (
        what, at, len(want), len(got), want[lo:at + 40], got[lo:at + 40])


def contest(cmd, folder, index, env, deadline):
    """Runs cmd to its end once index holds a byte; returns its output and status."""
    while time.monotonic() < deadline and not (index.is_file() and index.stat().st_size):
        time.sleep(0.05)
    got = subprocess.run(cmd, cwd=folder, stdin=subprocess.DEVNULL, capture_output=True,
                         env=env, timeout=max(1, deadline - time.monotonic()))
    return got.stdout, got.returncode


def start(cmd, folder, index, case, timeout, env):
    """Runs cmd as the case says; returns its output, error output, status,
    what went wrong with the run itself, and the rival's output and status."""
    chunks = [case.pipe] if isinstance(case.pipe, bytes) else case.pipe
    fifo = [folder / n for n, c in case.files.items() if isinstance(c, Fifo)]
    r, w = (subprocess.DEVNULL, str(fifo[0])) if fifo else os.pipe()
    # A group of its own, so that a signal reaches whatever the program (or an
    # emulator) starts, as Ctrl-C at a terminal would.
    proc = subprocess.Popen(cmd, cwd=folder, stdin=r, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, env=env, start_new_session=True,
                            preexec_fn=lambda: prepare(case))
    if not fifo:
        os.close(r)
    ended, paused = threading.Event(), threading.Event()
    writer = threading.Thread(target=feed, daemon=True,
                              args=(w, chunks, case.held, ended, timeout + GRACE, paused))
    writer.start()
    wait = timeout if case.sigint is None else case.sigint
    deadline = time.monotonic() + wait
    rival = None
    if case.rival is not None:
        rival = contest(cmd[:len(cmd) - len(case.args)] + case.rival, folder, index, env,
                        deadline)
    paused.set()
    first = None
    if case.quits is not None:
        first = head(proc.stdout, case.quits, deadline)
        proc.stdout.close()
    faults = []
    got = finish(proc, max(0, deadline - time.monotonic()))
    if got is None and case.sigint is not None:
        kill(proc, signal.SIGINT)
        got = finish(proc, GRACE)
        if got is None:
            faults.append("still running %s s after SIGINT" % GRACE)
    elif got is None:
        faults.append("still running after %s s" % timeout)
    if got is None:
        kill(proc, signal.SIGKILL)
        got = finish(proc, GRACE) or (b"", b"")
    ended.set()
    writer.join(GRACE)
    out, err = got
    return (out if first is None else first), err, proc.returncode, faults, rival


def check(case, folder, program, prefix, windows, timeout):
    """Runs one case in folder; returns what went wrong."""
    # Windows drops the trailing dot of a file name.
    iname = INDEX.rstrip(".") if windows else INDEX
    def console(b):  # what the runtime makes of the program's bytes
        return b.replace(b"\n", b"\r\n") if windows else b
    out = console(case.out)
    make(folder, case.files, iname)
    index = folder / iname
    before = index.read_bytes() if index.is_file() else None
    # Wine maps file names to UTF-16 through the locale.
    env = dict(os.environ, LC_ALL="C.UTF-8") if windows else None
    timeout = case.timeout or timeout
    lock = open(index, "rb") if case.locked else None  # held until check returns
    if lock:
        fcntl.flock(lock, fcntl.LOCK_SH)
    stdout, stderr, status, faults, rival = start(prefix + [program] + case.args, folder, index,
                                                  case, timeout, env)
    if stdout != out:
        faults.append(differ("stdout", out, stdout))
    if case.rival is not None and rival != (console(BANNER + NO_INDEX), 1):
        faults.append("the second run gave %r, not its refusal" % (rival,))
    # An emulator's own notes (Wine making its prefix) are not the program's.
    stderr = b"".join(l for l in stderr.splitlines(True)
                      if not (prefix and l.startswith(b"wine")))
    if stderr:
        faults.append("wrote to stderr: %r" % stderr[:300])
    if status != case.status:
        faults.append("status %s, want %d" % (status, case.status))
    want = before if case.index is KEEP else case.index
    if want is not ANY:
        got = index.read_bytes() if index.is_file() else None
        if got != want:
            faults.append(differ("index", want, got))
    if case.umask is not None:
        mode = index.lstat().st_mode
        if not stat.S_ISREG(mode) or stat.S_IMODE(mode) != 0o666 & ~case.umask:
            faults.append("index mode %o, want a file of %o" % (mode, 0o666 & ~case.umask))
    for name, content in case.files.items():
        if isinstance(content, bytes) and name != INDEX and \
                (folder / name).read_bytes() != content:
            faults.append("%s was changed" % name)
    return faults


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--exec", default="", help="command to run the program under")
    ap.add_argument("--windows", action="store_true", help="the program is the Windows build")
    ap.add_argument("--timeout", type=float, default=120,
                    help="seconds a case may take before it counts as hung")
    ap.add_argument("--list", action="store_true",
                    help="print the names of the cases that apply, with their labels, and stop")
    ap.add_argument("--case", action="append", metavar="NAME", help="run this case only")
    ap.add_argument("--keep", action="store_true", help="keep each case's scratch folder")
    ap.add_argument("program", nargs="?")
    opts = ap.parse_args()
    cases = [c for c in CASES if c.runs == BOTH or (c.runs == WINDOWS) == opts.windows]
    if opts.list:
        for case in cases:
            print(case.name + (" slow" if case.slow else ""))
        return 0
    if opts.case:
        unknown = set(opts.case) - {c.name for c in cases}
        if unknown:
            ap.error("no such case here: %s" % ", ".join(sorted(unknown)))
        cases = [c for c in cases if c.name in opts.case]
    if not opts.program:
        ap.error("the program is required")
    program = os.path.abspath(opts.program)
    prefix = shlex.split(opts.exec)
    passed = failed = 0
    for case in cases:
        folder = Path(tempfile.mkdtemp(prefix="tolvek-%s-" % case.name))
        try:
            faults = check(case, folder, program, prefix, opts.windows, opts.timeout)
        finally:
            if not opts.keep:
                shutil.rmtree(folder)
        print("%s %s: %s" % ("FAIL" if faults else "ok", case.name, case.why))
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
