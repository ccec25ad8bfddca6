#!/usr/bin/env bash
# The zip's .exe, run by Wine's 32-bit loader on the example listing beside
# it, gives the example's report, with the runtime's line ends, and index.
# usage: zip-exe.sh ZIP EXAMPLES_DIR
set -euo pipefail
trap 'echo "FAILED: $BASH_COMMAND" >&2' ERR
if ! command -v wine >/dev/null; then
  echo "skipped: no wine on PATH (Debian: wine, wine32:i386)"
  exit 77
fi
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
unzip -q "$1" -d "$dir"
(cd "$dir" && wine tolvekpre.exe listado.txt >out 2>err </dev/null)
perl -pe 's/\n/\r\n/g' "$2/listado.out" >"$dir/want"
cmp "$dir/want" "$dir/out"
cmp "$dir/tolvkvoc" "$2/listado.idx"
