#include "app/ProjectCommands.h"

#include "app/AppParts.h"
#include "app/DiscChoicesEntry.h"
#include "app/DiscMenuEntry.h"
#include "app/DiscSizeEntry.h"
#include "app/ProjectChoices.h"
#include "app/ProjectFile.h"
#include "app/ProjectMessages.h"
#include "core/ShowMessage.h"
#include "core/TextFormat.h"
#include "platform/FileContents.h"
#include "ports/InputHost.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace discforge {

bool ProjectCommands::SaveProject(const std::string& path)
{
    const InputTableState& inputs = core_.inputs;
    ProjectHeader header;
    header.batchMode = core_.settings.batchMode;
    header.inputCount = inputs.inputCount;
    header.selectedInput = inputs.selectedInput;
    header.framePosition = inputs.framePosition;
    header.singleOutputName = inputs.sharedOutputName;
    header.sharedWidth = inputs.sharedWidth;
    header.sharedHeight = inputs.sharedHeight;
    header.liveOutputPreview = core_.liveOutputPreview;
    std::vector<InputRecord> records;
    ProjectExtension extension = SaveChoices(core_);
    for (int i = 0; i < inputs.inputCount; ++i) {
        const InputEntry& entry = inputs.inputTable[static_cast<std::size_t>(i)];
        records.push_back(EncodeInputRecord(entry));
        if (entry.soundTrack != defaultSoundTrack) {
            extension.SetInt(ProjectTag::soundTrack, static_cast<std::uint16_t>(i), entry.soundTrack);
        }
        KeepDiscChoices(extension, static_cast<std::uint16_t>(i), entry);
    }
    // Automatic is what a file without the entry opens as, so it needs none.
    if (core_.settings.shapeChoice != ShapeChoice::automatic) {
        extension.SetInt(ProjectTag::frameShape, batchScope, static_cast<std::int32_t>(core_.settings.shapeChoice));
    }
    KeepDiscSize(extension, core_.settings.discSize);
    std::vector<std::string> titleNames;
    for (int i = 0; i < core_.inputs.inputCount; ++i) {
        titleNames.push_back(core_.inputs.inputTable[static_cast<std::size_t>(i)].titleName);
    }
    KeepDiscMenu(extension, {core_.settings.discMenu, AbsolutePath(core_.settings.menuBackground)}, titleNames);
    switch (ReplaceFile(path, ProjectFileBytes(header, records, extension))) {
    case FileWriteResult::ok:
        return true;
    case FileWriteResult::cannotCreate:
        ShowMessage(
            core_.ports.messages, FormatText(message::cannotSaveProject, path.c_str()), message::contextProjectSave);
        return false;
    case FileWriteResult::writeFailed:
        break;
    }
    ShowMessage(
        core_.ports.messages, FormatText(message::cannotWriteProject, path.c_str()), message::contextProjectSave);
    return false;
}

bool ProjectCommands::FailOpen(const char* text, const std::string& path)
{
    ShowMessage(core_.ports.messages, FormatText(text, path.c_str()), message::contextProjectOpen);
    return false;
}

bool ProjectCommands::OpenProject(const std::string& path)
{
    std::vector<std::uint8_t> bytes;
    switch (ReadFileStart(path, maxProjectFileSize, bytes)) {
    case FileReadResult::ok:
        break;
    case FileReadResult::cannotOpen:
        return FailOpen(message::cannotOpenProject, path);
    case FileReadResult::readFailed:
        return FailOpen(message::cannotReadProject, path);
    }
    // The whole header is read and checked before anything changes.
    const ProjectContents contents = ParseProject(bytes);
    if (contents.status == ProjectContents::Status::shortHeader
        || contents.status == ProjectContents::Status::tooManyInputs) {
        return FailOpen(message::cannotReadProject, path);
    }
    // Inputs that are gone are named and left out; when none is left of a
    // project that had some, the list stays as it was.
    std::vector<int> present;
    std::string missing;
    for (int i = 0; i < static_cast<int>(contents.records.size()); ++i) {
        const std::string input = SavedInputPath(contents, i);
        std::error_code error;
        if (std::filesystem::exists(std::filesystem::path(input), error)) {
            present.push_back(i);
        } else {
            missing += "\n" + input;
        }
    }
    if (!missing.empty()) {
        ShowMessage(core_.ports.messages, FormatText(message::inputsMissing, path.c_str(), missing.c_str()),
            message::contextProjectOpen);
    }
    if (present.empty() && !contents.records.empty()) {
        return false;
    }
    // The earlier work stays aside until the project has loaded, and comes back
    // whole when none of the project's inputs opens.
    EarlierWork earlier;
    SetAside(earlier);
    core_.settings.batchMode = contents.header.batchMode;
    // The project's standard and disc come first, so that its inputs are opened for them.
    if (!RestoreBatchChoices(core_, contents.extension)) {
        PutBack(earlier);
        return false;
    }
    const std::vector<int> opened = ReopenInputs(contents, present);
    if (opened.empty() && !present.empty()) {
        PutBack(earlier);
        return FailOpen(message::noInputOpened, path);
    }
    if (contents.status == ProjectContents::Status::shortRecords) {
        // The inputs of the whole records stay, with the input opened last active.
        core_.inputCommands.ActivateKeepingInvert(core_.inputs.currentInput);
        return FailOpen(message::cannotReadProject, path);
    }
    for (std::size_t i = 0; i < opened.size(); ++i) {
        const int record = opened[i];
        const int input = static_cast<int>(i);
        RestoreSavedChoices(core_.inputs.inputTable[i], DecodeInputRecord(contents.records[static_cast<std::size_t>(record)]));
        RestoreOutputPath(core_, contents.extension, record, input);
        core_.inputs.inputTable[i].titleName = SavedTitleName(contents.extension, record);
        RestoreDiscChoices(contents.extension, record, core_.inputs.inputTable[i]);
    }
    if (!contents.header.batchMode) {
        const std::optional<std::string> whole = contents.extension.Text(ProjectTag::sharedOutputName, batchScope);
        core_.inputs.sharedOutputName = whole && !whole->empty() ? *whole : contents.header.singleOutputName;
        core_.inputs.sharedWidth = contents.header.sharedWidth;
        core_.inputs.sharedHeight = contents.header.sharedHeight;
    }
    core_.liveOutputPreview = contents.header.liveOutputPreview;
    core_.settings.shapeChoice = SavedShape(contents.extension);
    core_.settings.discSize = SavedDiscSize(contents.extension);
    const MenuChoices menu = SavedDiscMenu(contents.extension);
    core_.settings.discMenu = menu.menu;
    core_.settings.menuBackground = menu.background;
    core_.settings.videoSettingsChanged = true;
    if (!SelectSaved(contents, opened)) {
        PutBack(earlier);
        return false;
    }
    if (core_.inputs.inputCount > 0) {
        core_.inputTable.DescribeInput();
    }
    core_.ports.host.RefreshInputControls();
    return true;
}

void ProjectCommands::SetAside(EarlierWork& earlier)
{
    InputTableState& inputs = core_.inputs;
    // Only one input holds open streams; it lets them go before its entry moves.
    core_.inputTable.DeactivateInput(inputs.selectedInput);
    core_.inputTable.DeactivateInput(inputs.currentInput);
    for (int i = inputs.inputCount - 1; i >= 0; --i) {
        core_.ports.host.DeleteListLine(i);
    }
    earlier.inputs = std::make_unique<InputTableState>();
    // The table's object stays where every part holds it; only its contents change places.
    std::swap(*earlier.inputs, inputs);
    std::swap(earlier.inputs->cancelDialog, inputs.cancelDialog);
    // The one output file and its size belong to the batch; a project in batch mode leaves them.
    inputs.sharedOutputName = earlier.inputs->sharedOutputName;
    inputs.sharedWidth = earlier.inputs->sharedWidth;
    inputs.sharedHeight = earlier.inputs->sharedHeight;
    earlier.settings = core_.settings;
    earlier.standardChosen = core_.batchStandard.IsChosenByUser();
    earlier.liveOutputPreview = core_.liveOutputPreview;
}

void ProjectCommands::PutBack(EarlierWork& earlier)
{
    RemoveEveryInput();
    InputTableState& inputs = core_.inputs;
    std::swap(*earlier.inputs, inputs);
    std::swap(earlier.inputs->cancelDialog, inputs.cancelDialog);
    const bool encoderChanged = core_.settings.outputFormat != earlier.settings.outputFormat
        || core_.settings.tvStandard != earlier.settings.tvStandard;
    core_.settings = earlier.settings;
    core_.batchStandard.KeepChoice(earlier.standardChosen);
    core_.liveOutputPreview = earlier.liveOutputPreview;
    if (encoderChanged) {
        // The project's format or standard reached the encoder; the earlier one goes back to it.
        core_.encoder.Init(core_.settings.encoderFormatCode());
    }
    for (int i = 0; i < inputs.inputCount; ++i) {
        core_.ports.host.InsertListLine(i, inputs.inputTable[static_cast<std::size_t>(i)].path);
    }
    if (inputs.inputCount > 0) {
        // An activation makes its input the selected and current one; both are put back after.
        const int selected = inputs.selectedInput;
        const int current = inputs.currentInput;
        core_.ports.host.SelectListLine(selected);
        core_.inputCommands.ActivateKeepingInvert(selected);
        if (current != selected) {
            core_.inputCommands.ActivateKeepingInvert(current);
        }
        inputs.selectedInput = selected;
        inputs.currentInput = current;
    }
    core_.ports.host.RefreshInputControls();
}

ShapeChoice ProjectCommands::SavedShape(const ProjectExtension& extension)
{
    // A file without the entry, or with a shape this program does not know, opens as automatic.
    switch (extension.Int(ProjectTag::frameShape, batchScope).value_or(0)) {
    case static_cast<int>(ShapeChoice::fourByThree):
        return ShapeChoice::fourByThree;
    case static_cast<int>(ShapeChoice::sixteenByNine):
        return ShapeChoice::sixteenByNine;
    default:
        return ShapeChoice::automatic;
    }
}

void ProjectCommands::RemoveEveryInput()
{
    for (int i = core_.inputs.inputCount - 1; i >= 0; --i) {
        core_.inputTable.RemoveInput(i, false);
    }
}

std::vector<int> ProjectCommands::ReopenInputs(const ProjectContents& contents, const std::vector<int>& records)
{
    std::vector<int> opened;
    for (const int record : records) {
        // A track the file no longer has leaves the input without sound, as its open says.
        const int track = contents.extension.Int(ProjectTag::soundTrack, static_cast<std::uint16_t>(record))
                              .value_or(defaultSoundTrack);
        // A file that does not open has been named by its reader and is left out.
        if (core_.inputCommands.OpenInput(
                SavedInputPath(contents, record), std::max(track, 0), SavedDecoderChoices(contents, record))) {
            core_.inputTable.DeactivateInput(core_.inputs.inputCount - 1);
            opened.push_back(record);
        }
    }
    return opened;
}

bool ProjectCommands::SelectSaved(const ProjectContents& contents, const std::vector<int>& opened)
{
    InputTableState& inputs = core_.inputs;
    if (inputs.inputCount == 0) {
        inputs.selectedInput = inputs.currentInput = -1;
        inputs.framePosition = 0;
        return true;
    }
    // The saved input, or the first one opened after it when it was left out; a
    // damaged file's index outside the list selects the first input rather than none.
    const int saved = contents.header.selectedInput;
    const auto at = std::lower_bound(opened.begin(), opened.end(), saved);
    const int found = static_cast<int>(at - opened.begin());
    const int selected = saved >= 0 && found < inputs.inputCount ? found : 0;
    core_.ports.host.SelectListLine(selected);
    inputs.selectedInput = selected;
    if (!core_.inputCommands.ActivateKeepingInvert(selected)) {
        return false;
    }
    inputs.framePosition = contents.header.framePosition;
    core_.videoSupply.ClampFramePosition();
    return inputs.currentInput == selected || core_.inputCommands.ActivateKeepingInvert(inputs.currentInput);
}

void RestoreSavedChoices(InputEntry& entry, const InputEntry& saved)
{
    PictureOptions options = saved.pictureOptions;
    options.outputWidth = entry.pictureOptions.outputWidth;
    options.outputHeight = entry.pictureOptions.outputHeight;
    options.cropX = std::max(options.cropX, 0);
    options.cropY = std::max(options.cropY, 0);
    options.cropWidth = std::max(options.cropWidth, 0);
    options.cropHeight = std::max(options.cropHeight, 0);
    entry.pictureOptions = options;

    // The file may have changed since the project was saved: the selection stays inside it.
    const int last = std::max(entry.lastFrame, 0);
    entry.selectionStart = std::clamp(saved.selectionStart, 0, last);
    entry.selectionEnd = std::clamp(saved.selectionEnd, entry.selectionStart, last);
    entry.position = std::clamp(saved.position, std::min(entry.firstFrame, last), last);
    entry.selectedFrames = std::min(saved.selectedFrames, entry.totalFrames);
    const int samples = std::max(entry.totalSamples, 0);
    entry.audioSelectionStart = std::clamp(saved.audioSelectionStart, 0, samples);
    entry.selectedSamples = std::clamp(saved.selectedSamples, 0, samples);
    entry.openMarker = saved.openMarker;
}

} // namespace discforge
