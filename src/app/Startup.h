// The start-up of the converter's core: encoder library, default settings and
// the first lines of the run log.
#pragma once

#include "encoder/EncodeParameters.h"

#include <string>

namespace discforge {

class AppParts;

struct EncoderCallbacks {
    SupplyVideoFrameFn supplyVideoFrame = nullptr;
    SupplyAudioFn supplyAudio = nullptr;
};

// Loads the library, resolves its entry points, applies the default settings and
// initialises the encoder with the default format. On any failure the user is
// told why, the window is asked to close and the result is false.
bool StartEncoder(AppParts& core, const std::string& libraryName, EncoderCallbacks callbacks);

// Title, version and the description of the computer.
void WriteStartupLog(AppParts& core);

} // namespace discforge
