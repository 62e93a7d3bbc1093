#include "platform/SoundTracks.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

#include <array>

namespace discforge {

namespace {

std::vector<int> SoundStreams(const AVFormatContext* context)
{
    std::vector<int> streams;
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        if (context->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
            streams.push_back(static_cast<int>(i));
        }
    }
    return streams;
}

// "5.1(side)" is a 5.1 to the listener; channels the file leaves unnamed (as AVI
// does) are named by their count as usual: one is mono, two stereo.
std::string LayoutName(const AVChannelLayout& layout)
{
    AVChannelLayout named{};
    if (layout.order == AV_CHANNEL_ORDER_UNSPEC) {
        av_channel_layout_default(&named, layout.nb_channels);
    } else if (av_channel_layout_copy(&named, &layout) < 0) {
        return std::to_string(layout.nb_channels) + " channels";
    }
    std::array<char, 64> name{};
    const int described = av_channel_layout_describe(&named, name.data(), name.size());
    av_channel_layout_uninit(&named);
    if (described < 0) {
        return std::to_string(layout.nb_channels) + " channels";
    }
    std::string text(name.data());
    const std::size_t bracket = text.find('(');
    return bracket == std::string::npos || bracket == 0 ? text : text.substr(0, bracket);
}

} // namespace

std::vector<SoundTrack> SoundTracksOf(const AVFormatContext* context)
{
    std::vector<SoundTrack> tracks;
    for (const int index : SoundStreams(context)) {
        const AVStream* stream = context->streams[index];
        SoundTrack track;
        track.number = static_cast<int>(tracks.size()) + 1;
        const AVDictionaryEntry* language = av_dict_get(stream->metadata, "language", nullptr, 0);
        track.language = language != nullptr && language->value[0] != '\0' ? language->value : "und";
        track.coder = avcodec_get_name(stream->codecpar->codec_id);
        track.layout = LayoutName(stream->codecpar->ch_layout);
        track.channels = stream->codecpar->ch_layout.nb_channels;
        track.sampleRate = stream->codecpar->sample_rate;
        track.marked = (stream->disposition & AV_DISPOSITION_DEFAULT) != 0;
        tracks.push_back(track);
    }
    return tracks;
}

int SoundTrackStream(const AVFormatContext* context, int track)
{
    const std::vector<int> streams = SoundStreams(context);
    if (streams.empty() || track < 0 || track > static_cast<int>(streams.size())) {
        return -1;
    }
    if (track != defaultSoundTrack) {
        return streams[static_cast<std::size_t>(track - 1)];
    }
    for (const int index : streams) {
        if ((context->streams[index]->disposition & AV_DISPOSITION_DEFAULT) != 0) {
            return index;
        }
    }
    return streams.front();
}

int PlayedSoundTrack(const AVFormatContext* context, int track)
{
    const int stream = SoundTrackStream(context, track);
    const std::vector<int> streams = SoundStreams(context);
    for (std::size_t i = 0; i < streams.size(); ++i) {
        if (streams[i] == stream) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

} // namespace discforge
