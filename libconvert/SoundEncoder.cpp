#include "SoundEncoder.h"

#include "EncoderMessages.h"

#include <algorithm>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libavutil/samplefmt.h>
}

namespace discforge::convert {
namespace {

EncodeStatus Failed(const char* call, int error)
{
    return EncodeStatus::Fail(ENCODE_CODEC_FAILED, FfmpegCause(call, error));
}

// What a DVD player's decoder takes at most; 5.1 needs it to sound as it should.
constexpr int64_t surroundBitRate = 448000;

} // namespace

EncodeStatus SoundEncoder::Open(const DiscProfile& profile, int inputRate, int64_t samplesWanted, int channels)
{
    if (channels != 2 && (!profile.ac3Audio || (channels != 1 && channels != 6))) {
        return Failed("avcodec_open2(audio)", AVERROR(EINVAL));
    }
    samplesWanted_ = samplesWanted;
    const AVCodec* codec = avcodec_find_encoder(profile.ac3Audio ? AV_CODEC_ID_AC3 : AV_CODEC_ID_MP2);
    if (codec == nullptr || codec->sample_fmts == nullptr) {
        return Failed("avcodec_find_encoder()", AVERROR_ENCODER_NOT_FOUND);
    }
    context_.reset(avcodec_alloc_context3(codec));
    frame_.reset(av_frame_alloc());
    scratch_.reset(av_frame_alloc());
    packet_.reset(av_packet_alloc());
    if (!context_ || !frame_ || !scratch_ || !packet_) {
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, message::outOfMemory);
    }
    // FFmpeg 5.1's resampler takes the layouts through non-const pointers.
    av_channel_layout_default(&layout_, channels);
    AVCodecContext& c = *context_;
    c.sample_fmt = codec->sample_fmts[0];
    c.sample_rate = profile.audioSampleRate;
    c.bit_rate = channels == 6 ? surroundBitRate : profile.audioBitRate;
    c.time_base = AVRational{1, profile.audioSampleRate};
    int error = av_channel_layout_copy(&c.ch_layout, &layout_);
    if (error >= 0) {
        error = avcodec_open2(&c, codec, nullptr);
    }
    if (error < 0) {
        return Failed("avcodec_open2(audio)", error);
    }
    // The encoder's packets start its priming samples early, so the stream ends that
    // much early too unless the sound runs on by as much.
    samplesWanted_ += c.initial_padding;

    SwrContext* resampler = nullptr;
    error = swr_alloc_set_opts2(&resampler, &layout_, c.sample_fmt, c.sample_rate, &layout_, AV_SAMPLE_FMT_S16,
                                inputRate, 0, nullptr);
    resampler_.reset(resampler);
    if (error >= 0) {
        error = swr_init(resampler_.get());
    }
    if (error < 0) {
        return Failed("swr_init()", error);
    }
    fifo_.reset(av_audio_fifo_alloc(c.sample_fmt, layout_.nb_channels, c.frame_size * 4));
    if (!fifo_) {
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, message::outOfMemory);
    }
    frame_->format = c.sample_fmt;
    frame_->sample_rate = c.sample_rate;
    frame_->nb_samples = c.frame_size;
    error = av_channel_layout_copy(&frame_->ch_layout, &layout_);
    if (error >= 0) {
        error = av_frame_get_buffer(frame_.get(), 0);
    }
    if (error < 0) {
        return Failed("av_frame_get_buffer()", error);
    }
    return EncodeStatus::Done();
}

EncodeStatus SoundEncoder::ReserveScratch(int frames)
{
    if (scratch_->data[0] != nullptr && scratch_->nb_samples >= frames) {
        return EncodeStatus::Done();
    }
    av_frame_unref(scratch_.get());
    scratch_->format = context_->sample_fmt;
    scratch_->sample_rate = context_->sample_rate;
    scratch_->nb_samples = std::max(frames, context_->frame_size);
    int error = av_channel_layout_copy(&scratch_->ch_layout, &layout_);
    if (error >= 0) {
        error = av_frame_get_buffer(scratch_.get(), 0);
    }
    return error < 0 ? Failed("av_frame_get_buffer()", error) : EncodeStatus::Done();
}

// Moves `frames` converted sample frames from the scratch frame into the FIFO, keeping
// only what the picture needs.
EncodeStatus SoundEncoder::Store(int frames)
{
    const int64_t room = std::max<int64_t>(0, samplesWanted_ - samplesStored_);
    const int kept = static_cast<int>(std::min<int64_t>(frames, room));
    if (kept > 0) {
        if (av_audio_fifo_write(fifo_.get(), reinterpret_cast<void**>(scratch_->data), kept) < kept) {
            return EncodeStatus::Fail(ENCODE_CODEC_FAILED, message::outOfMemory);
        }
        samplesStored_ += kept;
    }
    return EncodeStatus::Done();
}

EncodeStatus SoundEncoder::Feed(const uint8_t* samples, std::size_t frames, const PacketSink& sink)
{
    // The resampler takes an int count: feed very long deliveries in pieces.
    constexpr std::size_t piece = 1 << 20;
    while (frames > 0) {
        const int count = static_cast<int>(std::min(frames, piece));
        const int capacity = swr_get_out_samples(resampler_.get(), count);
        if (capacity < 0) {
            return Failed("swr_get_out_samples()", capacity);
        }
        EncodeStatus status = ReserveScratch(capacity);
        if (!status.Ok()) {
            return status;
        }
        const uint8_t* input[1] = {samples};
        const int converted = swr_convert(resampler_.get(), scratch_->data, scratch_->nb_samples, input, count);
        if (converted < 0) {
            return Failed("swr_convert()", converted);
        }
        status = Store(converted);
        if (!status.Ok()) {
            return status;
        }
        samples += static_cast<std::size_t>(count) * 2 * static_cast<std::size_t>(layout_.nb_channels);
        frames -= static_cast<std::size_t>(count);
    }
    return EncodeWholeFrames(sink);
}

EncodeStatus SoundEncoder::EncodeWholeFrames(const PacketSink& sink)
{
    const int frameSize = context_->frame_size;
    while (av_audio_fifo_size(fifo_.get()) >= frameSize) {
        int error = av_frame_make_writable(frame_.get());
        if (error < 0) {
            return Failed("av_frame_make_writable()", error);
        }
        if (av_audio_fifo_read(fifo_.get(), reinterpret_cast<void**>(frame_->data), frameSize) < frameSize) {
            return Failed("av_audio_fifo_read()", AVERROR_BUG);
        }
        frame_->pts = samplesEncoded_;
        samplesEncoded_ += frameSize;
        EncodeStatus status = EncodeAndDrain(context_.get(), frame_.get(), packet_.get(), sink);
        if (!status.Ok()) {
            return status;
        }
    }
    return EncodeStatus::Done();
}

EncodeStatus SoundEncoder::Finish(const PacketSink& sink)
{
    const int tail = swr_get_out_samples(resampler_.get(), 0);
    if (tail > 0) {
        EncodeStatus status = ReserveScratch(tail);
        if (!status.Ok()) {
            return status;
        }
        const int converted = swr_convert(resampler_.get(), scratch_->data, scratch_->nb_samples, nullptr, 0);
        if (converted < 0) {
            return Failed("swr_convert()", converted);
        }
        status = Store(converted);
        if (!status.Ok()) {
            return status;
        }
    }
    // Silence up to the picture's end, then on to a whole encoder frame.
    const int frameSize = context_->frame_size;
    const int64_t covered = std::max(samplesWanted_, samplesStored_);
    const int64_t total = (covered + frameSize - 1) / frameSize * frameSize;
    int64_t missing = total - samplesStored_;
    samplesWanted_ = total;
    while (missing > 0) {
        const int count = static_cast<int>(std::min<int64_t>(missing, frameSize));
        EncodeStatus status = ReserveScratch(count);
        if (!status.Ok()) {
            return status;
        }
        av_samples_set_silence(scratch_->data, 0, count, scratch_->ch_layout.nb_channels,
                               static_cast<AVSampleFormat>(scratch_->format));
        status = Store(count);
        if (!status.Ok()) {
            return status;
        }
        missing -= count;
    }
    EncodeStatus status = EncodeWholeFrames(sink);
    if (!status.Ok()) {
        return status;
    }
    return EncodeAndDrain(context_.get(), nullptr, packet_.get(), sink);
}

} // namespace discforge::convert
