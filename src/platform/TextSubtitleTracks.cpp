#include "platform/TextSubtitleTracks.h"

#include "platform/FfmpegError.h"
#include "platform/FfmpegHandles.h"
#include "platform/MediaMessages.h"
#include "platform/MediaSource.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/mathematics.h>
}

#include <cstdio>
#include <memory>

namespace discforge {
namespace {

bool IsText(const AVCodecParameters& codec)
{
    return codec.codec_type == AVMEDIA_TYPE_SUBTITLE && avcodec_descriptor_get(codec.codec_id) != nullptr
        && (avcodec_descriptor_get(codec.codec_id)->props & AV_CODEC_PROP_TEXT_SUB) != 0;
}

std::vector<int> TextStreams(const AVFormatContext* context)
{
    std::vector<int> streams;
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        if (IsText(*context->streams[i]->codecpar)) {
            streams.push_back(static_cast<int>(i));
        }
    }
    return streams;
}

std::string AssTime(std::int64_t ms)
{
    if (ms < 0) {
        ms = 0;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld.%02lld", static_cast<long long>(ms / 3600000),
        static_cast<long long>(ms / 60000 % 60), static_cast<long long>(ms / 1000 % 60),
        static_cast<long long>(ms % 1000 / 10));
    return text;
}

// FFmpeg's decoded dialogue: "ReadOrder,Layer,Style,Name,MarginL,MarginR,MarginV,Effect,Text".
std::string DialogueText(const char* ass)
{
    std::string text = ass != nullptr ? ass : "";
    std::size_t at = 0;
    for (int field = 0; field < 8 && at != std::string::npos; ++field) {
        at = text.find(',', at);
        at = at == std::string::npos ? at : at + 1;
    }
    return at == std::string::npos ? std::string{} : text.substr(at);
}

} // namespace

std::vector<TextSubtitleTrack> TextSubtitleTracksOf(const std::string& path)
{
    std::vector<TextSubtitleTrack> tracks;
    MediaError error;
    const std::unique_ptr<MediaSource> source = MediaSource::Open(path, error);
    if (!source || source->IsScript()) {
        return tracks;
    }
    for (const int index : TextStreams(source->Context())) {
        const AVDictionaryEntry* language = av_dict_get(source->Stream(index)->metadata, "language", nullptr, 0);
        tracks.push_back({static_cast<int>(tracks.size()) + 1,
            language != nullptr && language->value[0] != '\0' ? language->value : "und"});
    }
    return tracks;
}

std::string TextSubtitleDocument(const std::string& path, int number, std::size_t byteLimit, MediaError& error)
{
    const std::unique_ptr<MediaSource> source = MediaSource::Open(path, error);
    if (!source) {
        return {};
    }
    const std::vector<int> streams = TextStreams(source->Context());
    if (number < 1 || number > static_cast<int>(streams.size())) {
        error = {MediaFailure::NoStream, MediaText(media_messages::noTextSubtitleTrack, path.c_str(), number)};
        return {};
    }
    const int index = streams[static_cast<std::size_t>(number - 1)];
    AVStream* stream = source->Stream(index);
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    CodecContextHandle decoder(codec != nullptr ? avcodec_alloc_context3(codec) : nullptr);
    PacketHandle packet(av_packet_alloc());
    int result = decoder && packet ? avcodec_parameters_to_context(decoder.get(), stream->codecpar) : AVERROR(ENOMEM);
    if (result >= 0) {
        decoder->pkt_timebase = stream->time_base;
        result = avcodec_open2(decoder.get(), codec, nullptr);
    }
    if (result < 0) {
        error = AvFailure(MediaFailure::NoDecoder, "avcodec_open2()", path, result);
        return {};
    }
    // The file's clock starts at its first picture, as the pictures and sound do.
    const int video = source->FirstStream(AVMEDIA_TYPE_VIDEO);
    const AVStream* pictures = video >= 0 ? source->Stream(video) : nullptr;
    const std::int64_t zeroMs = pictures != nullptr && pictures->start_time != AV_NOPTS_VALUE
        ? av_rescale_q(pictures->start_time, pictures->time_base, AVRational{1, 1000})
        : 0;
    source->KeepOnlyStream(index);
    std::string document = "[Events]\nFormat: Start, End, Text\n";
    while (av_read_frame(source->Context(), packet.get()) >= 0) {
        if (packet->stream_index != index || packet->pts == AV_NOPTS_VALUE) {
            av_packet_unref(packet.get());
            continue;
        }
        AVSubtitle subtitle{};
        int got = 0;
        const std::int64_t atMs = av_rescale_q(packet->pts, stream->time_base, AVRational{1, 1000}) - zeroMs;
        const std::int64_t lengthMs = av_rescale_q(packet->duration, stream->time_base, AVRational{1, 1000});
        if (avcodec_decode_subtitle2(decoder.get(), &subtitle, &got, packet.get()) >= 0 && got != 0) {
            const std::int64_t endMs = subtitle.end_display_time > 0 && subtitle.end_display_time != UINT32_MAX
                ? atMs + subtitle.end_display_time
                : atMs + lengthMs;
            for (unsigned r = 0; r < subtitle.num_rects; ++r) {
                const AVSubtitleRect& rect = *subtitle.rects[r];
                const std::string text = rect.type == SUBTITLE_ASS ? DialogueText(rect.ass) : "";
                if (!text.empty()) {
                    document += "Dialogue: " + AssTime(atMs + subtitle.start_display_time) + "," + AssTime(endMs) + ","
                        + text + "\n";
                }
            }
            avsubtitle_free(&subtitle);
        }
        av_packet_unref(packet.get());
        if (document.size() > byteLimit) {
            error = {MediaFailure::BadFormat, MediaText(media_messages::textSubtitlesTooLarge, number, path.c_str())};
            return {};
        }
    }
    return document;
}

} // namespace discforge
