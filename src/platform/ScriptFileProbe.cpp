// The media layer's answers to a script's questions about the files it names:
// headers read through libavformat, sound measured by running its graph.
#include "platform/ScriptFileProbe.h"

#include "platform/FfmpegError.h"
#include "platform/FileContents.h"
#include "platform/MediaMessages.h"
#include "platform/MediaSource.h"
#include "platform/ScriptSoundPeak.h"
#include "platform/StreamTiming.h"
#include "platform/SubtitleOverlayVideo.h"

#include <filesystem>

namespace discforge {
namespace {

// The stream `wanted` (-1: the first) when it is of the kind.
int ChosenStream(const MediaSource& source, int wanted, AVMediaType type)
{
    if (wanted < 0) {
        return source.FirstStream(type);
    }
    const AVFormatContext* context = source.Context();
    return wanted < static_cast<int>(context->nb_streams) && context->streams[wanted]->codecpar->codec_type == type
        ? wanted
        : -1;
}

} // namespace

bool ScriptFileProbe::Probe(
    const std::string& path, const AvsTrackChoice& tracks, AvsMediaFacts& facts, std::string& reason)
{
    if (IsAviSynthScriptPath(path)) {
        reason = media_messages::scriptInScript;
        return false;
    }
    probed_.push_back(path);
    MediaError error;
    const std::unique_ptr<MediaSource> source = MediaSource::Open(path, error);
    if (!source) {
        reason = error.text;
        return false;
    }
    const int video = ChosenStream(*source, tracks.video, AVMEDIA_TYPE_VIDEO);
    facts.videoTrack = video;
    if (video >= 0) {
        const AVStream* stream = source->Stream(video);
        const AVRational rate = StreamFrameRate(stream);
        facts.hasVideo = PictureSizeValid(stream->codecpar->width, stream->codecpar->height) && rate.num > 0;
        facts.width = stream->codecpar->width;
        facts.height = stream->codecpar->height;
        facts.fpsNumerator = rate.num;
        facts.fpsDenominator = rate.den;
        facts.frames = StreamFrameCount(source->Context(), stream);
        facts.videoStart = StreamStartPts(source->Context(), stream);
        // A still picture has no length of its own.
        if (facts.frames <= 0 && facts.hasVideo) {
            facts.frames = 1;
        }
    }
    const int audio = ChosenStream(*source, tracks.audio, AVMEDIA_TYPE_AUDIO);
    facts.audioTrack = audio;
    if (audio >= 0) {
        const AVStream* stream = source->Stream(audio);
        facts.sampleRate = stream->codecpar->sample_rate;
        facts.channels = stream->codecpar->ch_layout.nb_channels;
        facts.hasAudio = facts.sampleRate > 0 && facts.sampleRate <= maxSampleRate && facts.channels > 0
            && facts.channels <= maxChannels;
        facts.samples = av_rescale(StreamDuration100ns(source->Context(), stream), facts.sampleRate, 10000000);
    }
    return true;
}

bool ScriptFileProbe::SoundPeak(const std::string& graph, double& peak, std::string& reason)
{
    return MeasureSoundPeak(graph, probed_, peak, reason);
}

bool ScriptFileProbe::IsFile(const std::string& path)
{
    std::error_code code;
    return std::filesystem::is_regular_file(path, code);
}

bool ScriptFileProbe::ReadText(const std::string& path, std::size_t limit, std::string& text, std::string& reason)
{
    std::vector<std::uint8_t> bytes;
    if (ReadFileStart(path, limit + 1, bytes) != FileReadResult::ok) {
        reason = media_messages::scriptFileUnreadable;
        return false;
    }
    if (bytes.size() > limit) {
        reason = MediaText(media_messages::scriptFileTooLarge, std::to_string(limit).c_str());
        return false;
    }
    text.assign(bytes.begin(), bytes.end());
    return true;
}

bool ScriptFileProbe::SubtitleVideo(const std::string& path, std::string& video, std::string& reason)
{
    return SubtitleOverlayVideo(path, video, reason);
}

} // namespace discforge
