# Sources the benchmarks share, made by the ffmpeg program. Sourced, not run.

# The photograph-like still a camera pan crosses, at PATH (kept between runs): three
# times the widest disc frame each way, leaves-like texture of several scales over a
# fractal's edges and a sky's gradients.
make_pan_still() {
    local still=$1
    [ -s "$still" ] && return
    ffmpeg -nostdin -v error -y -f lavfi -i "mandelbrot=size=2160x1728:maxiter=400:start_scale=1.2,format=yuv444p" \
        -f lavfi -i "gradients=size=2160x1728:n=5:seed=7,format=yuv444p" \
        -f lavfi -i "color=gray:size=270x216,noise=alls=90:allf=u,scale=2160x1728:flags=bicubic,format=yuv444p" \
        -f lavfi -i "color=gray:size=1080x864,noise=alls=70:allf=u,scale=2160x1728:flags=bicubic,format=yuv444p" \
        -filter_complex "[0][1]blend=all_mode=softlight[a];[a][2]blend=all_mode=overlay:all_opacity=0.6[b];[b][3]blend=all_mode=overlay:all_opacity=0.4,noise=alls=6" \
        -frames:v 1 "$still.making.png"
    mv "$still.making.png" "$still"
}

# The crop filter that pans a WIDTH x HEIGHT frame across the still over SECONDS, down
# and to the right.
pan_crop() {
    local width=$1 height=$2 seconds=$3
    echo "crop=$width:$height:x='t*(in_w-$width)/($seconds+1)':y='t*(in_h-$height)/(2*$seconds+2)'"
}
