#!/usr/bin/env bash
# What file says of FILE matches the extended regular expression PATTERN.
# usage: kind.sh FILE PATTERN
set -euo pipefail
trap 'echo "FAILED: $BASH_COMMAND" >&2' ERR
kind=$(file -b "$1")
echo "$kind"
grep -qE "$2" <<<"$kind"
