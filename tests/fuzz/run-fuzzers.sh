#!/usr/bin/env bash
# Runs every picture reader's fuzz target, at full size and at panel size, and the
# project loader's, the script reader's and the subtitle reader's for a fixed time.
# Usage: run-fuzzers.sh BUILD_DIR [SECONDS_EACH] [FORMAT...]
#   (FORMAT: bmp pcx targa gif jpeg png panel_bmp panel_pcx panel_targa panel_gif panel_jpeg panel_png project avs subtitle picture_subtitle)
set -euo pipefail
build=${1:?build directory}
seconds=${2:-60}
shift $(( $# >= 2 ? 2 : 1 ))
formats=("$@")
[ ${#formats[@]} -eq 0 ] && formats=(bmp pcx targa gif jpeg png panel_bmp panel_pcx panel_targa panel_gif panel_jpeg panel_png project avs subtitle picture_subtitle)
here=$(cd "$(dirname "$0")" && pwd)
for format in "${formats[@]}"; do
  corpus="$build/fuzz-corpus/$format"
  mkdir -p "$corpus" "$build/fuzz-crashes"
  echo "== fuzz_$format for ${seconds}s"
  "$build/bin/fuzz_$format" -max_total_time="$seconds" -print_final_stats=1 \
    -rss_limit_mb=2048 -max_len=65536 -artifact_prefix="$build/fuzz-crashes/$format-" \
    "$corpus" "$here/seeds/${format#panel_}" $([ "$format" = project ] || [ "$format" = avs ] || [ "$format" = subtitle ] || [ "$format" = picture_subtitle ] || echo "$here/../picture/malformed")
done
