#!/usr/bin/env bash
# Counts the machine instructions `morvane-cli list --format tsv` executes on
# a ~3 MB San Andreas main script, less those of the same run on a main
# script with no code (start-up, the opcode file, the output's setup), with
# callgrind: the same count on every run of the same binary.
#   tools/measure_list.sh [BUILD_FOLDER]      (default: build)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$here/build}" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$build/make_bench_script" "$work"
count() {
    valgrind --tool=callgrind --callgrind-out-file="$work/out.$1" \
        "$build/morvane-cli" list --format tsv --game sa --ini "$work/SASCM.ini" "$work/$1" >/dev/null 2>"$work/log.$1"
    sed -n 's/^==[0-9]*== Collected : //p' "$work/log.$1"
}
big="$(count big.scm)"
empty="$(count empty.scm)"
echo "big.scm:   $big instructions"
echo "empty.scm: $empty instructions"
echo "the scan and its listing: $((big - empty)) instructions"
