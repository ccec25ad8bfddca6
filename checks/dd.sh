#!/usr/bin/env bash
# Each manual page's date (.Dd) is no older than the page's last commit:
# the date of its last change. usage: dd.sh SOURCE_DIR PAGE...
set -euo pipefail
trap 'echo "FAILED: $BASH_COMMAND" >&2' ERR
cd "$1"
shift
if ! git rev-parse --git-dir >/dev/null 2>&1; then
  echo "skipped: $PWD has no git history"
  exit 77
fi
for page in "$@"; do
  dd=$(sed -n 's/^\.Dd //p' "$page")
  dated=$(date -u -d "$dd" +%F)
  changed=$(git log -1 --format=%cs -- "$page")
  if [[ $dated < $changed ]]; then
    echo "$page: .Dd $dd, but the page last changed on $changed"
    exit 1
  fi
done
