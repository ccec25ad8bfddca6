#!/usr/bin/env python3
"""The Windows quick start's console lines, run in order under Wine's cmd in
the folders their prompts name, print what the text shows under each, and
every run of the program the text does not show refused ends with status 0.
usage: quickstart.py LOADER EXE LISTING TEXT...

The program's folder is each text's first prompt's; it gets the program
and the example listing, every other folder a text names and Wine lacks
gets the listing. They are made once, before the first text runs, and go
after the last. A shown line "..." stands for any lines."""
import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

PROMPT = re.compile(r"^ {5}C:\\([^>]*)> (.*)$")
loader, exe, listing, texts = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
drive = Path(os.environ["WINEPREFIX"]) / "drive_c"
if not drive.is_dir():
    subprocess.run([loader, "cmd", "/c", "exit"], check=True, capture_output=True)


def steps(text):
    """The text's console lines as (folder, command, shown lines)."""
    found, block = [], False
    for line in Path(text).read_text(encoding="utf-8").splitlines():
        prompt = PROMPT.match(line)
        if prompt:
            found.append((prompt.group(1), prompt.group(2), []))
        elif block and line.startswith("     "):
            found[-1][2].append(line.strip())
        block = bool(prompt) or (block and line.startswith("     "))
    return found


def prepare(found, made):
    """Makes the folders that the prompts name and Wine lacks, noting them."""
    for i, (folder, _, _) in enumerate(found):
        path = drive / folder.replace("\\", "/")
        missing = [p for p in [path, *path.parents] if not p.exists()]
        if missing:
            made.append(missing[-1])
            path.mkdir(parents=True)
            shutil.copy(listing, path / "listado.txt")
        if i == 0 and not (path / "tolvekpre.exe").exists():
            made.append(path / "tolvekpre.exe")
            shutil.copy(exe, made[-1])


def attempt(text, found):
    """One run of the text's lines in one cmd, as faults and cmd's stderr."""
    bat, here, faults = ["@echo off"], None, []
    for folder, command, _ in found:
        if folder != here:
            bat.append('cd /d "C:\\%s"' % folder)
            here = folder
        bat += [command, "echo.", "echo @@@%ERRORLEVEL%"]
    script = drive / "tolvek-quickstart.bat"
    script.write_bytes("\r\n".join(bat).encode("cp1252") + b"\r\n")
    try:
        got = subprocess.run([loader, "cmd", "/c", "C:\\tolvek-quickstart.bat"], timeout=300,
                             stdin=subprocess.DEVNULL, capture_output=True)
    finally:
        script.unlink()
    parts = re.split(rb"@@@(\d+)\r?\n", got.stdout)
    for n, (folder, command, shown) in enumerate(found):
        if 2 * n + 1 >= len(parts):
            faults.append("%s: no end seen for: %s" % (text, command))
            break
        out = re.split(r"\r\n|\r|\n", parts[2 * n].decode("cp1252"))
        for want in shown:
            if want != "..." and want not in out:
                faults.append("%s: %s printed no line %r" % (text, command, want))
        refused = n + 1 < len(found) and found[n + 1][1] == "echo %ERRORLEVEL%"
        if "tolvekpre" in command and not refused and parts[2 * n + 1] != b"0":
            faults.append("%s: %s ended with status %s" % (text, command,
                                                            parts[2 * n + 1].decode()))
    return faults, got.stderr.decode("cp1252").strip()


def run(text, found):
    faults, errors = attempt(text, found)
    # 9009 is cmd's answer when it cannot start a program. Wine's cmd gave it
    # once, on a CI machine, to a line that ran at once before and after; a
    # wrong line gives it again, so one more try tells the two apart.
    if any(f.endswith("status 9009") for f in faults):
        print("%s: retried once, cmd's first answer was:\n%s\n%s"
              % (text, "\n".join(faults), errors))
        faults, errors = attempt(text, found)
    return faults + ([text + ": cmd said: " + errors] if faults and errors else [])


made, lines = [], {text: steps(text) for text in texts}
try:
    for found in lines.values():
        prepare(found, made)
    faults = [f for text, found in lines.items() for f in run(text, found)]
finally:
    for p in reversed(made):
        shutil.rmtree(p) if p.is_dir() else p.unlink(missing_ok=True)
sys.exit("\n".join(faults) or None)
