// The table of opened inputs and the values that belong to it. One record,
// owned by the application core; the operations are in InputTable.h.
#pragma once

#include "input/InputEntry.h"
#include "ports/TCancelDialog.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace discforge {

inline constexpr int maxInputs = 256;

struct InputTableState {
    std::array<InputEntry, maxInputs> inputTable;
    int inputCount = 0;     // entries in use; the caller counts a successful open
    int selectedInput = -1; // entry selected in the input list; -1 when empty
    int currentInput = -1;  // entry previewed or converted; -1 when empty
    int framePosition = 0;  // frame index within the run
    int videoFileCount = 0;
    int audioInputCount = 0;

    // Without batch mode every input is brought to the first input's size and
    // audio rate, and written to the one shared output file.
    int sharedWidth = 0;
    int sharedHeight = 0;
    int sharedTargetRate = 0;
    int sharedBytesPerFrame = 0;
    std::optional<std::vector<std::uint8_t>> sharedAudioBuffer; // made once, with the first audio input
    std::string sharedOutputName;

    // Zero-filled; the audio supply hands it out for inputs without sound.
    std::vector<std::uint8_t> silenceBuffer;

    std::string fourCCText;         // codec text of the last file examined
    std::string currentPictureName; // list picture last shown by the input preview
    int decoderKind = 0;            // set by each stream open
    bool audioAvailable = false;    // set by each stream open

    // The progress window of the running open; null otherwise.
    std::unique_ptr<TCancelDialog> cancelDialog;
    bool cancelRequested = false;
};

} // namespace discforge
