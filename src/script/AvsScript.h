// Reads a script of the AviSynth language's common core and turns its result
// into one libavfilter graph with the clip's facts. Nothing here touches
// FFmpeg: media files are asked about through AvsMediaProbe.
#pragma once

#include "script/AvsError.h"
#include "script/AvsProbe.h"
#include "script/AvsValue.h"

#include <string>
#include <string_view>
#include <vector>

namespace discforge {

struct AvsResult {
    AvsClip clip; // the script's result; pads refer to the graph
    std::string graph; // outputs "out0" (video) and "out1" (sound, when the clip has it)
    std::vector<std::string> notes; // lines for the run log about the filters chosen
};

// `folder` is where relative paths in the script start from.
bool EvaluateAvsScript(
    std::string_view script, const std::string& folder, AvsMediaProbe& probe, AvsResult& result, AvsError& error);

} // namespace discforge
