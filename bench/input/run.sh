#!/usr/bin/env bash
# Usage: bench/input/run.sh BUILD_DIR
# Every frame of a 60-second 640x480 MPEG-4 AVI through FetchVideoFrame against
# a plain libavcodec decode loop that converts each frame to BGRX.
set -euo pipefail
build="${1:?usage: $0 BUILD_DIR}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$build/bin/discforge-bench-input" "$work"
