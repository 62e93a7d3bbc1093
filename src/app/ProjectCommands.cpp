#include "app/ProjectCommands.h"

#include "app/AppParts.h"
#include "app/DiscSizeEntry.h"
#include "app/ProjectFile.h"
#include "app/ProjectMessages.h"
#include "core/ShowMessage.h"
#include "core/TextFormat.h"
#include "platform/FileContents.h"
#include "ports/InputHost.h"

#include <algorithm>

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
    for (int i = 0; i < inputs.inputCount; ++i) {
        records.push_back(EncodeInputRecord(inputs.inputTable[static_cast<std::size_t>(i)]));
    }
    ProjectExtension extension;
    // Automatic is what a file without the entry opens as, so it needs none.
    if (core_.settings.shapeChoice != ShapeChoice::automatic) {
        extension.SetInt(ProjectTag::frameShape, batchScope, static_cast<std::int32_t>(core_.settings.shapeChoice));
    }
    KeepDiscSize(extension, core_.settings.discSize);
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
    const bool earlierBatchMode = core_.settings.batchMode;
    core_.settings.batchMode = contents.header.batchMode;
    RemoveEveryInput();
    if (!ReopenInputs(contents)) {
        RemoveEveryInput();
        core_.settings.batchMode = earlierBatchMode;
        return false;
    }
    if (contents.status == ProjectContents::Status::shortRecords) {
        // The inputs of the whole records stay, with the input opened last active.
        core_.inputCommands.ActivateKeepingInvert(core_.inputs.currentInput);
        return FailOpen(message::cannotReadProject, path);
    }
    for (std::size_t i = 0; i < contents.records.size(); ++i) {
        RestoreSavedChoices(core_.inputs.inputTable[i], DecodeInputRecord(contents.records[i]));
    }
    if (!contents.header.batchMode) {
        core_.inputs.sharedOutputName = contents.header.singleOutputName;
        core_.inputs.sharedWidth = contents.header.sharedWidth;
        core_.inputs.sharedHeight = contents.header.sharedHeight;
    }
    core_.liveOutputPreview = contents.header.liveOutputPreview;
    core_.settings.shapeChoice = SavedShape(contents.extension);
    core_.settings.discSize = SavedDiscSize(contents.extension);
    core_.settings.videoSettingsChanged = true;
    if (!SelectSaved(contents)) {
        RemoveEveryInput();
        core_.settings.batchMode = earlierBatchMode;
        return false;
    }
    if (core_.inputs.inputCount > 0) {
        core_.inputTable.DescribeInput();
    }
    core_.ports.host.RefreshInputControls();
    return true;
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

bool ProjectCommands::ReopenInputs(const ProjectContents& contents)
{
    for (const InputRecord& record : contents.records) {
        if (!core_.inputCommands.OpenInput(DecodeInputRecord(record).path)) {
            return false;
        }
        core_.inputTable.DeactivateInput(core_.inputs.inputCount - 1);
    }
    return true;
}

bool ProjectCommands::SelectSaved(const ProjectContents& contents)
{
    InputTableState& inputs = core_.inputs;
    if (inputs.inputCount == 0) {
        inputs.selectedInput = inputs.currentInput = -1;
        inputs.framePosition = 0;
        return true;
    }
    // A damaged file's index outside the list selects the first input rather than none.
    const int saved = contents.header.selectedInput;
    const int selected = saved >= 0 && saved < inputs.inputCount ? saved : 0;
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
