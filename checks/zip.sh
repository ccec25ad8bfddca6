#!/usr/bin/env bash
# The zip's manuals declare their languages, and its example listing is the
# source tree's. usage: zip.sh ZIP EXAMPLES_DIR
set -euo pipefail
trap 'echo "FAILED: $BASH_COMMAND" >&2' ERR
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
unzip -q "$1" -d "$dir"
grep -qx '<html lang="en">' "$dir/tolvekpre.html"
grep -qx '<html lang="es">' "$dir/tolvekpre-es.html"
cmp "$dir/listado.txt" "$2/listado.txt"
