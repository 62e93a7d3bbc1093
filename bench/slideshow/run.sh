#!/usr/bin/env bash
# A slideshow of five 24-megapixel photos (6000 x 4000 JPEGs, as cameras write
# them, made by ffmpeg), one picture a second, made a PAL DVD by discforge-cli
# and by ffmpeg's image reader with its own scaling to the same picture (fitted
# proportionally on black, 25 frames a second), the two alternating for ROUNDS
# rounds. Prints the median wall time, processor time and peak memory of each and
# the ratio ours/ffmpeg of the times (goal: at most 1).
# Usage: bench/slideshow/run.sh BUILD_DIR   (ROUNDS may be set)
set -euo pipefail

build=${1:?usage: run.sh BUILD_DIR}
rounds=${ROUNDS:-3}
work="$build/bench-slideshow"
runner="$build/bin/discforge-bench-run"
command -v ffmpeg > /dev/null || { echo "bench: ffmpeg is missing" >&2; exit 1; }
mkdir -p "$work"

list="$work/photos.lst"
: > "$list.making"
for k in 1 2 3 4 5; do
    photo="$work/photo$k.jpg"
    [ -s "$photo" ] || ffmpeg -nostdin -v error -y -f lavfi -i "testsrc2=size=6000x4000:rate=1" \
        -vf "select=eq(n\,$((k - 1)))" -frames:v 1 -q:v 2 "$photo"
    echo "photo$k.jpg" >> "$list.making"
done
mv "$list.making" "$list"

run_once() {
    local report="$work/report.txt"
    "$runner" "$report" -- "$@" 2> "$work/stderr.txt" || {
        cat "$work/stderr.txt" >&2
        echo "bench: failed: $*" >&2
        exit 1
    }
    head -n 1 "$report"
}
run_ours() {
    run_once "$build/bin/discforge-cli" --target dvd --standard pal --output "$work/discforge.mpg" "$list" >> "$work/ours.txt"
}
run_theirs() {
    run_once ffmpeg -nostdin -v error -y -framerate 1 -i "$work/photo%d.jpg" \
        -vf "scale=720:480,pad=720:576:0:48,fps=25" -target pal-dvd "$work/ffmpeg.mpg" >> "$work/theirs.txt"
}

: > "$work/ours.txt"
: > "$work/theirs.txt"
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
for ((round = 0; round < rounds; ++round)); do
    if ((round % 2 == 0)); then run_ours; run_theirs; else run_theirs; run_ours; fi
done
median() { sort -n | awk -v middle=$(((rounds + 1) / 2)) 'NR == middle'; }
ours=$(median < "$work/ours.txt")
theirs=$(median < "$work/theirs.txt")
echo "machine: $(nproc) cores, load average before: $load_before; median of $rounds alternating rounds"
echo "five 6000x4000 JPEGs, one a second, to PAL DVD"
echo "$ours|$theirs" | awk -F'|' '{
    split($1, o, " "); split($2, f, " ")
    line = "| %-12s | %6s | %6s | %8s |\n"
    printf line, "", "wall s", "cpu s", "peak MiB"
    printf line, "---", "---", "---", "---"
    printf "| %-12s | %6.2f | %6.2f | %8.1f |\n", "discforge", o[1], o[2], o[3] / 1024
    printf "| %-12s | %6.2f | %6.2f | %8.1f |\n", "ffmpeg", f[1], f[2], f[3] / 1024
    printf "ours/ffmpeg: wall %.2f (goal: at most 1), peak %.2f\n", o[1] / f[1], o[3] / f[3]
}'
