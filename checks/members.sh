#!/usr/bin/env bash
# Each archive holds what the release is, files only, and nothing else: a
# release without its manual or its licence is no release.
# usage: members.sh TARBALL ZIP
set -euo pipefail
trap 'echo "FAILED: $BASH_COMMAND" >&2' ERR
top=$(basename "$1" .tar.gz)
tarball=(bin/tolvekpre share/doc/tolvekpre/LICENSE share/doc/tolvekpre/README.md
  share/doc/tolvekpre/listado.txt share/man/es/man1/tolvekpre.1 share/man/man1/tolvekpre.1)
zip=(LEEME.txt LICENSE.txt README.txt listado.txt tolvekpre-es.html tolvekpre.exe tolvekpre.html)
got=$(tar -tzf "$1")
diff <(printf "$top/%s\n" "${tarball[@]}") <(LC_ALL=C sort <<<"$got")
got=$(unzip -Z1 "$2")
diff <(printf '%s\n' "${zip[@]}") <(LC_ALL=C sort <<<"$got")
