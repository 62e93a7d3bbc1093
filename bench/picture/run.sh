#!/usr/bin/env bash
# Rescale (after a copy of the frame, and straight from the frame's surface as the
# frame supply does, with the frame in the cache and, as a decoder delivers it, not)
# against libswscale's bilinear scaling, in one run; prints the
# times and, per picture size, swscale's time divided by Rescale's (above 1: we are faster),
# from the processor time of each, which other load on the machine disturbs least.
# Usage: bench/picture/run.sh BUILD_DIR
set -euo pipefail
build=${1:?build directory}
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$build/bin/bench_picture" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_format=csv > "$out"
grep -E '^name|_median' "$out" | cut -d, -f1,3,4,5
awk -F, '/_median/ {
    gsub(/"/, "", $1); split($1, part, "/"); name = part[1]; size = part[2]; sub(/_.*/, "", size)
    time[name, size] = $4
    if (size + 1 > cases) cases = size + 1
} END {
    for (size = 0; size < cases; ++size) {
        ours = time["DiscforgeRescale", size]; direct = time["DiscforgeRescaleFromSurface", size]
        cold = time["DiscforgeRescaleFromColdSurface", size]; theirs = time["SwscaleBilinear", size]
        printf "case %d: Rescale %.3f ms, from the surface %.3f ms (not in the cache %.3f ms), swscale bilinear %.3f ms, ratio swscale/Rescale = %.2f\n",
               size, ours, direct, cold, theirs, theirs / ours
    }
}' "$out"
