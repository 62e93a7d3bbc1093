#include "platform/PictureSubtitleTrack.h"

#include "platform/FfmpegError.h"
#include "platform/FfmpegHandles.h"
#include "platform/MediaMessages.h"
#include "platform/MediaSource.h"
#include "platform/SubtitleRects.h"

extern "C" {
#include <libavutil/mathematics.h>
}

#include <algorithm>
#include <limits>
#include <memory>

namespace discforge {
namespace {

// An event whose end nothing tells is shown this long when no other follows it.
constexpr std::int64_t openEndMs = 5000;
constexpr std::int64_t noEnd = std::numeric_limits<std::int64_t>::max();
constexpr int dvdWidth = 720;
constexpr int ntscHeight = 480;
constexpr int palHeight = 576;

bool IsPictureTrack(const AVCodecParameters& codec)
{
    return codec.codec_type == AVMEDIA_TYPE_SUBTITLE
        && (codec.codec_id == AV_CODEC_ID_DVD_SUBTITLE || codec.codec_id == AV_CODEC_ID_HDMV_PGS_SUBTITLE);
}

std::vector<int> PictureStreams(const AVFormatContext* context)
{
    std::vector<int> streams;
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        if (IsPictureTrack(*context->streams[i]->codecpar)) {
            streams.push_back(static_cast<int>(i));
        }
    }
    return streams;
}

struct SubtitleFree {
    void operator()(AVSubtitle* subtitle) const { avsubtitle_free(subtitle); }
};

std::int64_t Milliseconds(std::int64_t value, AVRational base)
{
    return av_rescale_q(value, base, AVRational{1, 1000});
}

// The file's clock starts at its first picture, as the pictures and sound do.
std::int64_t ClockZeroMs(const MediaSource& source)
{
    const int video = source.FirstStream(AVMEDIA_TYPE_VIDEO);
    const AVStream* pictures = video >= 0 ? source.Stream(video) : nullptr;
    return pictures != nullptr && pictures->start_time != AV_NOPTS_VALUE
        ? Milliseconds(pictures->start_time, pictures->time_base)
        : 0;
}

// The decoder's own size (a VobSub index's or a PGS composition's), else the stream's, else
// the video's; a track that names none is taken for a DVD's, NTSC's when all fits in it.
void SetFrame(const MediaSource& source, const AVCodecContext& decoder, const AVStream& stream, PictureSubtitles& read)
{
    const int video = source.FirstStream(AVMEDIA_TYPE_VIDEO);
    const AVCodecParameters* pictures = video >= 0 ? source.Stream(video)->codecpar : nullptr;
    if (PictureSizeValid(decoder.width, decoder.height)) {
        read.frameWidth = decoder.width;
        read.frameHeight = decoder.height;
    } else if (PictureSizeValid(stream.codecpar->width, stream.codecpar->height)) {
        read.frameWidth = stream.codecpar->width;
        read.frameHeight = stream.codecpar->height;
    } else if (pictures != nullptr && PictureSizeValid(pictures->width, pictures->height)) {
        read.frameWidth = pictures->width;
        read.frameHeight = pictures->height;
    } else {
        const bool ntscFits = std::all_of(read.pictures.begin(), read.pictures.end(),
            [](const SubtitlePicture& picture) { return picture.y + picture.height <= ntscHeight; });
        read.frameWidth = dvdWidth;
        read.frameHeight = ntscFits ? ntscHeight : palHeight;
    }
}

// Each picture lasts to its own end, the next picture or the next clearing, whichever comes
// first; what lies outside the frame or before the clock's zero is dropped.
void SettleTimes(std::vector<std::int64_t>& clears, PictureSubtitles& read)
{
    std::stable_sort(read.pictures.begin(), read.pictures.end(),
        [](const SubtitlePicture& a, const SubtitlePicture& b) { return a.startMs < b.startMs; });
    std::sort(clears.begin(), clears.end());
    std::vector<SubtitlePicture> kept;
    for (std::size_t i = 0; i < read.pictures.size(); ++i) {
        SubtitlePicture& picture = read.pictures[i];
        std::int64_t end = picture.endMs;
        if (i + 1 < read.pictures.size()) {
            end = std::min(end, read.pictures[i + 1].startMs);
        }
        const auto clear = std::upper_bound(clears.begin(), clears.end(), picture.startMs);
        if (clear != clears.end()) {
            end = std::min(end, *clear);
        }
        picture.endMs = end == noEnd ? picture.startMs + openEndMs : end;
        picture.startMs = std::max<std::int64_t>(picture.startMs, 0);
        if (picture.x + picture.width > read.frameWidth || picture.y + picture.height > read.frameHeight) {
            ++read.damaged;
        } else if (picture.endMs > picture.startMs) {
            kept.push_back(std::move(picture));
        }
    }
    read.pictures = std::move(kept);
}

} // namespace

std::vector<PictureSubtitleTrack> PictureSubtitleTracksOf(const std::string& path)
{
    std::vector<PictureSubtitleTrack> tracks;
    MediaError error;
    const std::unique_ptr<MediaSource> source = MediaSource::Open(path, error);
    if (!source || source->IsScript()) {
        return tracks;
    }
    for (const int index : PictureStreams(source->Context())) {
        const AVStream* stream = source->Stream(index);
        const AVDictionaryEntry* language = av_dict_get(stream->metadata, "language", nullptr, 0);
        tracks.push_back({static_cast<int>(tracks.size()) + 1,
            language != nullptr && language->value[0] != '\0' ? language->value : "und",
            stream->codecpar->codec_id == AV_CODEC_ID_HDMV_PGS_SUBTITLE});
    }
    return tracks;
}

PictureSubtitles ReadPictureSubtitles(
    const std::string& path, int number, const PictureSubtitleLimits& limits, MediaError& error)
{
    PictureSubtitles read;
    const std::unique_ptr<MediaSource> source = MediaSource::Open(path, error);
    if (!source) {
        return read;
    }
    const std::vector<int> streams = source->IsScript() ? std::vector<int>{} : PictureStreams(source->Context());
    if (number < 1 || number > static_cast<int>(streams.size())) {
        error = {MediaFailure::NoStream, MediaText(media_messages::noPictureSubtitleTrack, path.c_str(), number)};
        return read;
    }
    const int index = streams[static_cast<std::size_t>(number - 1)];
    const AVStream* stream = source->Stream(index);
    const AVCodec* codec = nullptr;
    const CodecContextHandle decoder(OpenStreamDecoder(*source, index, &codec, error));
    const PacketHandle packet(av_packet_alloc());
    if (!decoder || !packet) {
        if (!error.Failed()) {
            error = PlainFailure(MediaFailure::ResourceFailed, MediaText(media_messages::outOfMemory, "a packet"));
        }
        return read;
    }
    const std::int64_t zeroMs = ClockZeroMs(*source);
    source->KeepOnlyStream(index);
    std::vector<std::int64_t> clears;
    std::size_t bytes = 0;
    bool full = false;
    while (!full && av_read_frame(source->Context(), packet.get()) >= 0) {
        const std::unique_ptr<AVPacket, void (*)(AVPacket*)> unref(packet.get(), av_packet_unref);
        if (packet->stream_index != index || packet->pts == AV_NOPTS_VALUE) {
            continue;
        }
        AVSubtitle subtitle{};
        int got = 0;
        if (avcodec_decode_subtitle2(decoder.get(), &subtitle, &got, packet.get()) < 0) {
            ++read.damaged;
            continue;
        }
        if (got == 0) {
            continue;
        }
        const std::unique_ptr<AVSubtitle, SubtitleFree> decoded(&subtitle);
        const std::int64_t atMs = Milliseconds(packet->pts, stream->time_base) - zeroMs;
        SubtitlePicture picture;
        picture.startMs = atMs + subtitle.start_display_time;
        picture.endMs
            = subtitle.end_display_time > subtitle.start_display_time && subtitle.end_display_time != UINT32_MAX
            ? atMs + subtitle.end_display_time
            : noEnd;
        switch (ComposeRects(subtitle, limits.pictureArea, picture)) {
        case RectsOutcome::Empty:
            // Clearings count against the events too, or a stream of nothing but them could fill memory.
            if (clears.size() >= limits.events) {
                ++read.beyondLimits;
                full = true;
                break;
            }
            clears.push_back(picture.startMs);
            break;
        case RectsOutcome::Damaged:
            ++read.damaged;
            break;
        case RectsOutcome::TooLarge:
            ++read.beyondLimits;
            break;
        case RectsOutcome::Picture:
            if (read.pictures.size() >= limits.events || picture.rgba.size() > limits.totalBytes - bytes) {
                ++read.beyondLimits;
                full = true;
                break;
            }
            bytes += picture.rgba.size();
            read.pictures.push_back(std::move(picture));
            break;
        }
    }
    SetFrame(*source, *decoder, *stream, read);
    SettleTimes(clears, read);
    return read;
}

} // namespace discforge
