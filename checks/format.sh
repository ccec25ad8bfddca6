#!/usr/bin/env bash
# The sources are laid out as .clang-format says: usage: format.sh SOURCE_DIR
set -euo pipefail
trap 'echo "FAILED: $BASH_COMMAND" >&2' ERR
cd "$1"
clang-format --dry-run -Werror src/*.h src/*.cpp tests/*.cpp fuzz/*.cpp
