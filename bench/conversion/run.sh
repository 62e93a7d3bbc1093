#!/usr/bin/env bash
# The whole conversion against ffmpeg's disc presets, in one run, on two everyday
# inputs made by ffmpeg itself:
#   (a) 640x480 MPEG-4 AVI with ffmpeg's default settings (a key frame every 12
#       frames), 25 frames/s, 16-bit stereo PCM at 44100 Hz;
#   (b) 1280x720 H.264 MP4 (libx264's defaults) at 23.976 frames/s with AAC sound;
# each converted to the six targets by discforge-cli and by `ffmpeg -target`, the
# two alternating for ROUNDS rounds, each round starting with the one that went
# second in the round before. Prints one table row per input and target: the median
# wall time of each, the median over the rounds of the ratio ours/ffmpeg (goal: at
# most 0.9), the ratio of the median times beside it, the peak memory of each and
# its ratio (goal: at most 1.25), and the processor time of each; then, from one
# more run of ours per row, the processor time of each of its threads as a share
# of the wall time. The verdict takes the ratio within each round: on a shared host
# the same conversion can take a third more processor time from one run to the
# next, and two runs one after the other see the most nearly the same host.
# Usage: bench/conversion/run.sh BUILD_DIR   (ROUNDS and INPUT_SECONDS may be set)
set -euo pipefail

build=${1:?usage: run.sh BUILD_DIR}
rounds=${ROUNDS:-3}
seconds=${INPUT_SECONDS:-60}
work="$build/bench-conversion"
runner="$build/bin/discforge-bench-run"
command -v ffmpeg > /dev/null || { echo "bench: ffmpeg is missing" >&2; exit 1; }
mkdir -p "$work"

# The inputs take a while to make (the H.264 one most), so they are kept between runs.
make_input() {
    local path=$1
    shift
    [ -s "$path" ] && return
    local making="$work/making.${path##*.}"
    ffmpeg -nostdin -v error -y "$@" "$making"
    mv "$making" "$path"
}
avi="$work/input-640x480-mpeg4-${seconds}s.avi"
mp4="$work/input-1280x720-h264-${seconds}s.mp4"
make_input "$avi" -f lavfi -i "testsrc2=size=640x480:rate=25:duration=$seconds" \
    -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=$seconds" -ac 2 -c:a pcm_s16le
make_input "$mp4" -f lavfi -i "testsrc2=size=1280x720:rate=24000/1001:duration=$seconds" \
    -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=$seconds" -ac 2 -c:v libx264 -c:a aac

# One run under the measuring launcher; prints "wall cpu peakKiB".
run_once() {
    local report="$work/report.txt"
    "$runner" "$report" -- "$@" 2> "$work/stderr.txt" || {
        cat "$work/stderr.txt" >&2
        echo "bench: failed: $*" >&2
        exit 1
    }
    head -n 1 "$report"
}

# The line of the run with the median wall time from the lines on standard input.
median() { sort -n | awk -v middle=$(((rounds + 1) / 2)) 'NR == middle'; }
# The median ratio of the wall times, round by round, of two files of run lines.
paired_ratio() { paste -d' ' "$1" "$2" | awk '{ printf "%.4f\n", $1 / $4 }' | median; }

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
rows="$work/rows.txt"
threads="$work/threads.txt"
: > "$rows"
: > "$threads"
for input in "$avi" "$mp4"; do
    label=$([ "$input" = "$avi" ] && echo "640x480 MPEG-4 AVI" || echo "1280x720 H.264 MP4")
    for target in vcd svcd dvd; do
        for standard in ntsc pal; do
            ours="$work/discforge-$standard-$target.mpg"
            theirs="$work/ffmpeg-$standard-$target.mpg"
            ourRuns="$work/ours.txt"
            theirRuns="$work/theirs.txt"
            : > "$ourRuns"
            : > "$theirRuns"
            run_ours() {
                run_once "$build/bin/discforge-cli" --target "$target" --standard "$standard" --output "$ours" \
                    "$input" >> "$ourRuns"
            }
            run_theirs() {
                run_once ffmpeg -nostdin -v error -y -i "$input" -target "$standard-$target" "$theirs" >> "$theirRuns"
            }
            for ((round = 0; round < rounds; ++round)); do
                if ((round % 2 == 0)); then
                    run_ours
                    run_theirs
                else
                    run_theirs
                    run_ours
                fi
            done
            echo "$label|$standard-$target|$(median < "$ourRuns")|$(median < "$theirRuns")|$(paired_ratio "$ourRuns" "$theirRuns")" >> "$rows"
            "$runner" --threads "$work/report.txt" -- "$build/bin/discforge-cli" --target "$target" \
                --standard "$standard" --output "$ours" "$input" 2> /dev/null
            {
                printf '%s %s: ' "$label" "$standard-$target"
                # "thread NAME COUNT SECONDS", where a name may hold spaces.
                awk 'NR == 1 { wall = $1; next }
                     { name = $2; for (i = 3; i <= NF - 2; ++i) name = name " " $i
                       printf "%s%s x%d %.2f s (%.0f%%)", separator, name, $(NF - 1), $NF, 100 * $NF / wall
                       separator = ", " }
                     END { printf " of %.2f s\n", wall }' "$work/report.txt"
            } >> "$threads"
        done
    done
done

echo "machine: $(nproc) cores, load average before: $load_before; median of $rounds alternating rounds"
echo
awk -F'|' '
    function verdict(ok) { return ok ? "yes" : "NO" }
    BEGIN {
        line = "| %-18s | %-9s | %6s | %6s | %5s | %4s | %6s | %7s | %7s | %5s | %4s | %6s | %6s |\n"
        printf line, "input", "target", "ours s", "ffm s", "wall", "0.9?", "of med", "ours MiB", "ffm MiB", "peak", "1.25?", "ours cpu", "ffm cpu"
        printf line, "---", "---", "---", "---", "---", "---", "---", "---", "---", "---", "---", "---", "---"
    }
    {
        split($3, o, " "); split($4, f, " ")
        wall = $5; peak = o[3] / f[3]
        printf "| %-18s | %-9s | %6.2f | %6.2f | %5.2f | %4s | %6.2f | %8.1f | %7.1f | %5.2f | %5s | %8.2f | %6.2f |\n",
            $1, $2, o[1], f[1], wall, verdict(wall <= 0.9), o[1] / f[1], o[3] / 1024, f[3] / 1024, peak,
            verdict(peak <= 1.25), o[2], f[2]
    }' "$rows"
echo
echo "Threads of discforge-cli (processor time and share of the wall time, one more run per row):"
cat "$threads"
