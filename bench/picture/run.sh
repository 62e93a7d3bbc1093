#!/usr/bin/env bash
# Rescale (after a copy of the frame, and straight from the frame's surface as the
# frame supply does) against libswscale (area filter for reductions, bilinear for
# enlargements) on the sizes the disc targets need, in one run; prints the times
# and, per picture size, swscale's time divided by Rescale's (above 1: we are
# faster), from the processor time of each, which other load disturbs least.
# Usage: bench/picture/run.sh BUILD_DIR
set -euo pipefail
build=${1:?build directory}
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$build/bin/bench_picture" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_format=csv > "$out"
grep -E '^name|_median' "$out" | cut -d, -f1,3,4,5
# The cases in the order of RescaleBench.cpp; swscale runs its area filter for
# reductions and its bilinear filter for enlargements.
awk -F, -v sizes="640x480>352x240,640x480>426x480,720x576>352x288,720x576>480x576,1280x720>720x405,1280x720>480x270,1920x1080>720x405,640x480>720x576,1280x720>352x216" '
/_median/ {
    gsub(/"/, "", $1); split($1, part, "/"); name = part[1]; size = part[2]; sub(/_.*/, "", size)
    time[name, size] = $4
    if (size + 1 > cases) cases = size + 1
} END {
    split(sizes, label, ",")
    printf "| case (processor time) | Rescale ms | from the surface ms | swscale ms | swscale / Rescale |\n|---|---|---|---|---|\n"
    for (size = 0; size < cases; ++size) {
        ours = time["DiscforgeRescale", size]; direct = time["DiscforgeRescaleFromSurface", size]
        theirs = time["Swscale", size]
        printf "| %s | %.3f | %.3f | %.3f | %.2f |\n", label[size + 1], ours, direct, theirs, theirs / ours
    }
}' "$out"
# The decoder's 4:2:0 pictures to 32-bit rows, ours against swscale's.
awk -F, '
/Yuv420ToBgrx.*_median/ {
    gsub(/"/, "", $1); split($1, part, "/"); sub(/_.*/, "", part[2]); time[part[1], part[2]] = $4
} END {
    split("640x480,720x576,1280x720", label, ",")
    printf "\n| 4:2:0 to BGRX (processor time) | ours us | swscale us |\n|---|---|---|\n"
    for (size = 0; size < 3; ++size)
        printf "| %s | %.1f | %.1f |\n", label[size + 1], time["DiscforgeYuv420ToBgrx", size], time["SwscaleYuv420ToBgrx", size]
}' "$out"
