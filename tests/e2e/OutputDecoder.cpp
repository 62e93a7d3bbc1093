#include "OutputDecoder.h"

#include "FfmpegHandles.h"

#include "pattern/ClickTrack.h"
#include "pattern/FramePattern.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>
#include <memory>

namespace discforge::test {
namespace {

struct InputCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};

using convert::CodecContextHandle;

CodecContextHandle OpenDecoder(const AVStream* stream)
{
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (codec == nullptr) {
        return nullptr;
    }
    CodecContextHandle decoder(avcodec_alloc_context3(codec));
    if (!decoder || avcodec_parameters_to_context(decoder.get(), stream->codecpar) < 0 ||
        avcodec_open2(decoder.get(), codec, nullptr) < 0) {
        return nullptr;
    }
    return decoder;
}

double TimeOf(const AVFrame* frame, const AVStream* stream)
{
    return static_cast<double>(frame->best_effort_timestamp) * av_q2d(stream->time_base);
}

// Where the generated picture lies in a frame that may hold it between black bands:
// the rows and columns with a pixel lighter than the bands' black (the picture's
// band has white cells in every row, and light cells or bars in every column).
pattern::PatternRegion PictureInside(const pattern::ConstPatternImage& image)
{
    constexpr int bandLight = 48;
    int left = image.width;
    int right = -1;
    int top = image.height;
    int bottom = -1;
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* row = image.pixels + static_cast<std::ptrdiff_t>(y) * image.stride;
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* pixel = row + static_cast<std::ptrdiff_t>(x) * image.bytesPerPixel;
            if (pixel[0] > bandLight || pixel[1] > bandLight || pixel[2] > bandLight) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < left || bottom < top) {
        return {};
    }
    return {left, top, right - left + 1, bottom - top + 1};
}

// Turns every decoded picture into blue-green-red rows and reads the band across its top.
class PictureReader {
public:
    explicit PictureReader(const std::vector<PictureReading>& readings)
        : readings_(readings)
    {
    }

    void Take(const AVFrame* frame, double time, DecodedOutput& output)
    {
        scaler_.reset(sws_getCachedContext(scaler_.release(), frame->width, frame->height,
                                           static_cast<AVPixelFormat>(frame->format), frame->width, frame->height,
                                           AV_PIX_FMT_BGR24, SWS_POINT, nullptr, nullptr, nullptr));
        const int stride = frame->width * 3;
        rows_.resize(static_cast<std::size_t>(stride) * static_cast<std::size_t>(frame->height));
        uint8_t* planes[1] = {rows_.data()};
        const int strides[1] = {stride};
        DecodedPicture picture;
        // A program stream need not stamp every picture, and the decoder hands them out
        // in display order: one without a stamp follows the one before it.
        const bool stamped = frame->best_effort_timestamp != AV_NOPTS_VALUE;
        picture.time = stamped || output.pictures.empty() ? time : output.pictures.back().time + output.frameDuration;
        if (scaler_ && sws_scale(scaler_.get(), frame->data, frame->linesize, 0, frame->height, planes, strides) ==
                           frame->height) {
            const pattern::ConstPatternImage image{rows_.data(), frame->width, frame->height, stride, 3, false};
            picture.number = pattern::ReadFrameNumber(image, PictureInside(image));
            for (const PictureReading& reading : readings_) {
                picture.readings.push_back(reading(image));
            }
        }
        output.width = frame->width;
        output.height = frame->height;
        output.pictures.push_back(picture);
    }

private:
    const std::vector<PictureReading>& readings_;
    convert::ScaleHandle scaler_;
    std::vector<uint8_t> rows_;
};

// Keeps the first channel of the whole sound as 16-bit words. Only the first time stamp
// counts: the demuxer attaches the later ones to neighbouring blocks now and then when a
// block spans two packets.
class SoundCollector {
public:
    void Take(const AVFrame* frame, double time, DecodedOutput& output)
    {
        if (samples_ == 0) {
            output.soundStart = time;
        }
        output.sampleRate = frame->sample_rate;
        const auto format = static_cast<AVSampleFormat>(frame->format);
        for (int i = 0; i < frame->nb_samples; ++i) {
            const int index = av_sample_fmt_is_planar(format) ? i : i * frame->ch_layout.nb_channels;
            double value = 0;
            if (format == AV_SAMPLE_FMT_FLTP || format == AV_SAMPLE_FMT_FLT) {
                value = reinterpret_cast<const float*>(frame->data[0])[index];
            } else if (format == AV_SAMPLE_FMT_S16P || format == AV_SAMPLE_FMT_S16) {
                value = reinterpret_cast<const int16_t*>(frame->data[0])[index] / 32768.0;
            }
            const auto word = static_cast<int16_t>(std::lround(std::clamp(value, -1.0, 32767.0 / 32768) * 32768));
            pcm_.push_back(static_cast<uint8_t>(word & 0xFF));
            pcm_.push_back(static_cast<uint8_t>((word >> 8) & 0xFF));
        }
        samples_ += frame->nb_samples;
    }

    void FindClicks(DecodedOutput& output) const
    {
        for (const std::int64_t position : pattern::FindClicks(pcm_.data(), pcm_.size(), 1, 16)) {
            output.clicks.push_back(output.soundStart + static_cast<double>(position) / output.sampleRate);
        }
    }

private:
    std::vector<uint8_t> pcm_;
    std::int64_t samples_ = 0;
};

struct StreamDecoder {
    const AVStream* stream = nullptr;
    CodecContextHandle decoder;
};

} // namespace

DecodedOutput DecodeOutput(const std::string& path, const std::vector<PictureReading>& readings)
{
    DecodedOutput output;
    // The navigation packs of a DVD stream carry no time; FFmpeg's remark on that is noise here.
    av_log_set_level(AV_LOG_ERROR);
    AVFormatContext* opened = nullptr;
    if (avformat_open_input(&opened, path.c_str(), nullptr, nullptr) < 0) {
        output.error = "cannot open " + path;
        return output;
    }
    std::unique_ptr<AVFormatContext, InputCloser> input(opened);
    if (avformat_find_stream_info(input.get(), nullptr) < 0) {
        output.error = "no stream information in " + path;
        return output;
    }
    StreamDecoder video;
    StreamDecoder sound;
    const int videoIndex = av_find_best_stream(input.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    const int soundIndex = av_find_best_stream(input.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (videoIndex < 0 || soundIndex < 0) {
        output.error = "pictures or sound missing in " + path;
        return output;
    }
    video.stream = input->streams[videoIndex];
    sound.stream = input->streams[soundIndex];
    video.decoder = OpenDecoder(video.stream);
    sound.decoder = OpenDecoder(sound.stream);
    if (!video.decoder || !sound.decoder) {
        output.error = "no decoder for the streams of " + path;
        return output;
    }
    output.frameDuration = 1.0 / av_q2d(video.stream->avg_frame_rate);

    PictureReader pictures(readings);
    SoundCollector collector;
    convert::FrameHandle frame(av_frame_alloc());
    convert::PacketHandle packet(av_packet_alloc());
    const auto drain = [&](StreamDecoder& stream) {
        while (avcodec_receive_frame(stream.decoder.get(), frame.get()) == 0) {
            const double time = TimeOf(frame.get(), stream.stream);
            if (stream.stream == video.stream) {
                pictures.Take(frame.get(), time, output);
            } else {
                collector.Take(frame.get(), time, output);
            }
            av_frame_unref(frame.get());
        }
    };
    while (av_read_frame(input.get(), packet.get()) >= 0) {
        StreamDecoder* stream = packet->stream_index == videoIndex   ? &video
                                : packet->stream_index == soundIndex ? &sound
                                                                     : nullptr;
        if (stream != nullptr && avcodec_send_packet(stream->decoder.get(), packet.get()) == 0) {
            drain(*stream);
        }
        av_packet_unref(packet.get());
    }
    for (StreamDecoder* stream : {&video, &sound}) {
        avcodec_send_packet(stream->decoder.get(), nullptr);
        drain(*stream);
    }
    std::stable_sort(output.pictures.begin(), output.pictures.end(),
                     [](const DecodedPicture& a, const DecodedPicture& b) { return a.time < b.time; });
    collector.FindClicks(output);
    return output;
}

double FirstShowing(const DecodedOutput& output, std::int64_t number)
{
    for (const DecodedPicture& picture : output.pictures) {
        if (picture.number >= number) {
            return picture.time;
        }
    }
    return -1;
}

} // namespace discforge::test
