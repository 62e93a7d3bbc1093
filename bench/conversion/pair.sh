#!/usr/bin/env bash
# Two builds of discforge-cli against each other on one input and target, for a
# change too small for the whole bench to show: the two run in turn for ROUNDS
# rounds, so both see the same load. Prints the median wall and processor time of
# each and the median of the per-round ratios (second / first).
# Usage: bench/conversion/pair.sh BUILD_DIR FIRST_BIN SECOND_BIN INPUT TARGET STANDARD
#   FIRST_BIN and SECOND_BIN are discforge-cli binaries (each with its libconvert.so
#   beside it); INPUT is a file, e.g. one that run.sh made in BUILD_DIR/bench-conversion.
#   ROUNDS may be set (default 6).
set -euo pipefail

build=${1:?usage: pair.sh BUILD_DIR FIRST_BIN SECOND_BIN INPUT TARGET STANDARD}
first=${2:?} second=${3:?} input=${4:?} target=${5:?} standard=${6:?}
rounds=${ROUNDS:-6}
runner="$build/bin/discforge-bench-run"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One line per round: wall, processor time and peak of the first, then of the second.
for _ in $(seq "$rounds"); do
    line=""
    for bin in "$first" "$second"; do
        if ! "$runner" "$work/report.txt" -- "$bin" --target "$target" --standard "$standard" \
            --output "$work/out.mpg" "$input" > "$work/output.txt" 2>&1; then
            echo "pair: $bin failed on $input:" >&2
            cat "$work/output.txt" >&2
            exit 1
        fi
        line="$line $(head -1 "$work/report.txt")"
    done
    echo "$line"
done > "$work/rounds.txt"

median() { sort -g | awk -v middle=$(((rounds + 1) / 2)) 'NR == middle'; }
column() { awk -v k="$1" '{print $k}' "$work/rounds.txt" | median; }
echo "$standard $target, $rounds rounds: first wall $(column 1) s cpu $(column 2) s;" \
    "second wall $(column 4) s cpu $(column 5) s;" \
    "median ratio $(awk '{printf "%.3f\n", $4 / $1}' "$work/rounds.txt" | median)"
