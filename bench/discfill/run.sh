#!/usr/bin/env bash
# Planned rates: a 60 s PAL input (noisy moving pictures, so that it takes every bit,
# MPEG-4 AVI with 16-bit sound, made by ffmpeg) converted for DVD onto a disc sized
# for about 4, 6 and 8 Mbit/s of video, in two passes, and once without a disc size
# (the usual 6 Mbit/s, one pass). Prints for each the disc size asked, the stream's
# size, the video rate it reached and the wall time, and the time of two passes
# against the one pass.
# Usage: bench/discfill/run.sh BUILD_DIR   (INPUT_SECONDS may be set)
set -euo pipefail

build=${1:?usage: run.sh BUILD_DIR}
seconds=${INPUT_SECONDS:-60}
work="$build/bench-discfill"
cli="$build/bin/discforge-cli"
command -v ffmpeg > /dev/null || { echo "bench: ffmpeg is missing" >&2; exit 1; }
command -v ffprobe > /dev/null || { echo "bench: ffprobe is missing" >&2; exit 1; }
mkdir -p "$work"
input="$work/noisy-$seconds.avi"
if [ ! -f "$input" ]; then
    ffmpeg -nostdin -v error -y -f lavfi -i "testsrc2=size=720x576:rate=25:duration=$seconds,noise=alls=24:allf=t" \
        -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=$seconds" -ac 2 -c:v mpeg4 -q:v 3 \
        -c:a pcm_s16le "$input"
fi

# Wall seconds of one conversion into $work/$1.mpg, with the rest of the arguments.
convert() {
    local name=$1
    shift
    cp "$input" "$work/$name.avi"
    local start end
    start=$(date +%s.%N)
    "$cli" --target dvd --standard pal "$@" "$work/$name.avi" > /dev/null 2>&1
    end=$(date +%s.%N)
    rm -f "$work/$name.avi"
    echo "$end - $start" | bc
}

# The video rate of a stream, from its video packets' bytes.
video_rate() {
    ffprobe -v error -select_streams v:0 -show_entries packet=size -of csv=p=0 "$1" \
        | awk -v s="$seconds" '{ bytes += $1 } END { printf "%.2f", bytes * 8 / s / 1e6 }'
}

one=$(convert one-pass)
printf "%-12s %12s %12s %14s %10s %10s\n" "plan" "disc (MB)" "stream (B)" "video Mbit/s" "time (s)" "vs 1 pass"
printf "%-12s %12s %12s %14s %10.1f %10s\n" "usual 6" "-" "$(stat -c %s "$work/one-pass.mpg")" \
    "$(video_rate "$work/one-pass.mpg")" "$one" "1.00"
for rate in 4 6 8; do
    # The disc that the planner fills at this rate: the stream with its packs, and the
    # authoring's 256 KiB and 16 KiB a title.
    megabytes=$(echo "(($rate * 1000000 + 192000) / 8 * $seconds * 1.0116 + 7040 * $seconds + 278528) / 1000000" | bc)
    two=$(convert "plan-$rate" --disc-size "$megabytes")
    printf "%-12s %12s %12s %14s %10.1f %10.2f\n" "$rate Mbit/s" "$megabytes" "$(stat -c %s "$work/plan-$rate.mpg")" \
        "$(video_rate "$work/plan-$rate.mpg")" "$two" "$(echo "$two / $one" | bc -l)"
done
