// Writes the sample AVI files with FFmpeg's encoders and AVI muxer.
#include "mediagen/MediaGen.h"

#include "pattern/ClickTrack.h"
#include "pattern/FramePattern.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <cmath>
#include <memory>
#include <vector>

namespace discforge::mediagen {

namespace {

std::string Failure(const char* call, int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return std::string(call) + " failed: " + text;
}

struct CodecContextFree {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct OutputFree {
    void operator()(AVFormatContext* context) const
    {
        if (context->pb != nullptr) {
            avio_closep(&context->pb);
        }
        avformat_free_context(context);
    }
};
struct ScalerFree {
    void operator()(SwsContext* scaler) const { sws_freeContext(scaler); }
};

using CodecPtr = std::unique_ptr<AVCodecContext, CodecContextFree>;
using FramePtr = std::unique_ptr<AVFrame, FrameFree>;

struct Track {
    CodecPtr codec;
    AVStream* stream = nullptr;
};

class AviWriter {
public:
    explicit AviWriter(const AviRecipe& recipe)
        : spec_(recipe)
    {
    }
    bool Write(std::string& error);

private:
    bool OpenVideo(std::string& error);
    bool OpenAudio(std::string& error);
    bool EncodeVideoFrame(std::int64_t number, std::string& error);
    bool EncodeAudioUpTo(std::int64_t end, std::string& error);
    bool Send(Track& track, const AVFrame* frame, std::string& error);

    const AviRecipe& spec_;
    std::unique_ptr<AVFormatContext, OutputFree> output_;
    Track video_;
    Track audio_;
    FramePtr picture_;
    FramePtr sound_;
    std::unique_ptr<SwsContext, ScalerFree> scaler_;
    std::vector<std::uint8_t> bgr_;
    std::unique_ptr<AVPacket, PacketFree> packet_{av_packet_alloc()};
    std::int64_t audioPosition_ = 0;
};

bool AviWriter::OpenVideo(std::string& error)
{
    const AVCodecID id = spec_.video == VideoCodec::Mpeg4 ? AV_CODEC_ID_MPEG4
        : spec_.video == VideoCodec::Mjpeg                ? AV_CODEC_ID_MJPEG
                                                          : AV_CODEC_ID_RAWVIDEO;
    const AVCodec* encoder = avcodec_find_encoder(id);
    if (encoder == nullptr) {
        error = std::string("no encoder for ") + avcodec_get_name(id);
        return false;
    }
    video_.codec.reset(avcodec_alloc_context3(encoder));
    AVCodecContext* codec = video_.codec.get();
    int numerator = 0;
    int denominator = 0;
    FrameRateFraction(spec_.rate, numerator, denominator);
    codec->width = spec_.width;
    codec->height = spec_.height;
    codec->time_base = AVRational{denominator, numerator};
    codec->framerate = AVRational{numerator, denominator};
    codec->pix_fmt = spec_.video == VideoCodec::Mpeg4 ? AV_PIX_FMT_YUV420P
        : spec_.video == VideoCodec::Mjpeg            ? AV_PIX_FMT_YUVJ420P
                                                      : AV_PIX_FMT_BGR24;
    codec->gop_size = spec_.keyFrameInterval;
    codec->max_b_frames = 0;
    codec->flags |= AV_CODEC_FLAG_QSCALE;
    codec->global_quality = FF_QP2LAMBDA * 3;
    if (spec_.fourCC.size() == 4) {
        codec->codec_tag = MKTAG(spec_.fourCC[0], spec_.fourCC[1], spec_.fourCC[2], spec_.fourCC[3]);
    }
    int result = avcodec_open2(codec, encoder, nullptr);
    if (result < 0) {
        error = Failure("avcodec_open2(video)", result);
        return false;
    }
    video_.stream = avformat_new_stream(output_.get(), nullptr);
    if (video_.stream == nullptr) {
        error = "avformat_new_stream() failed";
        return false;
    }
    avcodec_parameters_from_context(video_.stream->codecpar, codec);
    video_.stream->time_base = codec->time_base;
    video_.stream->avg_frame_rate = codec->framerate;

    picture_.reset(av_frame_alloc());
    picture_->format = codec->pix_fmt;
    picture_->width = spec_.width;
    picture_->height = spec_.height;
    result = av_frame_get_buffer(picture_.get(), 0);
    if (result < 0) {
        error = Failure("av_frame_get_buffer(video)", result);
        return false;
    }
    if (spec_.video != VideoCodec::RawRgb) {
        bgr_.resize(static_cast<std::size_t>(spec_.width) * static_cast<std::size_t>(spec_.height) * 3);
        scaler_.reset(sws_getContext(spec_.width, spec_.height, AV_PIX_FMT_BGR24, spec_.width, spec_.height,
            codec->pix_fmt, SWS_BICUBIC, nullptr, nullptr, nullptr));
        if (!scaler_) {
            error = "sws_getContext() failed";
            return false;
        }
    }
    return true;
}

bool AviWriter::OpenAudio(std::string& error)
{
    const bool eightBit = spec_.audio == AudioForm::Mono8At11025 || spec_.audio == AudioForm::Mono8At22050;
    const AVCodecID id = spec_.audio == AudioForm::Mp3 ? AV_CODEC_ID_MP3
        : eightBit                                     ? AV_CODEC_ID_PCM_U8
                                                       : AV_CODEC_ID_PCM_S16LE;
    const AVCodec* encoder = avcodec_find_encoder(id);
    if (encoder == nullptr) {
        error = std::string("no encoder for ") + avcodec_get_name(id);
        return false;
    }
    audio_.codec.reset(avcodec_alloc_context3(encoder));
    AVCodecContext* codec = audio_.codec.get();
    codec->sample_rate = AudioSampleRate(spec_.audio);
    codec->time_base = AVRational{1, codec->sample_rate};
    av_channel_layout_default(&codec->ch_layout, eightBit ? 1 : 2);
    codec->sample_fmt = id == AV_CODEC_ID_MP3 ? AV_SAMPLE_FMT_S16P : eightBit ? AV_SAMPLE_FMT_U8 : AV_SAMPLE_FMT_S16;
    codec->bit_rate = id == AV_CODEC_ID_MP3 ? 128000 : 0;
    int result = avcodec_open2(codec, encoder, nullptr);
    if (result < 0) {
        error = Failure("avcodec_open2(audio)", result);
        return false;
    }
    audio_.stream = avformat_new_stream(output_.get(), nullptr);
    if (audio_.stream == nullptr) {
        error = "avformat_new_stream() failed";
        return false;
    }
    avcodec_parameters_from_context(audio_.stream->codecpar, codec);
    audio_.stream->time_base = codec->time_base;
    sound_.reset(av_frame_alloc());
    return true;
}

bool AviWriter::Send(Track& track, const AVFrame* frame, std::string& error)
{
    int result = avcodec_send_frame(track.codec.get(), frame);
    if (result < 0) {
        error = Failure("avcodec_send_frame()", result);
        return false;
    }
    for (;;) {
        result = avcodec_receive_packet(track.codec.get(), packet_.get());
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) {
            return true;
        }
        if (result < 0) {
            error = Failure("avcodec_receive_packet()", result);
            return false;
        }
        // MP3 starts with the coder's delay at negative times; AVI has no such
        // times, and the muxer would shift the video to make room. The delay
        // is kept as sound at the start instead.
        if (track.codec->initial_padding > 0) {
            packet_->pts += packet_->pts != AV_NOPTS_VALUE ? track.codec->initial_padding : 0;
            packet_->dts += packet_->dts != AV_NOPTS_VALUE ? track.codec->initial_padding : 0;
        }
        av_packet_rescale_ts(packet_.get(), track.codec->time_base, track.stream->time_base);
        packet_->stream_index = track.stream->index;
        result = av_interleaved_write_frame(output_.get(), packet_.get());
        if (result < 0) {
            error = Failure("av_interleaved_write_frame()", result);
            return false;
        }
    }
}

bool AviWriter::EncodeVideoFrame(std::int64_t number, std::string& error)
{
    int result = av_frame_make_writable(picture_.get());
    if (result < 0) {
        error = Failure("av_frame_make_writable()", result);
        return false;
    }
    if (spec_.video == VideoCodec::RawRgb) {
        // Uncompressed AVI rows are stored bottom-up.
        pattern::DrawFramePattern(
            pattern::PatternImage{picture_->data[0], spec_.width, spec_.height, picture_->linesize[0], 3, true},
            number);
    } else {
        pattern::DrawFramePattern(
            pattern::PatternImage{bgr_.data(), spec_.width, spec_.height, spec_.width * 3, 3, false}, number);
        const std::uint8_t* planes[1] = {bgr_.data()};
        const int pitches[1] = {spec_.width * 3};
        sws_scale(scaler_.get(), planes, pitches, 0, spec_.height, picture_->data, picture_->linesize);
    }
    picture_->pts = number;
    return Send(video_, picture_.get(), error);
}

bool AviWriter::EncodeAudioUpTo(std::int64_t end, std::string& error)
{
    AVCodecContext* codec = audio_.codec.get();
    const int rate = codec->sample_rate;
    const int chunk = codec->frame_size > 0 ? codec->frame_size : std::max(1, rate / 25);
    const bool eightBit = codec->sample_fmt == AV_SAMPLE_FMT_U8;
    const bool planar = codec->sample_fmt == AV_SAMPLE_FMT_S16P;
    const int channels = codec->ch_layout.nb_channels;
    // A fixed-size encoder gets whole frames; the last one is padded past the end.
    while (audioPosition_ < end) {
        int count
            = codec->frame_size > 0 ? chunk : static_cast<int>(std::min<std::int64_t>(chunk, end - audioPosition_));
        av_frame_unref(sound_.get());
        sound_->format = codec->sample_fmt;
        sound_->sample_rate = rate;
        sound_->nb_samples = count;
        av_channel_layout_copy(&sound_->ch_layout, &codec->ch_layout);
        int result = av_frame_get_buffer(sound_.get(), 0);
        if (result < 0) {
            error = Failure("av_frame_get_buffer(audio)", result);
            return false;
        }
        for (int i = 0; i < count; ++i) {
            double value = pattern::ClickTrackValue(audioPosition_ + i, rate);
            for (int c = 0; c < channels; ++c) {
                if (eightBit) {
                    sound_->data[0][i * channels + c] = static_cast<std::uint8_t>(128 + std::lround(value * 127));
                } else {
                    auto word = static_cast<std::int16_t>(std::lround(value * 32767));
                    auto* samples = reinterpret_cast<std::int16_t*>(sound_->data[planar ? c : 0]);
                    samples[planar ? i : i * channels + c] = word;
                }
            }
        }
        sound_->pts = audioPosition_;
        audioPosition_ += count;
        if (!Send(audio_, sound_.get(), error)) {
            return false;
        }
    }
    return true;
}

bool AviWriter::Write(std::string& error)
{
    if (spec_.width < 32 || spec_.height < 32 || spec_.width > 4096 || spec_.height > 4096 || spec_.width % 2 != 0
        || spec_.height % 2 != 0) {
        error = "width and height must be even and from 32 to 4096";
        return false;
    }
    if (spec_.frames < 1 || spec_.frames > pattern::maxFrameNumber + 1) {
        error = "the frame count must be from 1 to " + std::to_string(pattern::maxFrameNumber + 1);
        return false;
    }
    if (!spec_.fourCC.empty() && spec_.fourCC.size() != 4) {
        error = "a four-character code has four characters";
        return false;
    }
    AVFormatContext* output = nullptr;
    int result = avformat_alloc_output_context2(&output, nullptr, "avi", spec_.path.c_str());
    if (result < 0) {
        error = Failure("avformat_alloc_output_context2()", result);
        return false;
    }
    output_.reset(output);
    if (spec_.video == VideoCodec::None && spec_.audio == AudioForm::None) {
        error = "a file needs video or sound";
        return false;
    }
    if ((spec_.video != VideoCodec::None && !OpenVideo(error))
        || (spec_.audio != AudioForm::None && !OpenAudio(error))) {
        return false;
    }
    result = avio_open(&output_->pb, spec_.path.c_str(), AVIO_FLAG_WRITE);
    if (result < 0) {
        error = Failure("avio_open()", result);
        return false;
    }
    AVDictionary* options = nullptr;
    av_dict_set(&options, "flipped_raw_rgb", "1", 0);
    result = avformat_write_header(output_.get(), &options);
    av_dict_free(&options);
    if (result < 0) {
        error = Failure("avformat_write_header()", result);
        return false;
    }
    int numerator = 0;
    int denominator = 0;
    FrameRateFraction(spec_.rate, numerator, denominator);
    const std::int64_t rate = AudioSampleRate(spec_.audio);
    for (std::int64_t number = 0; number < spec_.frames; ++number) {
        if (video_.codec && !EncodeVideoFrame(number, error)) {
            return false;
        }
        if (audio_.codec && !EncodeAudioUpTo(av_rescale(number + 1, rate * denominator, numerator), error)) {
            return false;
        }
    }
    if ((video_.codec && !Send(video_, nullptr, error)) || (audio_.codec && !Send(audio_, nullptr, error))) {
        return false;
    }
    result = av_write_trailer(output_.get());
    if (result < 0) {
        error = Failure("av_write_trailer()", result);
        return false;
    }
    return true;
}

} // namespace

void FrameRateFraction(FrameRate rate, int& numerator, int& denominator)
{
    switch (rate) {
    case FrameRate::Pal25:
        numerator = 25;
        denominator = 1;
        return;
    case FrameRate::Ntsc2997:
        numerator = 30000;
        denominator = 1001;
        return;
    case FrameRate::Exact2997:
        numerator = 2997;
        denominator = 100;
        return;
    case FrameRate::Film23976:
        numerator = 24000;
        denominator = 1001;
        return;
    }
    numerator = 25;
    denominator = 1;
}

int AudioSampleRate(AudioForm form)
{
    switch (form) {
    case AudioForm::Stereo16At44100:
    case AudioForm::Mp3:
        return 44100;
    case AudioForm::Stereo16At48000:
        return 48000;
    case AudioForm::Mono8At11025:
        return 11025;
    case AudioForm::Mono8At22050:
        return 22050;
    case AudioForm::None:
        return 0;
    }
    return 0;
}

bool WriteAvi(const AviRecipe& recipe, std::string& error)
{
    AviWriter writer(recipe);
    return writer.Write(error);
}

} // namespace discforge::mediagen
