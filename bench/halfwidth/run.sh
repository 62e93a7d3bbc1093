#!/usr/bin/env bash
# Full-width (720 x 576) against half-width (352 x 576) PAL DVD pictures at the same
# low video rates, to find the rate below which a long batch looks better at half
# width. Two 60 s sources that the ffmpeg tool makes at 720 x 576, 25 frames a second,
# kept between runs as lossless AVIs (FFV-Huffman):
#   zoom   a Mandelbrot zoom: fine detail in motion;
#   pan    a camera pan over a large photograph-like still.
# Each is encoded by ffmpeg's MPEG-2 encoder with the settings of our library's DVD
# streams (closed GOPs of 15 without B-pictures, a flat intra matrix, the second
# intra VLC table, a 224 KiB VBV, a 9.7 Mbit/s peak, two passes), once at 720 and
# once at 352 columns; each decode is compared with the source at the size the TV
# shows (the half-width picture scaled back to 720 columns, as a player does):
# luma PSNR and SSIM from ffmpeg's psnr and ssim filters.
# Usage: bench/halfwidth/run.sh BUILD_DIR   (HALF_SECONDS, RATES in Mbit/s, SOURCES may be set)
set -euo pipefail

build=${1:?usage: run.sh BUILD_DIR}
seconds=${HALF_SECONDS:-60}
rates=${RATES:-"1.0 1.5 2.0 2.5 3.0"}
sources=${SOURCES:-"zoom pan"}
work="$build/bench-halfwidth"
for tool in ffmpeg bc; do
    command -v "$tool" > /dev/null || { echo "bench: $tool is missing" >&2; exit 1; }
done
mkdir -p "$work"

# The still the pan crosses.
. "$(dirname "$0")/../lib/sources.sh"
still="$work/still-2160x1728.png"
make_pan_still "$still"

make_source() {
    local kind=$1 path=$2
    [ -s "$path" ] && return
    local picture filter=null
    case $kind in
    zoom) picture=(-f lavfi -i "mandelbrot=size=720x576:rate=25:maxiter=600:end_pts=300:end_scale=0.1") ;;
    pan)
        picture=(-loop 1 -framerate 25 -i "$still")
        filter=$(pan_crop 720 576 "$seconds")
        ;;
    esac
    ffmpeg -nostdin -v error -y "${picture[@]}" -vf "$filter" -t "$seconds" -an -c:v ffvhuff -pix_fmt yuv420p \
        "$path.making.avi"
    mv "$path.making.avi" "$path"
}

flat_matrix=$(printf '16,%.0s' $(seq 63))16

# Two passes of our DVD settings at WIDTH columns and RATE bit/s into OUTPUT; false
# when the encoder cannot get down to the rate even at its coarsest quantiser.
encode() {
    local input=$1 width=$2 rate=$3 output=$4
    local settings=(-vf "scale=$width:576:flags=bicubic" -c:v mpeg2video -threads 1 -g 15 -bf 0 -flags +cgop
        -sc_threshold 1000000000 -intra_matrix "$flat_matrix" -intra_vlc 1 -b:v "$rate" -maxrate 9700000
        -bufsize 1835008 -pix_fmt yuv420p -an -passlogfile "$work/passlog")
    rm -f "$output"
    ffmpeg -nostdin -v error -y -i "$input" "${settings[@]}" -pass 1 -f null - 2> "$work/encode.txt" &&
        ffmpeg -nostdin -v error -y -i "$input" "${settings[@]}" -pass 2 "$output" 2>> "$work/encode.txt" &&
        ! grep -q "bitrate too low" "$work/encode.txt"
}

# "PSNR SSIM" of an encode, or "- -" when it could not reach its rate.
encoded_score() {
    if encode "$1" "$2" "$3" "$4"; then score "$4" "$1"; else echo "- -"; fi
}

# "PSNR SSIM" of the luma of a stream shown at 720 x 576 against the source's.
score() {
    ffmpeg -nostdin -hide_banner -i "$1" -i "$2" -lavfi \
        "[0:v]scale=720:576:flags=bicubic,setpts=PTS-STARTPTS,split[a][b];[1:v]setpts=PTS-STARTPTS,split[c][d];[a][c]psnr=shortest=1;[b][d]ssim=shortest=1" \
        -f null - 2>&1 | awk '/Parsed_psnr/ { for (i = 1; i <= NF; ++i) if ($i ~ /^y:/) { sub("y:", "", $i); psnr = $i } }
                             /Parsed_ssim/ { for (i = 1; i <= NF; ++i) if ($i ~ /^Y:/) { sub("Y:", "", $i); ssim = $i } }
                             END { print psnr, ssim }'
}

# "dB / SSIM" of a score, "cannot reach" for an encode that missed its rate.
cell() {
    if [ "$1" = - ]; then echo "cannot reach"; else printf "%6.2f / %.4f" "$1" "$2"; fi
}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
echo "machine: $(nproc) cores, load average before: $load_before; $seconds s PAL sources; luma PSNR (dB) and SSIM"
echo "against the source at 720 x 576; the half-width decode scaled back with bicubic"
echo
printf "| %-6s | %-7s | %-16s | %-16s | %-8s | %-7s |\n" source "Mbit/s" "720: dB / SSIM" "352: dB / SSIM" "dB 352" "better"
printf "| %-6s | %-7s | %-16s | %-16s | %-8s | %-7s |\n" --- --- --- --- --- ---
for kind in $sources; do
    input="$work/$kind-$seconds.avi"
    make_source "$kind" "$input"
    for rate in $rates; do
        bits=$(echo "$rate * 1000000 / 1" | bc)
        read -r fullPsnr fullSsim <<< "$(encoded_score "$input" 720 "$bits" "$work/full.m2v")"
        read -r halfPsnr halfSsim <<< "$(encoded_score "$input" 352 "$bits" "$work/half.m2v")"
        if [ "$fullPsnr" = - ] || [ "$halfPsnr" = - ]; then
            # A width that cannot reach the rate loses to one that can.
            better=$([ "$fullPsnr" = - ] && [ "$halfPsnr" != - ] && echo 352 || echo 720)
            printf "| %-6s | %-7s | %16s | %16s | %8s | %-7s |\n" "$kind" "$rate" "$(cell "$fullPsnr" "$fullSsim")" \
                "$(cell "$halfPsnr" "$halfSsim")" - "$better"
            continue
        fi
        gain=$(echo "$halfPsnr - $fullPsnr" | bc -l)
        better=$(echo "$halfPsnr > $fullPsnr && $halfSsim > $fullSsim" | bc)
        printf "| %-6s | %-7s | %6.2f / %.4f | %6.2f / %.4f | %+8.2f | %-7s |\n" "$kind" "$rate" "$fullPsnr" \
            "$fullSsim" "$halfPsnr" "$halfSsim" "$gain" "$([ "$better" = 1 ] && echo 352 || echo 720)"
    done
done
