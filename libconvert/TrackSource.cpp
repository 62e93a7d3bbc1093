#include "TrackSource.h"

#include "EncoderMessages.h"

#include <algorithm>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/mathematics.h>
}

namespace discforge::convert {
namespace {

constexpr int lowestRate = 8000;
constexpr int highestRate = 192000;
// Decoded frames longer than this are not sound any decoder makes.
constexpr int longestFrame = 1 << 20;
// A start this far into the track is reached by a seek rather than by decoding on.
constexpr int64_t seekAfterSeconds = 10;
constexpr int ac3FrameSamples = 1536;
constexpr int widestDvdChannels = 6;

// Mono and stereo stay; anything wider is 5.1 on a DVD, and three to five channels
// are folded into stereo, which every player plays.
int DiscChannels(int channels)
{
    if (channels == 1) {
        return 1;
    }
    return channels >= widestDvdChannels ? widestDvdChannels : 2;
}

} // namespace

TrackSource::~TrackSource() { avformat_close_input(&format_); }

EncodeStatus TrackSource::Failure(const char* call, int error) const
{
    return EncodeStatus::Fail(ENCODE_CALLBACK_FAILED,
        message::Substitute(message::trackFailed, {std::to_string(number_ + 1), path_, FfmpegCause(call, error)}));
}

EncodeStatus TrackSource::Open(const TrackRequest& request, const DiscProfile& profile, int64_t samplesWanted, int number)
{
    path_ = request.path;
    number_ = number;
    startPts_ = request.startPts;
    diskRate_ = profile.audioSampleRate;
    samplesWanted_ = samplesWanted;
    int error = avformat_open_input(&format_, path_.c_str(), nullptr, nullptr);
    if (error < 0) {
        return Failure("avformat_open_input()", error);
    }
    error = avformat_find_stream_info(format_, nullptr);
    if (error < 0) {
        return Failure("avformat_find_stream_info()", error);
    }
    if (request.streamIndex < 0 || request.streamIndex >= static_cast<int>(format_->nb_streams)
        || format_->streams[request.streamIndex]->codecpar->codec_type != AVMEDIA_TYPE_AUDIO) {
        return Failure("av_find_best_stream()", AVERROR_STREAM_NOT_FOUND);
    }
    stream_ = format_->streams[request.streamIndex];
    for (unsigned i = 0; i < format_->nb_streams; ++i) {
        format_->streams[i]->discard = static_cast<int>(i) == request.streamIndex ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    }
    const AVCodecParameters& source = *stream_->codecpar;
    const int channels = source.ch_layout.nb_channels;
    if (source.sample_rate < lowestRate || source.sample_rate > highestRate || channels <= 0) {
        return Failure("avcodec_parameters_to_context()", AVERROR_INVALIDDATA);
    }
    packet_.reset(av_packet_alloc());
    frame_.reset(av_frame_alloc());
    if (!packet_ || !frame_) {
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, message::outOfMemory);
    }
    const int64_t trackStart = stream_->start_time == AV_NOPTS_VALUE ? 0 : stream_->start_time;
    if (av_rescale_q(startPts_ - trackStart, stream_->time_base, AVRational{1, 1}) > seekAfterSeconds) {
        // A seek lands on or before the start; what comes before it is dropped by its timestamp.
        av_seek_frame(format_, stream_->index, startPts_, AVSEEK_FLAG_BACKWARD);
    }
    copy_ = request.copy && source.codec_id == AV_CODEC_ID_AC3 && source.sample_rate == profile.audioSampleRate
        && channels <= widestDvdChannels;
    if (copy_) {
        return EncodeStatus::Done();
    }
    const AVCodec* codec = avcodec_find_decoder(source.codec_id);
    if (codec == nullptr) {
        return Failure("avcodec_find_decoder()", AVERROR_DECODER_NOT_FOUND);
    }
    decoder_.reset(avcodec_alloc_context3(codec));
    if (!decoder_) {
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, message::outOfMemory);
    }
    error = avcodec_parameters_to_context(decoder_.get(), &source);
    if (error >= 0) {
        decoder_->pkt_timebase = stream_->time_base;
        error = avcodec_open2(decoder_.get(), codec, nullptr);
    }
    if (error < 0) {
        return Failure("avcodec_open2()", error);
    }
    channels_ = DiscChannels(channels);
    return encoder_.Open(profile, source.sample_rate, samplesWanted, channels_);
}

EncodeStatus TrackSource::Describe(AVCodecParameters* parameters, AVRational& timeBase) const
{
    timeBase = AVRational{1, static_cast<int>(diskRate_)};
    const int error = copy_ ? avcodec_parameters_copy(parameters, stream_->codecpar)
                            : avcodec_parameters_from_context(parameters, encoder_.Context());
    return error < 0 ? Failure("avcodec_parameters_copy()", error) : EncodeStatus::Done();
}

// One packet of the track into packet_; `ended` at the end of the file.
EncodeStatus TrackSource::ReadPacket(bool& ended)
{
    for (;;) {
        av_packet_unref(packet_.get());
        const int error = av_read_frame(format_, packet_.get());
        if (error == AVERROR_EOF) {
            ended = true;
            return EncodeStatus::Done();
        }
        if (error < 0) {
            return Failure("av_read_frame()", error);
        }
        if (packet_->stream_index == stream_->index) {
            ended = false;
            return EncodeStatus::Done();
        }
    }
}

EncodeStatus TrackSource::ReadUntil(int64_t samples, const PacketSink& sink)
{
    const PacketSink numbered = [&](AVPacket* packet) {
        packet->stream_index = number_;
        return sink(packet);
    };
    const int64_t inputWanted = av_rescale(std::min(samples, samplesWanted_), decoder_ ? decoder_->sample_rate : 1,
        diskRate_);
    while (!ended_ && (copy_ ? reach_ < samples : inputFed_ < inputWanted)) {
        bool atEnd = false;
        EncodeStatus status = ReadPacket(atEnd);
        if (status.Ok() && copy_) {
            status = atEnd ? EncodeStatus::Done() : CopyPacket(numbered);
            ended_ = ended_ || atEnd;
        } else if (status.Ok()) {
            const int error = avcodec_send_packet(decoder_.get(), atEnd ? nullptr : packet_.get());
            // A damaged packet costs its own sound only, as a player would have it.
            if (error < 0 && error != AVERROR_INVALIDDATA) {
                return Failure("avcodec_send_packet()", error);
            }
            status = DecodeFrames(numbered);
            ended_ = atEnd;
        }
        if (!status.Ok()) {
            return status;
        }
    }
    return EncodeStatus::Done();
}

EncodeStatus TrackSource::DecodeFrames(const PacketSink& sink)
{
    for (;;) {
        const int error = avcodec_receive_frame(decoder_.get(), frame_.get());
        if (error == AVERROR(EAGAIN) || error == AVERROR_EOF) {
            return EncodeStatus::Done();
        }
        if (error < 0) {
            return Failure("avcodec_receive_frame()", error);
        }
        EncodeStatus status = FeedFrame(sink);
        av_frame_unref(frame_.get());
        if (!status.Ok()) {
            return status;
        }
    }
}

EncodeStatus TrackSource::FeedFrame(const PacketSink& sink)
{
    AVFrame& frame = *frame_;
    const int rate = decoder_->sample_rate;
    if (frame.nb_samples <= 0 || frame.nb_samples > longestFrame || frame.ch_layout.nb_channels <= 0) {
        return EncodeStatus::Done();
    }
    if (!converter_) {
        AVChannelLayout out{};
        av_channel_layout_default(&out, channels_);
        SwrContext* converter = nullptr;
        int error = swr_alloc_set_opts2(&converter, &out, AV_SAMPLE_FMT_S16, rate, &frame.ch_layout,
            static_cast<AVSampleFormat>(frame.format), frame.sample_rate, 0, nullptr);
        converter_.reset(converter);
        if (error >= 0) {
            error = swr_init(converter_.get());
        }
        if (error < 0) {
            return Failure("swr_init()", error);
        }
    }
    const int capacity = swr_get_out_samples(converter_.get(), frame.nb_samples);
    if (capacity < 0) {
        return Failure("swr_get_out_samples()", capacity);
    }
    const std::size_t frameBytes = static_cast<std::size_t>(channels_) * 2;
    converted_.resize(static_cast<std::size_t>(capacity) * frameBytes);
    uint8_t* out[1] = {converted_.data()};
    const int count = swr_convert(converter_.get(), out, capacity,
        const_cast<const uint8_t**>(frame.extended_data), frame.nb_samples);
    if (count < 0) {
        return Failure("swr_convert()", count);
    }
    int64_t skip = 0;
    if (!placed_) {
        const int64_t pts = frame.best_effort_timestamp == AV_NOPTS_VALUE ? startPts_ : frame.best_effort_timestamp;
        const int64_t offset = av_rescale_q(pts - startPts_, stream_->time_base, AVRational{1, rate});
        if (offset + count <= 0) {
            return EncodeStatus::Done();
        }
        placed_ = true;
        skip = offset < 0 ? -offset : 0;
        // A late start is silence, no longer than the pictures.
        const int64_t wantedAtRate = av_rescale(samplesWanted_, rate, diskRate_);
        int64_t silence = std::min(offset > 0 ? offset : 0, wantedAtRate);
        const std::vector<uint8_t> quiet(static_cast<std::size_t>(std::min<int64_t>(silence, rate)) * frameBytes, 0);
        while (silence > 0) {
            const int64_t piece = std::min<int64_t>(silence, rate);
            EncodeStatus status = encoder_.Feed(quiet.data(), static_cast<std::size_t>(piece), sink);
            if (!status.Ok()) {
                return status;
            }
            inputFed_ += piece;
            silence -= piece;
        }
    }
    inputFed_ += count - skip;
    return encoder_.Feed(converted_.data() + static_cast<std::size_t>(skip) * frameBytes,
        static_cast<std::size_t>(count - skip), sink);
}

EncodeStatus TrackSource::CopyPacket(const PacketSink& sink)
{
    AVPacket& packet = *packet_;
    const int64_t pts = packet.pts != AV_NOPTS_VALUE ? packet.pts : packet.dts;
    if (pts == AV_NOPTS_VALUE || packet.size <= 0) {
        return EncodeStatus::Done();
    }
    const AVRational disk{1, static_cast<int>(diskRate_)};
    const int64_t at = av_rescale_q(pts - startPts_, stream_->time_base, disk);
    const int64_t duration = packet.duration > 0 ? av_rescale_q(packet.duration, stream_->time_base, disk)
                                                 : int64_t{ac3FrameSamples};
    // A frame mostly before the start is dropped, one mostly after the end is left out.
    if (at + duration / 2 < 0) {
        return EncodeStatus::Done();
    }
    if (at + duration / 2 >= samplesWanted_) {
        ended_ = true;
        return EncodeStatus::Done();
    }
    packet.pts = at;
    packet.dts = at;
    packet.duration = duration;
    reach_ = at + duration;
    return sink(&packet);
}

EncodeStatus TrackSource::Finish(const PacketSink& sink)
{
    EncodeStatus status = ReadUntil(samplesWanted_, sink);
    if (status.Ok() && !copy_) {
        const PacketSink numbered = [&](AVPacket* packet) {
            packet->stream_index = number_;
            return sink(packet);
        };
        status = encoder_.Finish(numbered);
    }
    return status;
}

} // namespace discforge::convert
