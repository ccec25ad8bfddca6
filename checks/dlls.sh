#!/usr/bin/env bash
# The .exe needs no DLL beyond those every Windows has. usage: dlls.sh EXE
set -euo pipefail
trap 'echo "FAILED: $BASH_COMMAND" >&2' ERR
pe=$(i686-w64-mingw32-objdump -p "$1")
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$pe")
echo "$dlls"
if [ -z "$dlls" ] || grep -vixE 'advapi32\.dll|kernel32\.dll|msvcrt\.dll' <<<"$dlls"; then
  echo "the .exe needs a DLL beyond the system's own"
  exit 1
fi
