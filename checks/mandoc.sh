#!/usr/bin/env bash
# mandoc finds nothing to say of PAGE..., but on the conventions of BSD
# systems' own pages, which -W style leaves out: usage: mandoc.sh PAGE...
set -euo pipefail
trap 'echo "FAILED: $BASH_COMMAND" >&2' ERR
mandoc -T lint -W style "$@"
