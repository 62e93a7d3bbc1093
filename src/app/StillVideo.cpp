#include "app/StillVideo.h"

#include "app/AuthoringMessages.h"
#include "platform/FfmpegError.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <memory>

namespace discforge {
namespace {

// Half a second holds a few groups of pictures; the menu pauses on the last.
constexpr int stillFrames = 12;
constexpr int gopFrames = 6;
constexpr std::int64_t bitRate = 6'000'000;
constexpr std::int64_t maxRate = 9'000'000;
constexpr int vbvBits = 1'835'008; // the DVD decoder's buffer, 224 KiB

struct CodecFree {
    void operator()(AVCodecContext* codec) const { avcodec_free_context(&codec); }
};
struct FrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct OutputFree {
    void operator()(AVFormatContext* output) const
    {
        if ((output->oformat->flags & AVFMT_NOFILE) == 0) {
            avio_closep(&output->pb);
        }
        avformat_free_context(output);
    }
};
struct ScalerFree {
    void operator()(SwsContext* scaler) const { sws_freeContext(scaler); }
};

bool Failed(const char* call, const std::string& path, int code, std::string& error)
{
    error = AvFailure(MediaFailure::ResourceFailed, call, path, code).text;
    return false;
}

// The pixel shape that shows the stored frame 4:3 or 16:9.
AVRational PixelShape(int width, int height, bool wide)
{
    AVRational shape;
    av_reduce(&shape.num, &shape.den, static_cast<std::int64_t>(wide ? 16 : 4) * height,
        static_cast<std::int64_t>(wide ? 9 : 3) * width, 1 << 16);
    return shape;
}

// Encodes `frame` (null drains) and writes what comes out.
bool Encode(AVCodecContext* codec, AVFrame* frame, AVFormatContext* output, AVStream* stream, AVPacket* packet,
    const std::string& path, std::string& error)
{
    int result = avcodec_send_frame(codec, frame);
    if (result < 0) {
        return Failed("avcodec_send_frame()", path, result, error);
    }
    while ((result = avcodec_receive_packet(codec, packet)) >= 0) {
        av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
        packet->stream_index = stream->index;
        result = av_interleaved_write_frame(output, packet);
        if (result < 0) {
            return Failed("av_interleaved_write_frame()", path, result, error);
        }
    }
    return result == AVERROR(EAGAIN) || result == AVERROR_EOF ? true
                                                              : Failed("avcodec_receive_packet()", path, result, error);
}

} // namespace

bool WriteStillVideo(const QImage& picture, const StillShape& shape, const std::string& path, std::string& error)
{
    const QImage rows = picture.convertToFormat(QImage::Format_RGB32);
    if (rows.isNull() || rows.width() % 2 != 0 || rows.height() % 2 != 0) {
        error = authoring_message::menuEmpty;
        return false;
    }
    const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_MPEG2VIDEO);
    if (encoder == nullptr) {
        error = authoring_message::menuNoEncoder;
        return false;
    }
    AVFormatContext* made = nullptr;
    int result = avformat_alloc_output_context2(&made, nullptr, "dvd", path.c_str());
    if (result < 0 || made == nullptr) {
        return Failed("avformat_alloc_output_context2()", path, result, error);
    }
    const std::unique_ptr<AVFormatContext, OutputFree> output(made);
    const std::unique_ptr<AVCodecContext, CodecFree> codec(avcodec_alloc_context3(encoder));
    const std::unique_ptr<AVFrame, FrameFree> frame(av_frame_alloc());
    const std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
    if (!codec || !frame || !packet) {
        error = authoring_message::menuNoMemory;
        return false;
    }
    codec->width = rows.width();
    codec->height = rows.height();
    codec->pix_fmt = AV_PIX_FMT_YUV420P;
    codec->time_base = shape.pal ? AVRational{1, 25} : AVRational{1001, 30000};
    codec->framerate = av_inv_q(codec->time_base);
    codec->sample_aspect_ratio = PixelShape(rows.width(), rows.height(), shape.wide);
    codec->gop_size = gopFrames;
    codec->max_b_frames = 0;
    codec->bit_rate = bitRate;
    codec->rc_max_rate = maxRate;
    codec->rc_buffer_size = vbvBits;
    if ((output->oformat->flags & AVFMT_GLOBALHEADER) != 0) {
        codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    result = avcodec_open2(codec.get(), encoder, nullptr);
    if (result < 0) {
        return Failed("avcodec_open2()", path, result, error);
    }
    AVStream* stream = avformat_new_stream(output.get(), nullptr);
    if (stream == nullptr) {
        error = authoring_message::menuNoMemory;
        return false;
    }
    stream->time_base = codec->time_base;
    stream->sample_aspect_ratio = codec->sample_aspect_ratio;
    result = avcodec_parameters_from_context(stream->codecpar, codec.get());
    if (result < 0) {
        return Failed("avcodec_parameters_from_context()", path, result, error);
    }
    result = avio_open(&output->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (result < 0) {
        return Failed("avio_open()", path, result, error);
    }
    result = avformat_write_header(output.get(), nullptr);
    if (result < 0) {
        return Failed("avformat_write_header()", path, result, error);
    }

    frame->format = codec->pix_fmt;
    frame->width = codec->width;
    frame->height = codec->height;
    result = av_frame_get_buffer(frame.get(), 0);
    if (result < 0) {
        return Failed("av_frame_get_buffer()", path, result, error);
    }
    const std::unique_ptr<SwsContext, ScalerFree> scaler(sws_getContext(rows.width(), rows.height(), AV_PIX_FMT_BGRA,
        codec->width, codec->height, codec->pix_fmt, SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!scaler) {
        error = authoring_message::menuNoConverter;
        return false;
    }
    const std::uint8_t* source[1] = {rows.constBits()};
    const int pitch[1] = {static_cast<int>(rows.bytesPerLine())};
    sws_scale(scaler.get(), source, pitch, 0, rows.height(), frame->data, frame->linesize);
    for (int i = 0; i < stillFrames; ++i) {
        frame->pts = i;
        if (!Encode(codec.get(), frame.get(), output.get(), stream, packet.get(), path, error)) {
            return false;
        }
    }
    if (!Encode(codec.get(), nullptr, output.get(), stream, packet.get(), path, error)) {
        return false;
    }
    result = av_write_trailer(output.get());
    return result < 0 ? Failed("av_write_trailer()", path, result, error) : true;
}

} // namespace discforge
