#!/usr/bin/env bash
# The main job on samples the project makes itself: a clip with sound and a picture
# list, each converted to VCD (NTSC), SVCD (PAL) and DVD (PAL), and what ffprobe sees.
set -euo pipefail

build=${1:-build}
bin="$build/bin"
demo="$build/demo"

fail() {
    echo "demo: FAILED: $*" >&2
    exit 1
}
trap 'fail "line $LINENO: $BASH_COMMAND"' ERR

for program in "$bin/discforge-cli" "$bin/discforge-mediagen"; do
    [ -x "$program" ] || fail "$program is missing; build first (make demo builds)"
done
command -v ffprobe > /dev/null || fail "ffprobe is missing (scripts/install-deps.sh installs it)"

rm -rf "$demo"
mkdir -p "$demo"

echo "Generating the samples into $demo ..."
"$bin/discforge-mediagen" avi "$demo/clip.avi" --size 640x480 --seconds 6 --audio pcm44
"$bin/discforge-mediagen" list "$demo/pictures.lst" --pictures 5 --size 640x480

# ffprobe's view of one output, on four lines.
describe() {
    local file=$1
    local bytes
    bytes=$(stat -c %s "$file")
    ffprobe -v error -of compact -show_entries \
        stream=codec_type,codec_name,width,height,r_frame_rate,sample_rate,channels:format=duration "$file" |
        awk -v file="$file" -v bytes="$bytes" '
            {
                delete field
                for (i = 2; i <= NF; ++i) { split($i, pair, "="); field[pair[1]] = pair[2] }
            }
            $1 == "stream" && field["codec_type"] == "video" {
                video = field["codec_name"]; width = field["width"]; height = field["height"]
                split(field["r_frame_rate"], fraction, "/"); rate = fraction[1] / fraction[2]
            }
            $1 == "stream" && field["codec_type"] == "audio" {
                audio = field["codec_name"]; samples = field["sample_rate"]; channels = field["channels"]
            }
            $1 == "format" { duration = field["duration"] }
            END {
                if (video == "" || audio == "") { exit 1 }
                printf "%s  (%.2f MB)\n", file, bytes / 1048576
                printf "    video: %s %dx%d at %.4g frames/s\n", video, width, height, rate
                printf "    audio: %s %d Hz, %d channels\n", audio, samples, channels
                printf "    duration: %.2f s\n", duration
            }' FS='|' || fail "ffprobe finds no pictures or no sound in $file"
}

convert() {
    local input=$1 target=$2 standard=$3
    local output="${input%.*}-$target-$standard.mpg"
    local log="$output.log"
    if ! "$bin/discforge-cli" --target "$target" --standard "$standard" --output "$output" "$input" 2> "$log"; then
        cat "$log" >&2
        fail "discforge-cli could not convert $input to $target ($standard)"
    fi
    [ -s "$output" ] || fail "$output was not written"
    describe "$output"
}

echo
echo "Converting with discforge-cli:"
for input in "$demo/clip.avi" "$demo/pictures.lst"; do
    convert "$input" vcd ntsc
    convert "$input" svcd pal
    convert "$input" dvd pal
done
echo
echo "Demo done: six disc streams in $demo."
