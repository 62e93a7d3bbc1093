#include "PictureConverter.h"

#include "BgrxToYuv420.h"
#include "EncoderMessages.h"
#include "FieldCoding.h"

#include <cstring>

extern "C" {
#include <libavutil/imgutils.h>
}

namespace discforge::convert {
namespace {

// Rows start on 64-byte boundaries for the encoder's vector code; the slack at the end
// covers its reads past the last pixel, as FFmpeg's own frame buffers do.
constexpr int rowAlignment = 64;
constexpr int frameSlack = 128;

} // namespace

EncodeStatus PictureConverter::Open(int sourceWidth, int sourceHeight, const DiscProfile& profile)
{
    sourceWidth_ = sourceWidth;
    sourceHeight_ = sourceHeight;
    width_ = profile.width;
    height_ = profile.height;
    colorSpace_ = profile.pal ? AVCOL_SPC_BT470BG : AVCOL_SPC_SMPTE170M;
    fields_ = profile.fields;
    // A field's colour rows pair rows four apart in the frame.
    fieldsApart_ = fields_ != PictureFields::frames && height_ % 4 == 0 && sourceHeight % 2 == 0 ? 2 : 1;
    const int frameBytes = av_image_get_buffer_size(AV_PIX_FMT_YUV420P, width_, height_, rowAlignment);
    if (frameBytes < 0) {
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, FfmpegCause("av_image_get_buffer_size()", frameBytes));
    }
    frames_.reset(av_buffer_pool_init(static_cast<std::size_t>(frameBytes) + frameSlack, nullptr));
    if (!frames_) {
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, message::outOfMemory);
    }
    const bool sameSize = sourceWidth == width_ && sourceHeight == height_ && width_ % 2 == 0 && height_ % 2 == 0;
    if (sameSize) {
        return EncodeStatus::Done();
    }
    // Blue, green, red, X in memory is FFmpeg's "bgr0".
    scaler_.reset(sws_getContext(sourceWidth, sourceHeight / fieldsApart_, AV_PIX_FMT_BGR0, width_,
        height_ / fieldsApart_, AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!scaler_) {
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, FfmpegCause("sws_getContext()", AVERROR(EINVAL)));
    }
    return EncodeStatus::Done();
}

EncodeStatus PictureConverter::NewFrame(FrameHandle& picture)
{
    picture.reset(av_frame_alloc());
    if (!picture) {
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, message::outOfMemory);
    }
    picture->buf[0] = av_buffer_pool_get(frames_.get());
    if (picture->buf[0] == nullptr) {
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, message::outOfMemory);
    }
    const int filled = av_image_fill_arrays(
        picture->data, picture->linesize, picture->buf[0]->data, AV_PIX_FMT_YUV420P, width_, height_, rowAlignment);
    if (filled < 0) {
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, FfmpegCause("av_image_fill_arrays()", filled));
    }
    picture->format = AV_PIX_FMT_YUV420P;
    picture->width = width_;
    picture->height = height_;
    picture->color_range = AVCOL_RANGE_MPEG;
    picture->colorspace = colorSpace_;
    MarkFields(*picture, fields_);
    return EncodeStatus::Done();
}

EncodeStatus PictureConverter::Convert(const uint8_t* pixels, FrameHandle& picture)
{
    EncodeStatus status = NewFrame(picture);
    if (!status.Ok()) {
        return status;
    }
    const std::ptrdiff_t rowBytes = std::ptrdiff_t{4} * sourceWidth_;
    // Starting at the top row and stepping backwards reads a bottom-up picture in place.
    const uint8_t* topRow = pixels + (sourceHeight_ - 1) * rowBytes;
    if (!scaler_) {
        if (reinterpret_cast<uintptr_t>(pixels) % alignof(uint32_t) != 0) {
            aligned_.resize(static_cast<std::size_t>(sourceWidth_) * static_cast<std::size_t>(sourceHeight_));
            std::memcpy(aligned_.data(), pixels, aligned_.size() * sizeof(uint32_t));
            topRow = reinterpret_cast<const uint8_t*>(aligned_.data()) + (sourceHeight_ - 1) * rowBytes;
        }
        // Field f is every other row from row f, in the picture and in each plane.
        for (int field = 0; field < fieldsApart_; ++field) {
            const Yuv420Planes planes{picture->data[0] + field * picture->linesize[0],
                picture->data[1] + field * picture->linesize[1], picture->data[2] + field * picture->linesize[2],
                std::ptrdiff_t{picture->linesize[0]} * fieldsApart_, std::ptrdiff_t{picture->linesize[1]} * fieldsApart_};
            const auto* first = reinterpret_cast<const uint32_t*>(topRow) - std::ptrdiff_t{field} * sourceWidth_;
            ConvertBgrxToYuv420(first, -static_cast<std::ptrdiff_t>(sourceWidth_) * fieldsApart_, width_,
                height_ / fieldsApart_, planes);
        }
        return EncodeStatus::Done();
    }
    for (int field = 0; field < fieldsApart_; ++field) {
        const uint8_t* const source[4] = {topRow - field * rowBytes, nullptr, nullptr, nullptr};
        const int sourceStride[4] = {-sourceWidth_ * 4 * fieldsApart_, 0, 0, 0};
        uint8_t* const target[4] = {picture->data[0] + field * picture->linesize[0],
            picture->data[1] + field * picture->linesize[1], picture->data[2] + field * picture->linesize[2], nullptr};
        const int targetStride[4] = {picture->linesize[0] * fieldsApart_, picture->linesize[1] * fieldsApart_,
            picture->linesize[2] * fieldsApart_, 0};
        const int rows
            = sws_scale(scaler_.get(), source, sourceStride, 0, sourceHeight_ / fieldsApart_, target, targetStride);
        if (rows != height_ / fieldsApart_) {
            return EncodeStatus::Fail(ENCODE_CODEC_FAILED, FfmpegCause("sws_scale()", AVERROR(EINVAL)));
        }
    }
    return EncodeStatus::Done();
}

} // namespace discforge::convert
