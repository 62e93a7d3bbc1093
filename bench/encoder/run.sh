#!/usr/bin/env bash
# Encodes the same synthetic PAL DVD pictures with libconvert and with
# `ffmpeg -target pal-dvd` and prints wall times, sizes and luma PSNR.
# Usage: bench/encoder/run.sh <build folder>   (PICTURES and ROUNDS may be set)
set -euo pipefail
build="${1:?usage: run.sh <build folder>}"
work="$build/bench-encoder"
"$build/bench/encoder_bench" "$build/bin" "$work" "${PICTURES:-250}" "${ROUNDS:-3}"
