#include "app/AppCore.h"

#include "app/AppMessages.h"
#include "app/BatchMessages.h"
#include "app/BatchOutputs.h"
#include "app/DecoderOptionProfile.h"
#include "app/DiscSizeControls.h"
#include "app/InputSubtitles.h"
#include "app/RunLogFile.h"
#include "core/ControlIds.h"
#include "core/ShowMessage.h"
#include "core/TextFormat.h"
#include "platform/MediaOptions.h"
#include "ports/ControlSurface.h"
#include "ports/MessagePort.h"
#include "ports/WindowPort.h"

#include <utility>

namespace discforge {

AppCore::AppCore(AppPorts ports, SizeEditHooks hooks)
    : parts_(std::move(ports), hooks.reapplySizeEdits ? std::move(hooks) : OwnHooks())
    , run_(parts_)
    , disc_(parts_)
{
}

SizeEditHooks AppCore::OwnHooks()
{
    return {[this] { return parts_.inputs.inputCount > 0 && !parts_.preview.previewPlaying(); },
        [this] {
            parts_.optionControls.HeightFieldLeft();
            parts_.optionControls.WidthFieldLeft();
            // Every input of the batch is written in the one disc picture, not
            // only the one in view.
            if (parts_.settings.batchMode) {
                for (int i = 0; i < parts_.inputs.inputCount; ++i) {
                    PictureOptions& options = parts_.inputs.inputTable[static_cast<std::size_t>(i)].pictureOptions;
                    options.outputWidth = parts_.settings.frameWidth;
                    options.outputHeight = parts_.settings.frameHeight;
                }
            }
        }};
}

bool AppCore::Start(const std::string& libraryName, EncoderCallbacks callbacks)
{
    if (!StartEncoder(parts_, libraryName, callbacks)) {
        return false;
    }
    WriteStartupLog(parts_);
    return true;
}

void AppCore::Teardown()
{
    InputTableState& inputs = parts_.inputs;
    while (inputs.inputCount > 0) {
        parts_.inputTable.DeactivateInput(inputs.inputCount - 1);
        --inputs.inputCount;
    }
    parts_.encoder.Unload();
    WriteRunLog();
}

bool AppCore::Refuse()
{
    parts_.windowRefresh.ShowStoredChoices();
    parts_.windowRefresh.RefreshWindow();
    return false;
}

bool AppCore::ChooseSoundTrack(int index, int track) { return parts_.inputCommands.ChooseSoundTrack(index, track); }

bool AppCore::OpenInput(const std::string& path, int soundTrack)
{
    return AskForDecoderSettingsIfWanted(parts_.inputCommands.OpenInput(path, soundTrack));
}

bool AppCore::AskForDecoderSettingsIfWanted(bool opened)
{
    if (opened && parts_.settings.editFilters) {
        parts_.inputCommands.EditDecoderSettings();
    }
    return opened;
}

bool AppCore::EditDecoderSettings()
{
    if (Locked()) {
        return Refuse();
    }
    return parts_.inputCommands.EditDecoderSettings();
}

bool AppCore::OpenMediaFile(const std::string& path)
{
    if (Locked()) {
        return Refuse();
    }
    return AskForDecoderSettingsIfWanted(parts_.inputCommands.ReplaceSelectedInput(path));
}

bool AppCore::AddInput(const std::string& path)
{
    if (Locked()) {
        return Refuse();
    }
    const bool opened = AskForDecoderSettingsIfWanted(parts_.inputCommands.OpenInput(path));
    parts_.windowRefresh.RefreshWindow();
    parts_.optionControls.HeightFieldLeft();
    parts_.optionControls.WidthFieldLeft();
    return opened;
}

int AppCore::AddInputs(const std::vector<std::string>& paths)
{
    if (Locked()) {
        Refuse();
        return 0;
    }
    int added = 0;
    std::size_t next = 0;
    for (; next < paths.size() && parts_.inputs.inputCount < maxInputs; ++next) {
        added += AskForDecoderSettingsIfWanted(parts_.inputCommands.OpenInput(paths[next])) ? 1 : 0;
    }
    if (next < paths.size()) {
        ShowMessage(parts_.ports.messages,
            FormatText(message::droppedBeyondRoom, maxInputs, static_cast<int>(paths.size() - next)),
            message::droppedCaption);
    }
    parts_.windowRefresh.RefreshWindow();
    parts_.optionControls.HeightFieldLeft();
    parts_.optionControls.WidthFieldLeft();
    return added;
}

bool AppCore::RemoveSelectedInput()
{
    if (Locked() || parts_.inputs.selectedInput < 0) {
        return Refuse();
    }
    parts_.inputTable.RemoveInput(parts_.inputs.selectedInput);
    parts_.windowRefresh.RefreshWindow();
    return true;
}

bool AppCore::MoveSelectedInputUp()
{
    if (Locked()) {
        return Refuse();
    }
    parts_.inputTable.MoveInputUp();
    parts_.windowRefresh.RefreshWindow();
    return true;
}

bool AppCore::MoveSelectedInputDown()
{
    if (Locked()) {
        return Refuse();
    }
    parts_.inputTable.MoveInputDown();
    parts_.windowRefresh.RefreshWindow();
    return true;
}

bool AppCore::SelectInput(int index)
{
    if (Locked()) {
        return Refuse();
    }
    parts_.inputCommands.SelectInput(index);
    return true;
}

void AppCore::ChooseOutputFile(const std::string& path) { parts_.inputCommands.ChooseOutputFile(path); }

void AppCore::SetPictureOptions(int index, const PictureOptions& options)
{
    if (index >= 0 && index < parts_.inputs.inputCount) {
        parts_.inputs.inputTable[static_cast<std::size_t>(index)].pictureOptions = options;
    }
}

bool AppCore::SaveProject(const std::string& path) { return parts_.projectCommands.SaveProject(path); }

bool AppCore::OpenProject(const std::string& path)
{
    if (Locked()) {
        return Refuse();
    }
    const bool opened = parts_.projectCommands.OpenProject(path);
    // The restored choices of the selected input show in its controls.
    parts_.windowRefresh.ShowStoredChoices();
    parts_.windowRefresh.RefreshWindow();
    return opened;
}

AuthoringOutcome AppCore::AuthorDisc(AuthoringRequest request, const std::function<bool()>& cancelled)
{
    const AuthoringRequest batch = disc_.DiscRequest(false, request.subtitles);
    request.outputFormat = batch.outputFormat;
    request.discSize = batch.discSize;
    request.tvStandard = batch.tvStandard;
    request.streams = batch.streams;
    request.menu = batch.menu;
    request.titleNames = batch.titleNames;
    request.menuBackground = batch.menuBackground;
    request.soundLanguages = batch.soundLanguages;
    request.subtitles = batch.subtitles;
    return discforge::AuthorDisc(request, parts_.runLog, cancelled);
}

bool AppCore::CanAuthorDisc() const { return !Locked() && !disc_.WrittenStreams().empty(); }

bool AppCore::AuthorDiscInto(const std::string& folder)
{
    if (Locked()) {
        return false;
    }
    const bool made = disc_.AuthorInto(folder);
    parts_.windowRefresh.RefreshWindow();
    if (closeAfterRun_) {
        closeAfterRun_ = false;
        parts_.ports.window.PostCloseRequest();
    }
    return made;
}

void AppCore::DiscCheckClicked(const FolderQuestion& askFolder)
{
    if (IsConverting() || IsAuthoring()) {
        Refuse();
        return;
    }
    disc_.DiscCheckClicked(askFolder);
}

void AppCore::ChooseDiscFolder(const FolderQuestion& askFolder)
{
    if (!IsConverting() && !IsAuthoring()) {
        disc_.ChooseFolder(askFolder);
    }
}

void AppCore::SetDiscAfterConverting(bool after, const std::string& folder)
{
    parts_.settings.discFolder = folder;
    parts_.settings.discAfterConverting = after && !folder.empty();
    parts_.ports.controls.SetChecked(control::discCheck, parts_.settings.discAfterConverting);
}

bool AppCore::ChooseFormat(int format) { return parts_.settingsController.ChooseFormat(format); }

bool AppCore::ChooseStandard(int standard)
{
    parts_.batchStandard.ChosenByUser();
    return parts_.settingsController.ChooseStandard(standard);
}

void AppCore::TakeFormatPictureSize() { ShowFormatSize(parts_.settings); }

void AppCore::SetSplitSize(int megabytes)
{
    parts_.settings.splitOutput = megabytes != 0;
    if (megabytes != 0) {
        parts_.settings.maxFileSizeMB = megabytes;
    }
}

void AppCore::SetShutdownWhenDone(bool shutdown) { parts_.settings.shutdownWhenDone = shutdown; }

bool AppCore::ChooseDiscMenu(bool menu, const std::string& background)
{
    if (IsConverting() || IsAuthoring()) {
        return Refuse();
    }
    parts_.settings.discMenu = menu;
    parts_.settings.menuBackground = background;
    return true;
}

bool AppCore::NameTitle(int index, const std::string& name)
{
    if (IsConverting() || IsAuthoring() || index < 0 || index >= parts_.inputs.inputCount) {
        return Refuse();
    }
    parts_.inputs.inputTable[static_cast<std::size_t>(index)].titleName = name;
    return true;
}

bool AppCore::AddSubtitles(int index, const std::vector<SubtitleSource>& sources)
{
    if (IsConverting() || IsAuthoring() || index < 0 || index >= parts_.inputs.inputCount) {
        return false;
    }
    std::vector<SubtitleSource>& added = parts_.inputs.inputTable[static_cast<std::size_t>(index)].addedSubtitles;
    added.insert(added.end(), sources.begin(), sources.end());
    return true;
}

std::vector<SubtitleSource> AppCore::SubtitlesOf(int index) const
{
    if (index < 0 || index >= parts_.inputs.inputCount) {
        return {};
    }
    return FoundSubtitles(parts_.inputs.inputTable[static_cast<std::size_t>(index)]);
}

bool AppCore::SetSubtitleOnDisc(int index, const SubtitleSource& source, bool onDisc)
{
    if (IsConverting() || IsAuthoring() || index < 0 || index >= parts_.inputs.inputCount) {
        return false;
    }
    std::vector<SubtitleSource>& off = parts_.inputs.inputTable[static_cast<std::size_t>(index)].subtitlesLeftOut;
    std::erase_if(off, [&source](const SubtitleSource& s) { return SameSubtitle(s, source); });
    if (!onDisc) {
        off.push_back(source);
    }
    return true;
}

bool AppCore::SetBurnSubtitles(int index, bool burn)
{
    if (IsConverting() || IsAuthoring() || index < 0 || index >= parts_.inputs.inputCount) {
        return false;
    }
    parts_.inputs.inputTable[static_cast<std::size_t>(index)].burnSubtitles = burn;
    return true;
}

bool AppCore::SetSoundTrackOnDisc(int index, int track, bool onDisc)
{
    if (IsConverting() || IsAuthoring() || index < 0 || index >= parts_.inputs.inputCount) {
        return false;
    }
    std::vector<int>& off = parts_.inputs.inputTable[static_cast<std::size_t>(index)].soundTracksLeftOut;
    std::erase(off, track);
    if (!onDisc) {
        off.push_back(track);
    }
    return true;
}

bool AppCore::ChooseDiscSize(std::optional<DiscSize> size)
{
    if (IsConverting()) {
        return Refuse();
    }
    parts_.settings.discSize = size;
    ShowDiscSize(parts_);
    parts_.windowRefresh.ApplyEnabling();
    ShowDiscMeter(parts_);
    return true;
}

std::optional<DiscPlan> AppCore::PlanForDisc() const { return PlanBatch(parts_.settings, parts_.inputs); }

bool AppCore::ChooseShape(ShapeChoice shape)
{
    if (IsConverting()) {
        return Refuse();
    }
    parts_.settings.shapeChoice = shape;
    parts_.settings.videoSettingsChanged = true;
    parts_.windowRefresh.ShowShapeChoice();
    parts_.windowRefresh.RefreshWindow();
    return true;
}

void AppCore::SetEditFilters(bool editFilters) { parts_.settings.editFilters = editFilters; }

void AppCore::KeepDecoderOptionsIn(ProfileStore& profile)
{
    parts_.settings.decoderOptions.Keep(
        ReadDecoderOptions(profile), [&profile](const std::string& component, const OptionValues& values) {
            WriteDecoderOptions(profile, component, values);
        });
}

std::string AppCore::SetDecoderOption(const std::string& component, const std::string& name, const std::string& value)
{
    std::string reason = CheckNamedOption(component, name, value);
    if (reason.empty()) {
        parts_.settings.decoderOptions.SetForRun(component, name, value);
    }
    return reason;
}

bool AppCore::FormatRadioClicked(int format)
{
    if (IsConverting()) {
        return Refuse();
    }
    const bool accepted = parts_.settingsController.ChooseFormat(format);
    parts_.windowRefresh.RefreshWindow();
    return accepted;
}

bool AppCore::StandardRadioClicked(int standard)
{
    if (Locked()) {
        return Refuse();
    }
    parts_.batchStandard.ChosenByUser();
    const bool accepted = parts_.settingsController.ChooseStandard(standard);
    parts_.windowRefresh.RefreshWindow();
    return accepted;
}

bool AppCore::FittingClicked(int radioId)
{
    if (Locked()) {
        return Refuse();
    }
    parts_.optionControls.FittingClicked(radioId);
    return true;
}

bool AppCore::InvertClicked()
{
    if (Locked()) {
        return Refuse();
    }
    parts_.optionControls.InvertClicked();
    return true;
}

bool AppCore::SplitClicked()
{
    if (IsConverting()) {
        return Refuse();
    }
    parts_.optionControls.SplitClicked();
    return true;
}

void AppCore::ShutdownClicked() { parts_.optionControls.ShutdownClicked(); }

bool AppCore::WidthFieldLeft()
{
    if (Locked()) {
        return Refuse();
    }
    parts_.optionControls.WidthFieldLeft();
    return true;
}

bool AppCore::HeightFieldLeft()
{
    if (Locked()) {
        return Refuse();
    }
    parts_.optionControls.HeightFieldLeft();
    return true;
}

bool AppCore::MaxSizeFieldLeft()
{
    if (IsConverting()) {
        return Refuse();
    }
    parts_.optionControls.MaxSizeFieldLeft();
    return true;
}

bool AppCore::DiscSizeChoiceMade()
{
    if (IsConverting()) {
        return Refuse();
    }
    discforge::DiscSizeChoiceMade(parts_);
    return true;
}

bool AppCore::DiscSizeFieldLeft()
{
    if (IsConverting()) {
        return Refuse();
    }
    discforge::DiscSizeFieldLeft(parts_);
    return true;
}

bool AppCore::OutputNameFieldLeft()
{
    if (Locked()) {
        return Refuse();
    }
    parts_.optionControls.OutputNameFieldLeft();
    return true;
}

void AppCore::RefreshWindow() { parts_.windowRefresh.RefreshWindow(); }

void AppCore::StartConversion()
{
    if (Locked()) {
        return;
    }
    parts_.stopConversion = false;
    closeAfterRun_ = false;
    parts_.media.run.conversionActive = true;
    parts_.windowRefresh.RefreshWindow();
    run_.StartConversion();
    parts_.stopConversion = false;
    parts_.windowRefresh.RefreshWindow();
    // A cancel or failure leaves the streams as they are; so does a close asked for during the run.
    if (parts_.settings.discAfterConverting && run_.BatchCompleted() && !closeAfterRun_) {
        disc_.AuthorInto(parts_.settings.discFolder);
        parts_.windowRefresh.RefreshWindow();
    }
    if (closeAfterRun_) {
        closeAfterRun_ = false;
        parts_.ports.window.PostCloseRequest();
    }
}

bool AppCore::ConfirmReplacingOutputs()
{
    if (Locked() || !parts_.settings.batchMode) {
        return true;
    }
    std::string listed;
    for (const std::string& path : ExistingOutputs(parts_.inputs)) {
        listed += "\n" + path;
    }
    return listed.empty()
        || parts_.ports.messages.AskYesNo(
            FormatText(message::replaceQuestion, listed.c_str()), ComposeCaption(message::replaceCaption));
}

void AppCore::ReportFinishedBatch()
{
    if (!run_.BatchCompleted() || parts_.settings.shutdownWhenDone) {
        return;
    }
    ShowMessage(parts_.ports.messages, FormatText(message::batchDone, WrittenOutputs(parts_.inputs).c_str()),
        message::batchDoneCaption);
}

void AppCore::CancelConversion()
{
    if (IsConverting()) {
        parts_.stopConversion = true;
        // The picture being made is finished (a failed one would be reported
        // as a failure); the running encode stops as cancelled, without a failure message, and
        // removes its partial file; the next run initialises the encoder again.
        parts_.encoder.Shutdown();
    }
}

bool AppCore::EnterKey()
{
    if (parts_.preview.previewPlaying()) {
        parts_.preview.playbackStopRequest = true;
        return false;
    }
    // A start posted now would run once this run has ended and convert everything again.
    return !IsConverting();
}

bool AppCore::ExitCommand()
{
    if (parts_.preview.previewPlaying()) {
        parts_.preview.playbackStopRequest = true;
        return false;
    }
    return true;
}

bool AppCore::QueryClose()
{
    if (parts_.preview.previewPlaying()) {
        parts_.preview.playbackStopRequest = true;
        return false;
    }
    if (IsAuthoring()) {
        // The authoring removes its work once the tool has stopped; the window closes then.
        disc_.CancelAuthoring();
        closeAfterRun_ = true;
        return false;
    }
    if (IsConverting()) {
        if (!closeAfterRun_
            && parts_.ports.messages.AskYesNo(
                message::closeWhileConverting, ComposeCaption(message::closeWhileConvertingCaption))) {
            CancelConversion();
            closeAfterRun_ = true;
        }
        return false;
    }
    return true;
}

bool AppCore::ForwardFocusToEncoder()
{
    if (!parts_.media.run.encoderBusy) {
        return false;
    }
    parts_.encoder.SetFocus();
    return true;
}

bool AppCore::CreatePreviewPictures(
    PanelPainter* inputPainter, const PanelRect& inputRect, PanelPainter* outputPainter, const PanelRect& outputRect)
{
    return parts_.previews.CreatePreviewPictures(inputPainter, inputRect, outputPainter, outputRect);
}

void AppCore::ShowPreviews()
{
    parts_.previews.ShowInputPreview();
    parts_.previews.ShowOutputPreview();
}

void AppCore::InputPositionChosen(int position)
{
    InputTableState& inputs = parts_.inputs;
    if (parts_.preview.previewPlaying() || inputs.selectedInput < 0 || inputs.selectedInput >= inputs.inputCount) {
        return;
    }
    inputs.inputTable[static_cast<std::size_t>(inputs.selectedInput)].position = position;
    parts_.previews.RenderInputPreview();
}

void AppCore::OutputPositionChosen(int position)
{
    if (parts_.preview.previewPlaying()) {
        return;
    }
    parts_.inputs.framePosition = position;
    parts_.previews.ClampOutputPosition();
    parts_.previews.RenderOutputPreview();
}

void AppCore::BeginPlayback(PlayingSide side)
{
    parts_.preview.playing = side;
    parts_.preview.playbackStopRequest = false;
    parts_.preview.streamStopRequest = false;
    parts_.windowRefresh.RefreshWindow();
}

void AppCore::EndPlayback()
{
    parts_.preview.playing = PlayingSide::none;
    parts_.windowRefresh.RefreshWindow();
}

void AppCore::RequestPlaybackStop() { parts_.preview.playbackStopRequest = true; }

void AppCore::RequestStreamStop() { parts_.preview.streamStopRequest = true; }

bool AppCore::WriteRunLog() const { return WriteRunLogFile(parts_.runLog); }

void AppCore::CheckLog() { discforge::CheckLog(parts_.runLog, parts_.ports.shell, parts_.ports.messages); }

} // namespace discforge
