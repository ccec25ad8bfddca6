#!/usr/bin/env bash
# The installed manual pages read: the English one by man -l, the Spanish
# one where man -L es looks for it. usage: man.sh BUILD
set -euo pipefail
trap 'echo "FAILED: $BASH_COMMAND" >&2' ERR
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null
page=$(man -l "$prefix/share/man/man1/tolvekpre.1")
grep -q 'Demasiados param' <<<"$page"
page=$(MANPATH=$prefix/share/man man -L es tolvekpre)
grep -q 'DESCRIPCI' <<<"$page"
