#!/usr/bin/env bash
# The same tree, released again in another folder at another time, gives
# the same bytes. usage: reproducible.sh SOURCE_DIR SHA256SUMS
set -euo pipefail
trap 'echo "FAILED: $BASH_COMMAND" >&2' ERR
other=$(mktemp -d)
trap 'rm -rf "$other"' EXIT
sleep 1
tar -C "$1" --exclude=./build -cf "$other/tree.tar" .
tar -C "$other" -xf "$other/tree.tar"
(cd "$other" && cmake --workflow --preset release >/dev/null)
again=$other/build/release
cat "$2"
cmp "$2" "$again/SHA256SUMS"
names=$(sed 's/^[0-9a-f]*  //' "$2")
while read -r name; do
  cmp "${2%/*}/$name" "$again/$name"
done <<<"$names"
