#include "PictureConverter.h"

#include "EncoderMessages.h"

namespace discforge::convert {

EncodeStatus PictureConverter::Open(int sourceWidth, int sourceHeight, const DiscProfile& profile)
{
    sourceHeight_ = sourceHeight;
    width_ = profile.width;
    height_ = profile.height;
    colorSpace_ = profile.pal ? AVCOL_SPC_BT470BG : AVCOL_SPC_SMPTE170M;
    // Blue, green, red, X in memory is FFmpeg's "bgr0".
    scaler_.reset(sws_getContext(sourceWidth, sourceHeight, AV_PIX_FMT_BGR0, width_, height_, AV_PIX_FMT_YUV420P,
                                 SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!scaler_) {
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, FfmpegCause("sws_getContext()", AVERROR(EINVAL)));
    }
    return EncodeStatus::Done();
}

EncodeStatus PictureConverter::Convert(const uint8_t* pixels, int rowBytes, FrameHandle& picture)
{
    picture.reset(av_frame_alloc());
    if (!picture) {
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, message::outOfMemory);
    }
    picture->format = AV_PIX_FMT_YUV420P;
    picture->width = width_;
    picture->height = height_;
    picture->color_range = AVCOL_RANGE_MPEG;
    picture->colorspace = colorSpace_;
    const int error = av_frame_get_buffer(picture.get(), 0);
    if (error < 0) {
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, FfmpegCause("av_frame_get_buffer()", error));
    }
    // Starting at the top row and stepping backwards reads a bottom-up picture without a copy.
    const uint8_t* topRow = pixels + static_cast<ptrdiff_t>(sourceHeight_ - 1) * rowBytes;
    const uint8_t* const source[4] = {topRow, nullptr, nullptr, nullptr};
    const int sourceStride[4] = {-rowBytes, 0, 0, 0};
    const int rows = sws_scale(scaler_.get(), source, sourceStride, 0, sourceHeight_, picture->data, picture->linesize);
    if (rows != height_) {
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, FfmpegCause("sws_scale()", AVERROR(EINVAL)));
    }
    return EncodeStatus::Done();
}

} // namespace discforge::convert
