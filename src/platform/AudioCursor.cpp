#include "platform/AudioCursor.h"

#include "platform/FfmpegError.h"
#include "platform/MediaMessages.h"
#include "platform/SoundTracks.h"
#include "platform/StreamTiming.h"

extern "C" {
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cstring>

namespace discforge {

namespace {

constexpr auto nearest = static_cast<AVRounding>(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX);
// A decoded frame larger than this is refused before the converter's buffer is sized.
constexpr int maxFrameSamples = 1 << 20;
// A first timestamp further off than this is taken as broken, not as a late start.
constexpr std::int64_t maxSilentLeadSeconds = 10;
// Timestamps further on than this from where the sound has come to mark a gap to fill.
constexpr int gapsPerSecond = 20;
// Decoding on over this much audio is cheaper than a seek.
constexpr std::int64_t decodeOnSeconds = 2;

bool IsEightBit(int format) { return format == AV_SAMPLE_FMT_U8 || format == AV_SAMPLE_FMT_U8P; }

} // namespace

std::unique_ptr<AudioCursor> AudioCursor::Open(
    const std::string& path, MediaError& error, MediaOptionUse* use, int track)
{
    std::unique_ptr<MediaSource> source = MediaSource::Open(path, error, use);
    if (!source) {
        return nullptr;
    }
    const int index = SoundTrackStream(source->Context(), track);
    if (index < 0) {
        error = PlainFailure(MediaFailure::NoStream,
            track == defaultSoundTrack ? MediaText(media_messages::noAudioStream, path.c_str())
                                       : MediaText(media_messages::noSoundTrack, path.c_str(), track));
        return nullptr;
    }
    AVStream* stream = source->Stream(index);
    int rate = stream->codecpar->sample_rate;
    int channels = stream->codecpar->ch_layout.nb_channels;
    if (rate <= 0 || rate > maxSampleRate || channels <= 0 || channels > maxChannels) {
        error = PlainFailure(
            MediaFailure::BadFormat, MediaText(media_messages::badAudioFormat, path.c_str(), rate, channels));
        return nullptr;
    }
    std::unique_ptr<AudioCursor> cursor(new AudioCursor());
    if (!cursor->OpenDecoder(std::move(source), index, error, use)) {
        return nullptr;
    }
    cursor->sampleRate_ = rate;
    const AVFormatContext* context = cursor->source_->Context();
    cursor->startPts_ = SoundZeroPts(context, stream);
    cursor->delaySamples_ = UnmarkedCoderDelay(context, stream);
    cursor->followTimestamps_ = SoundTimestampsPlace(context);
    cursor->channels_ = channels == 1 ? 1 : 2;
    const bool eightBit = IsEightBit(stream->codecpar->format) || stream->codecpar->codec_id == AV_CODEC_ID_PCM_U8;
    cursor->bits_ = eightBit ? 8 : 16;
    return cursor;
}

AudioCursor::~AudioCursor()
{
    swr_free(&resampler_);
    av_channel_layout_uninit(&resamplerInLayout_);
}

bool AudioCursor::ConvertFrame(std::vector<std::uint8_t>& converted, int& samples)
{
    if (frame_->nb_samples <= 0 || frame_->nb_samples > maxFrameSamples || frame_->sample_rate <= 0
        || frame_->sample_rate > maxSampleRate || frame_->ch_layout.nb_channels <= 0
        || frame_->ch_layout.nb_channels > maxChannels) {
        lastError_ = MediaText(media_messages::badAudioFormat, source_->Path().c_str(), frame_->sample_rate,
            frame_->ch_layout.nb_channels);
        return false;
    }
    bool changed = resampler_ == nullptr || frame_->format != resamplerInFormat_
        || frame_->sample_rate != resamplerInRate_
        || av_channel_layout_compare(&frame_->ch_layout, &resamplerInLayout_) != 0;
    if (changed) {
        swr_free(&resampler_);
        AVChannelLayout outLayout{};
        av_channel_layout_default(&outLayout, channels_);
        auto outFormat = bits_ == 8 ? AV_SAMPLE_FMT_U8 : AV_SAMPLE_FMT_S16;
        int result = swr_alloc_set_opts2(&resampler_, &outLayout, outFormat, sampleRate_, &frame_->ch_layout,
            static_cast<AVSampleFormat>(frame_->format), frame_->sample_rate, 0, nullptr);
        av_channel_layout_uninit(&outLayout);
        if (result >= 0) {
            result = swr_init(resampler_);
        }
        if (result < 0) {
            swr_free(&resampler_);
            lastError_ = AvFailure(MediaFailure::ResourceFailed, "swr_init()", source_->Path(), result).text;
            return false;
        }
        av_channel_layout_uninit(&resamplerInLayout_);
        av_channel_layout_copy(&resamplerInLayout_, &frame_->ch_layout);
        resamplerInFormat_ = frame_->format;
        resamplerInRate_ = frame_->sample_rate;
    }
    int capacity = swr_get_out_samples(resampler_, frame_->nb_samples);
    if (capacity < 0 || capacity > 2 * maxFrameSamples) {
        lastError_ = AvFailure(MediaFailure::DecodeFailed, "swr_get_out_samples()", source_->Path(), capacity).text;
        return false;
    }
    converted.resize(static_cast<std::size_t>(capacity) * static_cast<std::size_t>(BlockAlign()));
    std::uint8_t* planes[1] = {converted.data()};
    samples = swr_convert(
        resampler_, planes, capacity, const_cast<const std::uint8_t**>(frame_->extended_data), frame_->nb_samples);
    if (samples < 0) {
        lastError_ = AvFailure(MediaFailure::DecodeFailed, "swr_convert()", source_->Path(), samples).text;
        return false;
    }
    return true;
}

void AudioCursor::Place(const std::vector<std::uint8_t>& converted, int samples, std::vector<std::uint8_t>& out)
{
    const auto blockAlign = static_cast<std::size_t>(BlockAlign());
    std::int64_t start = decodePosition_;
    if ((anchorPending_ || followTimestamps_) && frame_->pts != AV_NOPTS_VALUE) {
        const std::int64_t stamped
            = av_rescale_q_rnd(frame_->pts - startPts_, stream_->time_base, AVRational{1, sampleRate_}, nearest)
            - delaySamples_;
        const bool jumped = anchorPending_ || stamped - decodePosition_ > sampleRate_ / gapsPerSecond;
        if (jumped && stamped - nextPosition_ <= maxSilentLeadSeconds * sampleRate_) {
            start = stamped;
        }
    }
    anchorPending_ = false;
    if (start > nextPosition_) {
        out.insert(out.end(), static_cast<std::size_t>(start - nextPosition_) * blockAlign, SilenceByte());
        nextPosition_ = start;
    }
    decodePosition_ = start + samples;
    std::int64_t drop = std::min<std::int64_t>(samples, nextPosition_ - start);
    if (drop < samples) {
        const std::uint8_t* first = converted.data() + static_cast<std::size_t>(drop) * blockAlign;
        out.insert(out.end(), first, converted.data() + static_cast<std::size_t>(samples) * blockAlign);
        nextPosition_ += samples - drop;
    }
}

CursorStep AudioCursor::ReadChunk(std::vector<std::uint8_t>& out)
{
    CursorStep step = DecodeStreamFrame();
    if (step != CursorStep::Frame) {
        return step;
    }
    int samples = 0;
    if (!ConvertFrame(converted_, samples)) {
        return CursorStep::Failed;
    }
    samplesDecoded_ += static_cast<std::uint64_t>(frame_->nb_samples);
    Place(converted_, samples, out);
    return CursorStep::Frame;
}

bool AudioCursor::ShouldSeekFor(std::int64_t position) const
{
    return position < nextPosition_ || position - nextPosition_ > decodeOnSeconds * sampleRate_;
}

bool AudioCursor::SeekTo(std::int64_t position)
{
    position = std::max<std::int64_t>(0, position);
    std::int64_t pts
        = startPts_ + av_rescale_q(position + delaySamples_, AVRational{1, sampleRate_}, stream_->time_base);
    if (!SeekDemuxer(pts)) {
        return false;
    }
    swr_free(&resampler_);
    anchorPending_ = true;
    nextPosition_ = position;
    decodePosition_ = position;
    return true;
}

void AudioCursor::SkipTo(std::int64_t position) { nextPosition_ = std::max(nextPosition_, position); }

} // namespace discforge
