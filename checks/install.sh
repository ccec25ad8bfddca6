#!/usr/bin/env bash
# The README's install command, as it stands there, run from beside an
# older download into a home whose folders exist, one of them private,
# takes this release and leaves that folder's mode and time as they were;
# the installed program gives the installed example's report and index
# byte for byte. usage: install.sh SOURCE_DIR TARBALL
set -euo pipefail
trap 'echo "FAILED: $BASH_COMMAND" >&2' ERR
install=$(sed -n 's/^ *\(mkdir -p ~\/.local && tar .*\)$/\1/p' "$1/README.md")
if [ -z "$install" ] || [ "$(wc -l <<<"$install")" -ne 1 ]; then
  echo "README.md holds no one install command"
  exit 1
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
home=$scratch/home downloads=$scratch/downloads
mkdir -p "$downloads" "$home/.local/share/man" "$home/.local/share/doc"
cp "$2" "$downloads"
echo "not this release" >"$downloads/tolvekpre-1.9.0-linux-x86_64.tar.gz"
chmod 700 "$home/.local/share"
touch -d @0 "$home/.local/share"
(cd "$downloads" && HOME=$home && eval "$install")
kept=$(stat -c '%a %Y' "$home/.local/share")
if [ "$kept" != "700 0" ]; then
  echo "the install made ~/.local/share $kept, not 700 0"
  exit 1
fi
bash "$(dirname "$0")/kind.sh" "$home/.local/bin/tolvekpre" \
  '^ELF 64-bit LSB pie executable, x86-64.*, static-pie linked.*, stripped$'
(cd "$home" && .local/bin/tolvekpre .local/share/doc/tolvekpre/listado.txt >out)
cmp "$home/out" "$1/examples/listado.out"
cmp "$home/tolvkvoc." "$1/examples/listado.idx"
