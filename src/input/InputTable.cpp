// Activating, removing, reordering and describing the inputs of the table.
#include "input/InputTable.h"

#include "core/ControlIds.h"
#include "core/ConversionSettings.h"
#include "core/RunLog.h"
#include "core/ShowMessage.h"
#include "core/TextFormat.h"
#include "input/InputDescription.h"
#include "input/InputMessages.h"
#include "input/VideoStreamReader.h"
#include "ports/ControlSurface.h"
#include "ports/InputHost.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace discforge {

InputTable::InputTable(InputTableState& state, ConversionSettings& settings, RunLog& runLog, InputTablePorts ports)
    : state_(state), settings_(settings), runLog_(runLog), ports_(ports)
{
}

bool InputTable::ActivateInput(int index)
{
    if (index < 0 || index >= state_.inputCount) {
        return false;
    }
    ports_.stopRequest = false;
    // A Cancel pressed during an earlier open must not make this activation fail.
    state_.cancelRequested = false;
    ports_.host.SetWaitCursor(true);
    InputEntry& entry = state_.inputTable[static_cast<std::size_t>(index)];
    // The decoder proposes an invert choice only when the input is first opened;
    // from then on it is the user's.
    const bool invert = entry.pictureOptions.invert;
    bool activated = false;
    if (entry.isVideoFile) {
        activated = ports_.streams.OpenStreams(index);
        if (!activated) {
            ports_.streams.ReleaseStreams(index);
        }
    } else {
        activated = OpenListFile(index, message::contextOpenList);
    }
    entry.pictureOptions.invert = invert;
    if (state_.selectedInput >= 0 && state_.selectedInput < state_.inputCount) {
        ports_.controls.SetChecked(control::invertCheck,
            state_.inputTable[static_cast<std::size_t>(state_.selectedInput)].pictureOptions.invert);
    }
    ports_.host.SetWaitCursor(false);
    return activated;
}

void InputTable::DeactivateInput(int index)
{
    if (index < 0 || index >= state_.inputCount) {
        return;
    }
    ports_.host.SetWaitCursor(true);
    DeactivateEntry(index);
    ports_.host.SetWaitCursor(false);
}

void InputTable::DeactivateEntry(int index)
{
    InputEntry& entry = state_.inputTable[static_cast<std::size_t>(index)];
    if (entry.isVideoFile) {
        ports_.streams.ReleaseStreams(index);
    } else {
        entry.listFile.Close();
    }
}

int InputTable::FramesBefore(int index) const
{
    std::int64_t frames = 0;
    for (int k = 0; k < index; ++k) {
        frames += state_.inputTable[static_cast<std::size_t>(k)].selectedFrames;
    }
    return static_cast<int>(std::min<std::int64_t>(frames, INT_MAX));
}

void InputTable::RemoveInput(int index, bool refresh)
{
    if (index < 0 || index >= state_.inputCount) {
        return;
    }
    InputEntry& removed = state_.inputTable[static_cast<std::size_t>(index)];
    if (removed.hasAudio) {
        --state_.audioInputCount;
    }
    if (removed.isVideoFile) {
        --state_.videoFileCount;
    }
    DeactivateInput(index);
    // Only the removed entry's buffer goes: the others stay in the table and
    // the audio supply still writes into theirs.
    removed.convertedBuffer = {};
    DeactivateInput(state_.selectedInput);
    DeactivateInput(state_.currentInput);

    const int last = state_.inputCount - 1;
    for (int k = index; k < last; ++k) {
        state_.inputTable[static_cast<std::size_t>(k)] = std::move(state_.inputTable[static_cast<std::size_t>(k + 1)]);
    }
    ResetEntry(last);
    ports_.host.DeleteListLine(index);
    --state_.inputCount;

    // An index behind the removed entry keeps naming the same input.
    const auto follow = [&](int& position) {
        if (position > index || position > state_.inputCount - 1) {
            --position;
        }
    };
    if (state_.inputCount == 0) {
        state_.selectedInput = state_.currentInput = -1;
        state_.sharedOutputName.clear();
        state_.sharedWidth = state_.sharedHeight = 0;
    } else {
        follow(state_.selectedInput);
        if (!ActivateInput(state_.selectedInput)) {
            ports_.host.PostRemoveCommand();
            return;
        }
        if (settings_.batchMode) {
            state_.framePosition = 0;
            state_.currentInput = state_.selectedInput;
        } else {
            follow(state_.currentInput);
            state_.framePosition = FramesBefore(state_.currentInput);
            if (state_.currentInput != state_.selectedInput && !ActivateInput(state_.currentInput)) {
                ports_.host.PostRemoveCommand();
                return;
            }
        }
    }
    if (refresh) {
        if (state_.inputCount > 0) {
            DescribeInput();
        }
        ports_.host.RefreshInputControls();
    }
    if (state_.audioInputCount == 0 && !settings_.batchMode) {
        state_.sharedTargetRate = 0;
        state_.sharedAudioBuffer.reset();
    }
}

void InputTable::MoveInputUp()
{
    if (state_.selectedInput >= 1 && state_.selectedInput < state_.inputCount) {
        MoveInput(state_.selectedInput - 1);
    }
}

void InputTable::MoveInputDown()
{
    if (state_.selectedInput >= 0 && state_.selectedInput <= state_.inputCount - 2) {
        MoveInput(state_.selectedInput + 1);
    }
}

void InputTable::MoveInput(int target)
{
    const int source = state_.selectedInput;
    auto& table = state_.inputTable;
    // The readers keep records by position (the AVI reader's table, the decoder
    // kind of the last open): the moved input is opened again in its new place
    // rather than carried there half-open.
    DeactivateInput(source);
    if (state_.currentInput != source) {
        DeactivateInput(state_.currentInput);
    }
    std::swap(table[static_cast<std::size_t>(source)], table[static_cast<std::size_t>(target)]);
    if (!ActivateInput(target)) {
        std::swap(table[static_cast<std::size_t>(source)], table[static_cast<std::size_t>(target)]);
        ShowMessage(ports_.messages, FormatText(message::cannotMoveInput, table[static_cast<std::size_t>(source)].path.c_str()),
            message::contextMoveInput);
        state_.currentInput = source;
        ActivateInput(source);
        ports_.host.SelectListLine(source);
        ports_.host.RefreshInputControls();
        return;
    }
    ports_.host.DeleteListLine(source);
    ports_.host.InsertListLine(target, table[static_cast<std::size_t>(target)].path);
    state_.selectedInput = state_.currentInput = target;
    // In batch mode every input is its own run, which starts at frame 0.
    state_.framePosition = settings_.batchMode ? 0 : FramesBefore(target);
    ports_.host.SelectListLine(target);
    ports_.host.RefreshInputControls();
}

void InputTable::DescribeInput()
{
    const int s = state_.selectedInput;
    if (s < 0 || s >= maxInputs) {
        return;
    }
    const InputEntry& entry = state_.inputTable[static_cast<std::size_t>(s)];
    for (const std::string& line : DescribeInputLines(entry, {state_.fourCCText, state_.currentPictureName})) {
        runLog_.AppendLogLine(line);
    }
}

} // namespace discforge
