#!/usr/bin/env bash
# Both programs are hardened as distributions build theirs: the stack
# guarded (SSP), the Linux program's C library calls checked where a
# buffer's size is known (fortify), both loaded at a random address (ASLR)
# with data that cannot run (NX).
# usage: hardening.sh PROGRAM EXE EXE_BUILD OBJECT...
set -euo pipefail
trap 'echo "FAILED: $BASH_COMMAND" >&2' ERR
program=$1 exe=$2 exebuild=$3
shift 3
calls=$(nm -u "$@")
grep -q ' U __stack_chk_fail$' <<<"$calls"
grep -q ' U __[a-z]*_chk$' <<<"$calls"
header=$(readelf -hlW "$program")
grep -q '^ *Type: *DYN ' <<<"$header"
grep -q '^ *GNU_STACK .* RW  ' <<<"$header"
calls=$(i686-w64-mingw32-nm -u "$exebuild"/CMakeFiles/*.dir/src/*.obj)
grep -q ' U ___stack_chk_fail$' <<<"$calls"
pe=$(i686-w64-mingw32-objdump -p "$exe")
grep -q '^[[:space:]]*NX_COMPAT$' <<<"$pe"
grep -q '^[[:space:]]*DYNAMIC_BASE$' <<<"$pe"
