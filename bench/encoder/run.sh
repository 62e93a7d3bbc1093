#!/usr/bin/env bash
# Encodes the same synthetic pictures and tone with libconvert and with
# `ffmpeg -target` for each of the six disc targets and prints times, sizes and
# luma PSNR; then times the library's picture conversion against swscale's; then
# the whole conversion's picture quality at equal size (quality.sh).
# Usage: bench/encoder/run.sh <build folder>   (CLIP_SECONDS and ROUNDS may be set;
# not SECONDS, which bash keeps as the seconds since the shell started)
set -euo pipefail
build="${1:?usage: run.sh <build folder>}"
work="$build/bench-encoder"
"$build/bench/encoder_bench" "$build/bin" "$work" "${CLIP_SECONDS:-10}" "${ROUNDS:-3}"
echo
"$build/bench/conversion_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true 2>&1 |
  grep -E '^Benchmark|^-|_median'
echo
"$(dirname "$0")/quality.sh" "$build"
