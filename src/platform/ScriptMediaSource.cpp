// Opening a script: it is read (size-limited), evaluated with the files it
// names probed through libavformat, and its graph opened through the lavfi
// input device, so the rest of the media layer sees an ordinary source.
#include "platform/FfmpegError.h"
#include "platform/FileContents.h"
#include "platform/FilterLibrary.h"
#include "platform/MediaMessages.h"
#include "platform/MediaSource.h"
#include "platform/ScriptFileProbe.h"
#include "script/AvsParser.h"
#include "script/AvsScript.h"

namespace discforge {
namespace {

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

int OpenGraph(AVFormatContext** context, const std::string& graph)
{
    std::string unloaded;
    const AVInputFormat* lavfi = FilterLibrary::Load(unloaded) != nullptr ? av_find_input_format("lavfi") : nullptr;
    if (lavfi == nullptr) {
        return AVERROR_DEMUXER_NOT_FOUND;
    }
    AVDictionary* options = nullptr;
    av_dict_set(&options, "graph", graph.c_str(), 0);
    const int result = avformat_open_input(context, "script", lavfi, &options);
    av_dict_free(&options);
    return result;
}

// The graph numbers every picture from 0 and carries no length: both come
// from the script's evaluation.
void SetScriptTiming(AVFormatContext* context, const AvsClip& clip)
{
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        AVStream* stream = context->streams[i];
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            const AVRational rate{clip.fpsNumerator, clip.fpsDenominator};
            stream->avg_frame_rate = rate;
            stream->r_frame_rate = rate;
            stream->nb_frames = clip.frames;
            stream->duration = av_rescale_q(clip.frames, av_inv_q(rate), stream->time_base);
        } else if (stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
            stream->duration = av_rescale_q(clip.samples, AVRational{1, clip.sampleRate}, stream->time_base);
        }
        stream->start_time = 0;
    }
    context->duration = av_rescale_q(clip.frames, AVRational{clip.fpsDenominator, clip.fpsNumerator}, AV_TIME_BASE_Q);
}

} // namespace

std::unique_ptr<MediaSource> MediaSource::OpenScript(const std::string& path, MediaError& error)
{
    std::vector<std::uint8_t> bytes;
    if (ReadFileStart(path, maxAvsScriptBytes + 1, bytes) != FileReadResult::ok) {
        error = PlainFailure(
            MediaFailure::FileMissing, MediaText(media_messages::fileMissing, path.c_str(), "read failed"));
        return nullptr;
    }
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, byteOrderMark.size()) == byteOrderMark) {
        text.remove_prefix(byteOrderMark.size());
    }
    ScriptFileProbe probe;
    AvsResult result;
    AvsError scriptError;
    if (!EvaluateAvsScript(text, FolderOf(path), probe, result, scriptError)) {
        error = PlainFailure(MediaFailure::ScriptFailed,
            MediaText(media_messages::scriptFailed, path.c_str(), AvsErrorText(scriptError).c_str()));
        return nullptr;
    }
    AVFormatContext* context = nullptr;
    const int opened = OpenGraph(&context, result.graph);
    if (opened < 0) {
        error = PlainFailure(MediaFailure::ScriptFailed,
            MediaText(media_messages::scriptNotPlayable, path.c_str(), AvErrorText(opened).c_str()));
        return nullptr;
    }
    SetScriptTiming(context, result.clip);
    std::unique_ptr<MediaSource> source(new MediaSource(context, path));
    source->scriptGraph_ = std::move(result.graph);
    source->scriptClip_ = result.clip;
    source->scriptNotes_ = std::move(result.notes);
    return source;
}

bool MediaSource::Rewind(MediaError& error)
{
    AVFormatContext* context = nullptr;
    const int opened = OpenGraph(&context, scriptGraph_);
    if (opened < 0) {
        error = PlainFailure(MediaFailure::ReadFailed,
            MediaText(media_messages::scriptNotPlayable, path_.c_str(), AvErrorText(opened).c_str()));
        return false;
    }
    // The stream objects are the same in number and kind; what the cursors
    // hold of them (time base, index) stays valid in the new context.
    std::vector<int> discard;
    for (unsigned i = 0; i < context_->nb_streams; ++i) {
        discard.push_back(context_->streams[i]->discard);
    }
    avformat_close_input(&context_);
    context_ = context;
    SetScriptTiming(context_, scriptClip_);
    for (unsigned i = 0; i < context_->nb_streams && i < discard.size(); ++i) {
        context_->streams[i]->discard = static_cast<AVDiscard>(discard[i]);
    }
    return true;
}

} // namespace discforge
