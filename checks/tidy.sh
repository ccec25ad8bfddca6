#!/usr/bin/env bash
# clang-tidy finds nothing in FILE..., compiled as BUILD compiles them.
# usage: tidy.sh SOURCE_DIR BUILD [PRESET [CROSS_CXX]] -- FILE...
# With PRESET, BUILD is first configured from that preset, for a compiler
# or platform other than this build's; CROSS_CXX is then the cross compiler
# whose target and C++ headers clang must be told.
set -euo pipefail
trap 'echo "FAILED: $BASH_COMMAND" >&2' ERR
src=$1 build=$2 preset= cross=
shift 2
if [ "$1" != -- ]; then preset=$1; shift; fi
if [ "$1" != -- ]; then cross=$1; shift; fi
shift
cd "$src"
if [ -n "$preset" ]; then
  cmake --preset "$preset" -B "$build" -DBUILD_TESTING=OFF >/dev/null
fi
extra=()
if [ -n "$cross" ]; then
  # clang finds mingw-w64's C headers by the target, its C++ headers only
  # when told.
  target=$("$cross" -dumpmachine)
  libgcc=$("$cross" -print-libgcc-file-name)
  headers=${libgcc%/*}/include/c++
  extra=(--extra-arg=--target="$target" --extra-arg=-isystem"$headers"
    --extra-arg=-isystem"$headers/$target")
fi
clang-tidy --quiet -p "$build" "${extra[@]}" "$@"
