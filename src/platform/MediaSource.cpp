#include "platform/MediaSource.h"

#include "platform/FfmpegError.h"
#include "platform/MediaMessages.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/parseutils.h>
}

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace discforge {

namespace {

bool CheckReadableFile(const std::string& path, MediaError& error)
{
    struct stat info { };
    if (stat(path.c_str(), &info) != 0 || access(path.c_str(), R_OK) != 0) {
        error = PlainFailure(
            MediaFailure::FileMissing, MediaText(media_messages::fileMissing, path.c_str(), std::strerror(errno)));
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = PlainFailure(
            MediaFailure::FileMissing, MediaText(media_messages::fileMissing, path.c_str(), "not a regular file"));
        return false;
    }
    return true;
}

// An AVI file whose headers name every codec, picture size, frame rate and
// sound format needs no probing by decoding; skipping it makes opening (and
// the sequential fetch's periodic rebuild) several times cheaper.
bool HeadersAreEnough(const AVFormatContext* context)
{
    if (std::strcmp(context->iformat->name, "avi") != 0 || context->nb_streams == 0) {
        return false;
    }
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const AVStream* stream = context->streams[i];
        const AVCodecParameters* codec = stream->codecpar;
        if (codec->codec_id == AV_CODEC_ID_NONE) {
            return false;
        }
        if (codec->codec_type == AVMEDIA_TYPE_VIDEO
            && (codec->width <= 0 || codec->height <= 0 || stream->avg_frame_rate.num <= 0
                || stream->avg_frame_rate.den <= 0)) {
            return false;
        }
        if (codec->codec_type == AVMEDIA_TYPE_AUDIO && (codec->sample_rate <= 0 || codec->ch_layout.nb_channels <= 0)) {
            return false;
        }
    }
    return true;
}

// An AVI stream's length counts units of its time base.
void TakeLengthsFromHeaders(AVFormatContext* context)
{
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        AVStream* stream = context->streams[i];
        if ((stream->duration == AV_NOPTS_VALUE || stream->duration <= 0) && stream->nb_frames > 0) {
            stream->duration = stream->nb_frames;
        }
    }
}

// FFmpeg takes a program stream's length from the presentation times of its last
// packets, and the last picture's packet often has none (two pictures began in one
// PES packet), so a picture goes missing. Every packet has a decoding time, one
// picture after the other: a picture stream is as long as the span of its decoding
// times and one picture more. Reads the first packets and the last megabyte, then
// goes back to the start. A span longer by more than a second means that the times
// jump somewhere (joined recordings); the estimate then stays.
void CountPicturesByDecodingTimes(AVFormatContext* context)
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

} // namespace

MediaSource::MediaSource(AVFormatContext* context, std::string path)
    : context_(context)
    , path_(std::move(path))
{
}

MediaSource::~MediaSource() { avformat_close_input(&context_); }

std::unique_ptr<MediaSource> MediaSource::Open(const std::string& path, MediaError& error)
{
    if (IsAviSynthScriptPath(path)) {
        error = PlainFailure(MediaFailure::AviSynthScript, media_messages::aviSynthScript);
        return nullptr;
    }
    if (!CheckReadableFile(path, error)) {
        return nullptr;
    }
    AVFormatContext* context = nullptr;
    AVDictionary* options = nullptr;
    // A playlist or concatenation file must not lead the demuxer to other files or the network.
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    int result = avformat_open_input(&context, path.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (result < 0) {
        error = AvFailure(MediaFailure::NotMedia, "avformat_open_input()", path, result);
        return nullptr;
    }
    if (HeadersAreEnough(context)) {
        TakeLengthsFromHeaders(context);
        return std::unique_ptr<MediaSource>(new MediaSource(context, path));
    }
    result = avformat_find_stream_info(context, nullptr);
    if (result < 0) {
        avformat_close_input(&context);
        error = AvFailure(MediaFailure::NotMedia, "avformat_find_stream_info()", path, result);
        return nullptr;
    }
    CountPicturesByDecodingTimes(context);
    return std::unique_ptr<MediaSource>(new MediaSource(context, path));
}

int MediaSource::FirstStream(AVMediaType type) const
{
    for (unsigned i = 0; i < context_->nb_streams; ++i) {
        const AVStream* stream = context_->streams[i];
        if (stream->codecpar->codec_type != type) {
            continue;
        }
        if (type == AVMEDIA_TYPE_VIDEO && (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) != 0) {
            continue;
        }
        return static_cast<int>(i);
    }
    return -1;
}

void MediaSource::KeepOnlyStream(int index)
{
    for (unsigned i = 0; i < context_->nb_streams; ++i) {
        context_->streams[i]->discard = static_cast<int>(i) == index ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    }
}

bool MediaSource::CanSeek() const
{
    return context_->pb == nullptr || (context_->pb->seekable & AVIO_SEEKABLE_NORMAL) != 0;
}

AVCodecContext* OpenStreamDecoder(
    const MediaSource& source, int streamIndex, const AVCodec** decoder, MediaError& error)
{
    const AVStream* stream = source.Stream(streamIndex);
    const AVCodec* found = avcodec_find_decoder(stream->codecpar->codec_id);
    if (found == nullptr) {
        error = PlainFailure(MediaFailure::NoDecoder,
            MediaText(media_messages::noDecoder, avcodec_get_name(stream->codecpar->codec_id), source.Path().c_str()));
        return nullptr;
    }
    AVCodecContext* context = avcodec_alloc_context3(found);
    if (context == nullptr) {
        error = PlainFailure(MediaFailure::ResourceFailed, MediaText(media_messages::outOfMemory, "a decoder"));
        return nullptr;
    }
    int result = avcodec_parameters_to_context(context, stream->codecpar);
    if (result >= 0) {
        context->pkt_timebase = stream->time_base;
        context->thread_count = 0;
        result = avcodec_open2(context, found, nullptr);
    }
    if (result < 0) {
        avcodec_free_context(&context);
        error = AvFailure(MediaFailure::DecodeFailed, "avcodec_open2()", source.Path(), result);
        return nullptr;
    }
    *decoder = found;
    return context;
}

CursorStep DecodeNextFrame(MediaSource& source, int streamIndex, AVCodecContext* codec, AVPacket* packet,
    AVFrame* frame, bool& draining, std::string& error)
{
    // A decoder that keeps refusing without taking more input is given up.
    constexpr int maxRefusalsInARow = 1000;
    int refusals = 0;
    for (;;) {
        int result = avcodec_receive_frame(codec, frame);
        if (result == 0) {
            return CursorStep::Frame;
        }
        if (result == AVERROR_EOF || (result == AVERROR(EAGAIN) && draining)) {
            return CursorStep::End;
        }
        if (result != AVERROR(EAGAIN)) {
            // A damaged frame is dropped; the decoder goes on with the next packet.
            error = AvFailure(MediaFailure::DecodeFailed, "avcodec_receive_frame()", source.Path(), result).text;
            if (result == AVERROR(ENOMEM) || ++refusals > maxRefusalsInARow) {
                return CursorStep::Failed;
            }
            continue;
        }
        result = av_read_frame(source.Context(), packet);
        if (result < 0) {
            if (result != AVERROR_EOF) {
                error = AvFailure(MediaFailure::ReadFailed, "av_read_frame()", source.Path(), result).text;
            }
            draining = true;
            avcodec_send_packet(codec, nullptr);
            continue;
        }
        if (packet->stream_index != streamIndex) {
            av_packet_unref(packet);
            continue;
        }
        result = avcodec_send_packet(codec, packet);
        av_packet_unref(packet);
        if (result == AVERROR(ENOMEM)) {
            error = AvFailure(MediaFailure::ResourceFailed, "avcodec_send_packet()", source.Path(), result).text;
            return CursorStep::Failed;
        }
        if (result < 0 && result != AVERROR(EAGAIN)) {
            error = AvFailure(MediaFailure::DecodeFailed, "avcodec_send_packet()", source.Path(), result).text;
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

bool PictureSizeValid(int width, int height)
{
    if (width <= 0 || height <= 0 || width > maxPictureSide || height > maxPictureSide) {
        return false;
    }
    // Four bytes per pixel must fit the 32-bit size field of a bitmap header.
    std::int64_t bytes = static_cast<std::int64_t>(width) * height * 4;
    return bytes <= INT32_MAX
        && av_image_check_size(static_cast<unsigned>(width), static_cast<unsigned>(height), 0, nullptr) == 0;
}

} // namespace discforge
