#!/usr/bin/env bash
# The whole conversion against ffmpeg's disc presets, in one run: the same generated
# 60-second 640x480 MPEG-4 AVI with 44100 Hz stereo sound, converted to PAL DVD and
# to NTSC VCD by discforge-cli and by `ffmpeg -target`. Prints per tool the median
# wall time of ROUNDS runs, the processor time, the peak memory and the output size,
# and the wall-time ratio ours/ffmpeg (at most 1: we are as fast or faster).
# Usage: bench/conversion/run.sh BUILD_DIR   (ROUNDS and INPUT_SECONDS may be set)
set -euo pipefail

build=${1:?usage: run.sh BUILD_DIR}
rounds=${ROUNDS:-3}
seconds=${INPUT_SECONDS:-60}
work="$build/bench-conversion"
timer=/usr/bin/time
[ -x "$timer" ] || { echo "bench: $timer is missing (package time, scripts/install-deps.sh)" >&2; exit 1; }
command -v ffmpeg > /dev/null || { echo "bench: ffmpeg is missing" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work"
input="$work/input.avi"
"$build/bin/discforge-mediagen" avi "$input" --video mpeg4 --audio pcm44 --fps 25 --size 640x480 \
    --seconds "$seconds"
echo "input: $input, ${seconds} s of 640x480 MPEG-4 at 25 frames/s, 16-bit stereo 44100 Hz"
echo "machine: $(nproc) cores; $rounds rounds each, median wall time"
echo

# Runs a command `rounds` times under GNU time; prints "wall user+sys peakKiB" of the
# run with the median wall time.
measure() {
    local report="$work/time.txt"
    for ((round = 0; round < rounds; ++round)); do
        "$timer" -f "%e %U %S %M" -o "$report" "$@" > /dev/null 2> "$work/stderr.txt" || {
            cat "$work/stderr.txt" >&2
            echo "bench: failed: $*" >&2
            exit 1
        }
        awk '{ printf "%.2f %.2f %d\n", $1, $2 + $3, $4 }' "$report"
    done | sort -n | awk -v middle=$(((rounds + 1) / 2)) 'NR == middle'
}

compare() {
    local title=$1 target=$2 standard=$3 preset=$4
    local ours="$work/discforge-$preset.mpg" theirs="$work/ffmpeg-$preset.mpg"
    read -r ourWall ourCpu ourPeak < <(measure "$build/bin/discforge-cli" --target "$target" \
        --standard "$standard" --output "$ours" "$input")
    read -r theirWall theirCpu theirPeak < <(measure ffmpeg -nostdin -v error -y -i "$input" \
        -target "$preset" "$theirs")
    awk -v title="$title" -v ourWall="$ourWall" -v ourCpu="$ourCpu" -v ourPeak="$ourPeak" \
        -v ourBytes="$(stat -c %s "$ours")" -v theirWall="$theirWall" -v theirCpu="$theirCpu" \
        -v theirPeak="$theirPeak" -v theirBytes="$(stat -c %s "$theirs")" 'BEGIN {
        line = "  %-13s wall %6.2f s  cpu %6.2f s  peak %7.1f MiB  output %6.1f MiB\n"
        print title
        printf line, "discforge-cli", ourWall, ourCpu, ourPeak / 1024, ourBytes / 1048576
        printf line, "ffmpeg", theirWall, theirCpu, theirPeak / 1024, theirBytes / 1048576
        printf "  wall-time ratio discforge-cli/ffmpeg = %.2f\n\n", ourWall / theirWall
    }'
}

compare "PAL DVD (ffmpeg -target pal-dvd)" dvd pal pal-dvd
compare "NTSC VCD (ffmpeg -target ntsc-vcd)" vcd ntsc ntsc-vcd
