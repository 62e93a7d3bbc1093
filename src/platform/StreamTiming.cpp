#include "platform/StreamTiming.h"

extern "C" {
#include <libavutil/parseutils.h>
}

#include <algorithm>
#include <cstring>
#include <vector>

namespace discforge {

// FFmpeg takes a program stream's length from the presentation times of its last
// packets, and the last picture's packet often has none (two pictures began in one
// PES packet), so a picture goes missing. Every packet has a decoding time, one
// picture after the other: a picture stream is as long as the span of its decoding
// times and one picture more. Reads the first packets and the last megabyte, then
// goes back to the start. A span longer by more than a second means that the times
// jump somewhere (joined recordings); the estimate then stays.
void MendProgramStreamLengths(AVFormatContext* context)
{
    constexpr std::int64_t tailBytes = 1 << 20;
    constexpr int headPackets = 1000;
    const std::int64_t size = context->pb != nullptr ? avio_size(context->pb) : -1;
    if (context->duration_estimation_method != AVFMT_DURATION_FROM_PTS || size <= 0) {
        return;
    }
    std::vector<std::int64_t> firstDts(context->nb_streams, AV_NOPTS_VALUE);
    std::vector<std::int64_t> lastDts(context->nb_streams, AV_NOPTS_VALUE);
    AVPacket* packet = av_packet_alloc();
    if (packet == nullptr) {
        return;
    }
    const auto takePacket = [&] {
        if (av_read_frame(context, packet) < 0) {
            return false;
        }
        const auto index = static_cast<std::size_t>(packet->stream_index);
        if (index < firstDts.size() && packet->dts != AV_NOPTS_VALUE) {
            if (firstDts[index] == AV_NOPTS_VALUE) {
                firstDts[index] = packet->dts;
            }
            lastDts[index] = std::max(lastDts[index], packet->dts);
        }
        av_packet_unref(packet);
        return true;
    };
    const auto everyVideoStarted = [&] {
        for (unsigned i = 0; i < context->nb_streams; ++i) {
            if (context->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && firstDts[i] == AV_NOPTS_VALUE) {
                return false;
            }
        }
        return true;
    };
    for (int read = 0; read < headPackets && !everyVideoStarted(); ++read) {
        if (!takePacket()) {
            break;
        }
    }
    const bool atTail = av_seek_frame(context, -1, std::max<std::int64_t>(0, size - tailBytes), AVSEEK_FLAG_BYTE) >= 0;
    for (bool more = atTail; more;) {
        more = takePacket();
    }
    av_packet_free(&packet);
    av_seek_frame(context, -1, 0, AVSEEK_FLAG_BYTE);
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        AVStream* stream = context->streams[i];
        const AVRational rate = StreamFrameRate(stream);
        if (stream->codecpar->codec_type != AVMEDIA_TYPE_VIDEO || rate.num <= 0 || firstDts[i] == AV_NOPTS_VALUE) {
            continue;
        }
        const std::int64_t span = lastDts[i] - firstDts[i] + av_rescale_q(1, av_inv_q(rate), stream->time_base);
        const std::int64_t second = av_rescale_q(AV_TIME_BASE, AV_TIME_BASE_Q, stream->time_base);
        if (stream->duration != AV_NOPTS_VALUE && span > stream->duration && span - stream->duration <= second) {
            stream->duration = span;
        }
    }
}

AVRational StreamFrameRate(const AVStream* stream)
{
    for (AVRational rate : {stream->avg_frame_rate, stream->r_frame_rate}) {
        if (rate.num > 0 && rate.den > 0) {
            return rate;
        }
    }
    return AVRational{0, 1};
}

namespace {

constexpr AVRational hundredNs{1, 10000000};

// FFmpeg's AVI muxer moves every stream later when the sound starts before the
// pictures (an MP3 or AAC coder's delay), rounded to whole frames; it writes
// the first picture at the start all the same and fills the gap behind it
// with empty chunks, which its index leaves out. The pictures from the second
// on are then a frame (or more) late, and frame 0 lies one frame before the
// second picture: so numbered, every picture keeps its own number.
std::int64_t LateAviVideoStart(const AVFormatContext* context, const AVStream* stream)
{
    if (std::strcmp(context->iformat->name, "avi") != 0 || stream->codecpar->codec_type != AVMEDIA_TYPE_VIDEO
        || avformat_index_get_entries_count(stream) < 2) {
        return AV_NOPTS_VALUE;
    }
    const AVRational rate = StreamFrameRate(stream);
    if (rate.num <= 0) {
        return AV_NOPTS_VALUE;
    }
    const std::int64_t frame = av_rescale_q(1, av_inv_q(rate), stream->time_base);
    // Looking an entry up leaves the stream as it is; only the getter is not const.
    auto* indexed = const_cast<AVStream*>(stream);
    const AVIndexEntry* first = avformat_index_get_entry(indexed, 0);
    const AVIndexEntry* second = avformat_index_get_entry(indexed, 1);
    if (frame <= 0 || first == nullptr || second == nullptr || second->timestamp - first->timestamp <= frame) {
        return AV_NOPTS_VALUE;
    }
    return second->timestamp - frame;
}

// The time a stream ends at, in its time base; AV_NOPTS_VALUE when unknown.
std::int64_t StreamEndPts(const AVFormatContext* context, const AVStream* stream)
{
    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0) {
        return (stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0) + stream->duration;
    }
    // A Matroska file knows only its own length, which the longest stream sets (often the
    // sound); its muxers write where each stream ends into a tag, as "HH:MM:SS.fffffffff".
    const AVDictionaryEntry* tag = av_dict_get(stream->metadata, "DURATION", nullptr, 0);
    std::int64_t tagged = 0;
    if (tag != nullptr && av_parse_time(&tagged, tag->value, 1) == 0 && tagged > 0) {
        return av_rescale_q(tagged, AV_TIME_BASE_Q, stream->time_base);
    }
    if (context->duration != AV_NOPTS_VALUE && context->duration > 0) {
        const std::int64_t start = context->start_time != AV_NOPTS_VALUE ? context->start_time : 0;
        return av_rescale_q(start + context->duration, AV_TIME_BASE_Q, stream->time_base);
    }
    return AV_NOPTS_VALUE;
}

} // namespace

std::int64_t StreamStartPts(const AVFormatContext* context, const AVStream* stream)
{
    const std::int64_t late = LateAviVideoStart(context, stream);
    if (late != AV_NOPTS_VALUE) {
        return late;
    }
    return stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
}

bool SoundTimestampsPlace(const AVFormatContext* context) { return std::strcmp(context->iformat->name, "avi") != 0; }

std::int64_t SoundZeroPts(const AVFormatContext* context, const AVStream* sound)
{
    const std::int64_t own = StreamStartPts(context, sound);
    if (!SoundTimestampsPlace(context)) {
        return own;
    }
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const AVStream* stream = context->streams[i];
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO
            && (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) == 0 && stream->start_time != AV_NOPTS_VALUE) {
            return av_rescale_q(StreamStartPts(context, stream), stream->time_base, sound->time_base);
        }
    }
    return own;
}

std::int64_t UnmarkedCoderDelay(const AVFormatContext* context, const AVStream* sound)
{
    if (SoundTimestampsPlace(context)) {
        return 0;
    }
    // The coder's look-ahead plus, for MPEG audio, the synthesis filter of its decoder.
    switch (sound->codecpar->codec_id) {
    case AV_CODEC_ID_MP3:
        return 576 + 529;
    case AV_CODEC_ID_MP2:
        return 481;
    case AV_CODEC_ID_AAC:
        return 1024;
    case AV_CODEC_ID_AC3:
        return 256;
    default:
        return 0;
    }
}

std::int64_t StreamDuration100ns(const AVFormatContext* context, const AVStream* stream)
{
    const std::int64_t end = StreamEndPts(context, stream);
    if (end == AV_NOPTS_VALUE) {
        return 0;
    }
    return std::max<std::int64_t>(0, av_rescale_q(end - StreamStartPts(context, stream), stream->time_base, hundredNs));
}

std::int64_t StreamFrameCount(const AVFormatContext* context, const AVStream* stream)
{
    AVRational rate = StreamFrameRate(stream);
    if (rate.num > 0) {
        std::int64_t duration = StreamDuration100ns(context, stream);
        if (duration > 0) {
            return av_rescale_q_rnd(duration, hundredNs, av_inv_q(rate), static_cast<AVRounding>(AV_ROUND_NEAR_INF));
        }
    }
    return stream->nb_frames > 0 ? stream->nb_frames : 0;
}

} // namespace discforge
