// What a conversion shows: runs discforge-cli on one input and reads back the picture
// number of every output frame and the clicks of the sound. Serves the frame-exactness
// checks of video inputs and of picture lists alike.
#pragma once

#include "CliProcess.h"
#include "OutputDecoder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace discforge::test {

struct ShownFrames {
    CliOutcome run;
    DecodedOutput output; // empty pictures and an error text when the conversion failed
    std::vector<std::int64_t> numbers; // the input picture each output frame shows, -1 when unreadable
};

// Converts `input` (a path, or a name in `folder`) for `target` ("vcd", "svcd" or "dvd")
// and the standard into `folder`/shown.mpg, then decodes that.
ShownFrames ConvertAndRead(const std::string& folder, const std::string& input, const char* target, bool pal);

} // namespace discforge::test
