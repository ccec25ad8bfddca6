#!/usr/bin/env bash
# SHA256SUMS holds the sum of each archive, and only theirs.
# usage: sums.sh SHA256SUMS ARCHIVE...
set -euo pipefail
trap 'echo "FAILED: $BASH_COMMAND" >&2' ERR
cd "$(dirname "$1")"
sha256sum --strict -c "$1"
names=$(sed 's/^[0-9a-f]*  //' "$1")
shift
diff <(printf '%s\n' "${@##*/}") - <<<"$names"
