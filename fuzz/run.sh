#!/usr/bin/env bash
# Fuzzes for 60 seconds from the seeds: the example listing, and the
# shortest entries just past the entry limit. Leaves its corpus, its log and
# any crash input in the current folder.
# usage: run.sh FUZZER EXAMPLES_DIR
set -euo pipefail
trap 'echo "FAILED: $BASH_COMMAND" >&2' ERR
rm -rf corpus
mkdir -p corpus findings
cp "$2/listado.txt" corpus
for _ in $(seq 4400); do printf '(VOC00000) :\n'; done >corpus/limit
# The whole log is kept: on a finding, the sanitizer's report is what matters.
if ! "$1" -max_len=65536 -timeout=10 -max_total_time=60 -artifact_prefix=findings/ \
  -print_final_stats=1 corpus >fuzz.log 2>&1; then
  cat fuzz.log
  exit 1
fi
tail -12 fuzz.log
