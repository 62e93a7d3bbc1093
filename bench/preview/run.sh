#!/usr/bin/env bash
# Usage: bench/preview/run.sh BUILD_DIR
# The input and output previews of two H.264 clips that the ffmpeg tool makes
# (1280x720 at 29.97 and 1920x1080 at 25 frames per second, three seconds each,
# kept in BUILD_DIR/bench-media between runs): the time each frame's render takes
# (fetch, picture pipeline, panel) against the frame period; prints the table.
set -euo pipefail
build="${1:?usage: $0 BUILD_DIR}"
media="$build/bench-media/preview"
mkdir -p "$media"
make_clip() {
    local name=$1 size=$2 rate=$3
    if [ ! -s "$media/$name" ]; then
        ffmpeg -nostdin -v error -y -f lavfi -i "testsrc2=size=$size:rate=$rate" -t 3 \
            -c:v libx264 -preset veryfast -pix_fmt yuv420p "$media/$name"
    fi
}
make_clip h264-1280x720-2997.mp4 1280x720 30000/1001
make_clip h264-1920x1080-25.mp4 1920x1080 25
"$build/bin/discforge-bench-preview" "$media/h264-1280x720-2997.mp4" "$media/h264-1920x1080-25.mp4"
