#include "app/DiscCommands.h"

#include "app/AppParts.h"
#include "app/AuthoringMessages.h"
#include "app/DiscAuthoring.h"
#include "app/DiscSoundTracks.h"
#include "app/InputSubtitles.h"
#include "app/OutputParts.h"
#include "core/ControlIds.h"
#include "core/ShowMessage.h"
#include "core/TextFormat.h"
#include "platform/PictureSubtitleTrack.h"
#include "ports/ControlSurface.h"
#include "ports/InputHost.h"
#include "ports/MessagePort.h"
#include "ports/WindowPort.h"

#include <algorithm>
#include <filesystem>
#include <memory>

namespace discforge {
namespace {

// Restores the main window and drops the progress window however the authoring ends.
class AuthoringProgress {
public:
    AuthoringProgress(AppParts& core, bool& cancelRequested, const std::string& folder, std::size_t streams)
        : core_(core)
        , dialog_(core.ports.host.MakeCancelDialog(cancelRequested))
    {
        if (dialog_ && !dialog_->Create()) {
            dialog_.reset();
        }
        if (dialog_) {
            dialog_->SetCaption(ComposeCaption(authoring_message::progressCaption));
            dialog_->SetUpperText(FormatText(authoring_message::progressUpper, folder.c_str()));
            dialog_->SetStatusText(FormatText(authoring_message::progressStatus, static_cast<int>(streams)));
        }
        core_.ports.host.SetMainWindowEnabled(false);
    }
    ~AuthoringProgress()
    {
        core_.ports.host.SetMainWindowEnabled(true);
        if (dialog_ && !dialog_->WasCancelled()) {
            dialog_->Close();
        }
    }
    AuthoringProgress(const AuthoringProgress&) = delete;
    AuthoringProgress& operator=(const AuthoringProgress&) = delete;

private:
    AppParts& core_;
    std::unique_ptr<TCancelDialog> dialog_;
};

// A VobSub index stands for each of its tracks, in the track's own language where it names
// one; an index of none stays, so that its reading tells why it gives no subtitles.
std::vector<SubtitleSource> WithIndexTracks(const std::vector<SubtitleSource>& files)
{
    std::vector<SubtitleSource> expanded;
    for (const SubtitleSource& file : files) {
        if (file.track != 0 || !IsVobSubIndexPath(file.path)) {
            expanded.push_back(file);
            continue;
        }
        const std::vector<PictureSubtitleTrack> tracks = PictureSubtitleTracksOf(file.path);
        for (const PictureSubtitleTrack& track : tracks) {
            expanded.push_back(
                {file.path, track.language != "und" ? track.language : file.language, track.number, true});
        }
        if (tracks.empty()) {
            expanded.push_back({file.path, file.language, 1, true});
        }
    }
    return expanded;
}

} // namespace

std::vector<StreamParts> DiscCommands::ConvertedStreams() const
{
    if (!core_.settings.batchMode) {
        return {OutputParts(core_.inputs.sharedOutputName)};
    }
    std::vector<StreamParts> streams;
    streams.reserve(static_cast<std::size_t>(std::max(core_.inputs.inputCount, 0)));
    for (int i = 0; i < core_.inputs.inputCount; ++i) {
        streams.push_back(OutputParts(core_.inputs.inputTable[static_cast<std::size_t>(i)].outputPath));
    }
    return streams;
}

std::vector<std::vector<std::string>> DiscCommands::SoundLanguages() const
{
    std::vector<std::vector<std::string>> languages;
    if (core_.settings.batchMode) {
        for (int i = 0; i < core_.inputs.inputCount; ++i) {
            languages.push_back(
                DiscSoundLanguages(core_.inputs.inputTable[static_cast<std::size_t>(i)], core_.settings.outputFormat));
        }
    }
    return languages;
}

std::vector<std::vector<SubtitleSource>> DiscCommands::Subtitles(
    const std::vector<std::vector<SubtitleSource>>& given) const
{
    std::vector<std::vector<SubtitleSource>> subtitles;
    if (!core_.settings.batchMode || core_.settings.outputFormat != formatDvd) {
        return subtitles;
    }
    for (int i = 0; i < core_.inputs.inputCount; ++i) {
        const auto index = static_cast<std::size_t>(i);
        const InputEntry& entry = core_.inputs.inputTable[index];
        std::vector<SubtitleSource> files
            = ChosenSubtitles(entry, index < given.size() ? given[index] : std::vector<SubtitleSource>{});
        // The one drawn into the picture is not a subtitle stream as well.
        if (BurnsSubtitles(core_.settings, entry) && !files.empty()) {
            files.erase(files.begin());
        }
        subtitles.push_back(WithIndexTracks(files));
    }
    return subtitles;
}

StreamParts DiscCommands::WrittenParts(const StreamParts& parts)
{
    StreamParts existing;
    for (const std::string& part : parts) {
        std::error_code error;
        if (!part.empty() && std::filesystem::is_regular_file(part, error)) {
            existing.push_back(part);
        }
    }
    return existing;
}

// Without the titles' sound and subtitles: the window asks this at every refresh.
std::vector<StreamParts> DiscCommands::WrittenStreams() const
{
    std::vector<StreamParts> written;
    for (const StreamParts& parts : ConvertedStreams()) {
        StreamParts existing = WrittenParts(parts);
        if (!existing.empty()) {
            written.push_back(std::move(existing));
        }
    }
    return written;
}

AuthoringRequest DiscCommands::DiscRequest(
    bool writtenOnly, const std::vector<std::vector<SubtitleSource>>& given) const
{
    AuthoringRequest request;
    request.outputFormat = core_.settings.outputFormat;
    request.discSize = core_.settings.discSize;
    request.tvStandard = core_.settings.tvStandard;
    request.menu = core_.settings.discMenu;
    request.menuBackground = core_.settings.menuBackground;
    const std::vector<StreamParts> converted = ConvertedStreams();
    const std::vector<std::vector<std::string>> languages = SoundLanguages();
    const std::vector<std::vector<SubtitleSource>> subtitles = Subtitles(given);
    for (std::size_t i = 0; i < converted.size(); ++i) {
        const StreamParts existing = writtenOnly ? WrittenParts(converted[i]) : converted[i];
        if (existing.empty()) {
            continue;
        }
        request.streams.push_back(existing);
        std::string name;
        if (core_.settings.batchMode && i < static_cast<std::size_t>(std::max(core_.inputs.inputCount, 0))) {
            const InputEntry& entry = core_.inputs.inputTable[i];
            name = !entry.titleName.empty() ? entry.titleName : std::filesystem::path(entry.path).stem().string();
        }
        request.titleNames.push_back(name);
        if (i < languages.size()) {
            request.soundLanguages.push_back(languages[i]);
        }
        if (i < subtitles.size()) {
            request.subtitles.push_back(subtitles[i]);
        }
    }
    return request;
}

bool DiscCommands::AuthorInto(const std::string& folder)
{
    if (authoring_) {
        return false;
    }
    AuthoringRequest request = DiscRequest(true);
    request.folder = folder;
    authoring_ = true;
    cancelRequested_ = false;
    AuthoringOutcome outcome;
    {
        const AuthoringProgress progress(core_, cancelRequested_, folder, AllParts(request.streams).size());
        // The window stays alive while a tool runs: its Cancel is seen at the next poll.
        outcome = AuthorDisc(request, core_.runLog, [this] {
            core_.ports.window.PumpMessages();
            return cancelRequested_;
        });
    }
    authoring_ = false;
    if (outcome.cancelled) {
        core_.runLog.AppendLogLine(authoring_message::cancelled);
    } else if (outcome.made) {
        core_.runLog.AppendLogLine(FormatText(authoring_message::madeInto, folder.c_str()));
    } else {
        core_.runLog.AppendLogLine(outcome.message);
        core_.ports.messages.ShowBox(outcome.message, ComposeCaption(authoring_message::caption), MessageIcon::Error);
    }
    return outcome.made;
}

void DiscCommands::DiscCheckClicked(const FolderQuestion& askFolder)
{
    ConversionSettings& settings = core_.settings;
    bool ticked = core_.ports.controls.IsChecked(control::discCheck);
    if (ticked && settings.discFolder.empty()) {
        ChooseFolder(askFolder);
        ticked = !settings.discFolder.empty();
    }
    settings.discAfterConverting = ticked;
    core_.ports.controls.SetChecked(control::discCheck, ticked);
}

void DiscCommands::ChooseFolder(const FolderQuestion& askFolder)
{
    const std::optional<std::string> folder = askFolder();
    if (folder && !folder->empty()) {
        core_.settings.discFolder = *folder;
    }
}

} // namespace discforge
