#include "app/InputCommands.h"

#include "app/AppMessages.h"
#include "app/AppParts.h"
#include "app/OutputName.h"
#include "app/ProjectChoices.h"
#include "core/ControlIds.h"
#include "core/TextFormat.h"
#include "ports/ControlSurface.h"
#include "ports/InputHost.h"

namespace discforge {

bool InputCommands::OpenInput(const std::string& given, int soundTrack, const ComponentSettings& decoderChoices)
{
    // Kept absolute, so that a project saved now opens from any folder.
    const std::string path = AbsolutePath(given);
    // Paths keep their case: file names differ by case here.
    InputTable& table = core_.inputTable;
    InputTableState& inputs = core_.inputs;
    const int selected = inputs.selectedInput;
    const int current = inputs.currentInput;
    const bool opened = ContainsNoCase(path, ".lst") ? table.OpenListInput(path)
                                                     : table.OpenVideoInput(path, soundTrack, decoderChoices);
    if (!opened) {
        // A failed open may have released the inputs in view and taken their
        // places: they come back as they were.
        inputs.selectedInput = selected;
        inputs.currentInput = current;
        for (const int index : {selected, current}) {
            if (index >= 0 && index < inputs.inputCount) {
                table.DeactivateInput(index);
                table.ActivateInput(index);
            }
        }
        return false;
    }
    const int index = core_.inputs.inputCount;
    AddInputToList(path);
    ProposeOutputFile(path);
    core_.batchStandard.InputOpened(index);
    // The previews start at the new input's first frame; without batch mode that
    // is where it begins on the joined time line of all inputs.
    core_.inputs.framePosition = core_.settings.batchMode ? 0 : table.FramesBefore(index);
    return true;
}

bool InputCommands::ChooseSoundTrack(int index, int track)
{
    if (index < 0 || index >= core_.inputs.inputCount
        || (index != core_.inputs.currentInput && !core_.inputTable.ActivateInput(index))) {
        return false;
    }
    const bool chosen = core_.inputTable.ChooseSoundTrack(index, track);
    const InputEntry& entry = core_.inputs.inputTable[static_cast<std::size_t>(index)];
    core_.runLog.AppendLogLine(FormatText(message::soundTrackChosen, track, entry.path.c_str()));
    core_.windowRefresh.RefreshWindow();
    return chosen;
}

std::string SoundTrackCaption(const InputEntry& entry)
{
    const auto count = static_cast<int>(entry.soundTracks.size());
    if (entry.playedTrack < 1 || entry.playedTrack > count) {
        return message::soundNone;
    }
    const SoundTrack& track = entry.soundTracks[static_cast<std::size_t>(entry.playedTrack - 1)];
    return FormatText(message::soundCaption, track.number, count, track.language.c_str(), track.layout.c_str());
}

bool InputCommands::ReplaceSelectedInput(const std::string& path)
{
    // The new input opens first: a file that does not open leaves the list as it was.
    const int replaced = core_.inputs.selectedInput;
    const bool opened = OpenInput(path);
    if (opened && replaced >= 0) {
        core_.inputTable.RemoveInput(replaced, false);
    }
    core_.windowRefresh.RefreshWindow();
    // The size fields now show the target's picture size; it becomes the current
    // input's output size.
    core_.optionControls.HeightFieldLeft();
    core_.optionControls.WidthFieldLeft();
    return opened;
}

bool InputCommands::ActivateOrRemove(int index)
{
    if (core_.inputTable.ActivateInput(index)) {
        return true;
    }
    core_.inputTable.RemoveInput(index);
    core_.windowRefresh.RefreshWindow();
    core_.inputTable.DescribeInput();
    return false;
}

void InputCommands::SelectInput(int index)
{
    InputTableState& inputs = core_.inputs;
    if (inputs.inputCount == 0 || index < 0 || index >= inputs.inputCount || index == inputs.selectedInput) {
        return;
    }
    const int previous = inputs.selectedInput;
    if (core_.settings.batchMode) {
        core_.inputTable.DeactivateInput(previous);
        if (!ActivateOrRemove(index)) {
            return;
        }
        // The output side follows the selection.
        inputs.currentInput = index;
        core_.windowRefresh.RefreshOutputSide();
    } else {
        if (index != inputs.currentInput && !ActivateOrRemove(index)) {
            return;
        }
        if (previous != inputs.currentInput) {
            core_.inputTable.DeactivateInput(previous);
        }
    }
    inputs.selectedInput = index;
    core_.windowRefresh.RefreshInputSide();
    core_.inputTable.DescribeInput();
}

void InputCommands::AddInputToList(const std::string& path)
{
    InputTableState& inputs = core_.inputs;
    core_.ports.host.InsertListLine(inputs.inputCount, path);
    core_.ports.host.SelectListLine(inputs.inputCount);
    ++inputs.inputCount;
}

void InputCommands::ProposeOutputFile(const std::string& path)
{
    InputTableState& inputs = core_.inputs;
    const std::string proposed = ProposeOutputPath(path);
    if (core_.settings.batchMode) {
        inputs.inputTable[static_cast<std::size_t>(inputs.currentInput)].outputPath = proposed;
    } else if (inputs.sharedOutputName.empty()) {
        inputs.sharedOutputName = proposed;
    }
}

void InputCommands::ChooseOutputFile(const std::string& path)
{
    InputTableState& inputs = core_.inputs;
    if (core_.settings.batchMode) {
        if (inputs.selectedInput < 0) {
            return;
        }
        inputs.inputTable[static_cast<std::size_t>(inputs.selectedInput)].outputPath = path;
    } else {
        inputs.sharedOutputName = path;
    }
    core_.ports.controls.SetText(control::outputName, path);
}

bool InputCommands::EditDecoderSettings()
{
    InputTableState& inputs = core_.inputs;
    const int index = inputs.selectedInput;
    if (index < 0 || index >= inputs.inputCount || !inputs.inputTable[static_cast<std::size_t>(index)].isVideoFile) {
        return false;
    }
    InputEntry& entry = inputs.inputTable[static_cast<std::size_t>(index)];
    const ComponentSettings earlier = entry.decoderChoices;
    core_.inputTable.DeactivateInput(index);
    core_.streamReader.AskForDecoderSettings(index);
    bool opened = ActivateKeepingInvert(index);
    // An open that failed before the dialog leaves no request for a later one.
    core_.streamReader.AskForDecoderSettings(-1);
    if (!opened && entry.decoderChoices != earlier) {
        entry.decoderChoices = earlier;
        opened = ActivateKeepingInvert(index);
    }
    if (!opened) {
        ActivateOrRemove(index);
        return false;
    }
    core_.settings.videoSettingsChanged = true;
    core_.windowRefresh.RefreshWindow();
    return true;
}

bool InputCommands::ActivateKeepingInvert(int index)
{
    PictureOptions& options = core_.inputs.inputTable[static_cast<std::size_t>(index)].pictureOptions;
    const bool invert = options.invert;
    const bool activated = core_.inputTable.ActivateInput(index);
    if (!activated) {
        return false;
    }
    options.invert = invert;
    core_.ports.controls.SetChecked(control::invertCheck, invert);
    return true;
}

} // namespace discforge
