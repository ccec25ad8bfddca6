#!/usr/bin/env bash
# The Spanish manual and quick start, and po/es.po, are what po4a makes of
# the English ones now, every string translated: usage: po.sh SOURCE_DIR
set -euo pipefail
trap 'echo "FAILED: $BASH_COMMAND" >&2' ERR
made=$(mktemp -d)
trap 'rm -rf "$made"' EXIT
cd "$1"
mkdir "$made/windows"
cp -r tolvekpre.1 po "$made"
cp windows/README.txt "$made/windows"
# Forced: po4a skips a translation it takes for up to date by its files' times.
(cd "$made" && po4a -q --force po/po4a.cfg)
stats=$(msgfmt --statistics -o /dev/null "$made/po/es.po" 2>&1)
if ! grep -qx '[0-9]* translated messages\.' <<<"$stats"; then
  echo "po/es.po: $stats; run po4a po/po4a.cfg and translate what it marks"
  exit 1
fi
for f in po/es.po tolvekpre.es.1 windows/LEEME.txt; do
  if ! cmp "$f" "$made/$f"; then
    echo "$f is not what po4a makes of the English now: run po4a po/po4a.cfg"
    exit 1
  fi
done
