#include "input/StreamOpenGraph.h"

#include "core/ConversionSettings.h"
#include "core/RunLog.h"
#include "input/InputDecoderOptions.h"

#include <algorithm>

namespace discforge {

StreamOpenGraph::StreamOpenGraph(MediaInputContext context, int index)
    : context_(context)
    , index_(index)
{
}

std::vector<MediaComponent> StreamOpenGraph::Components() const
{
    const MmStream* video = context_.media.reader.pendingVideoStream.get();
    return video != nullptr ? video->Components() : std::vector<MediaComponent>{};
}

OptionsLookup StreamOpenGraph::Options(const std::string& component, std::vector<ComponentOption>& options) const
{
    const MmStream* video = context_.media.reader.pendingVideoStream.get();
    return video != nullptr ? video->ComponentOptions(component, options) : OptionsLookup::NoComponent;
}

std::string StreamOpenGraph::ChooseOptions(const std::string& component, const OptionValues& values)
{
    const MmStream* video = context_.media.reader.pendingVideoStream.get();
    if (video == nullptr) {
        return {};
    }
    for (const auto& [name, value] : values) {
        std::string reason = video->CheckComponentOption(component, name, value);
        if (!reason.empty()) {
            return reason;
        }
    }
    // The choice is this input's own; other inputs keep theirs.
    context_.inputs.inputTable[static_cast<std::size_t>(index_)].decoderChoices[component] = values;
    Reapply();
    return {};
}

void StreamOpenGraph::ResetOptions(const std::string& component)
{
    context_.inputs.inputTable[static_cast<std::size_t>(index_)].decoderChoices[component] = {};
    Reapply();
}

void StreamOpenGraph::Reapply()
{
    StreamReaderState& reader = context_.media.reader;
    const InputEntry& entry = context_.inputs.inputTable[static_cast<std::size_t>(index_)];
    const std::string& path = entry.path;
    const ComponentSettings settings = DecoderOptionsFor(context_.settings, entry);
    MediaError error;
    // A stream that cannot be opened again stays as it was opened.
    std::unique_ptr<MmStream> video = MmStream::Open(path, MmPurpose::PrimaryVideo, error, settings);
    if (video) {
        reader.pendingVideoStream = std::move(video);
    }
    if (reader.pendingAudioStream) {
        std::unique_ptr<MmStream> audio
            = MmStream::Open(path, MmPurpose::PrimaryAudio, error, settings, entry.soundTrack);
        if (audio) {
            reader.pendingAudioStream = std::move(audio);
        }
    }
    LogOptionNotes(context_.runLog, reader.pendingVideoStream.get(), reader.pendingAudioStream.get());
    changed_ = true;
}

void LogOptionNotes(RunLog& log, const MmStream* video, const MmStream* audio)
{
    std::vector<std::string> written;
    for (const MmStream* stream : {video, audio}) {
        if (stream == nullptr) {
            continue;
        }
        for (const std::string& note : stream->OptionNotes()) {
            // Both streams read the same source, so its notes come twice.
            if (std::find(written.begin(), written.end(), note) == written.end()) {
                log.AppendLogLine(note);
                written.push_back(note);
            }
        }
    }
}

} // namespace discforge
