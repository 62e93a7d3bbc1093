// The information text of an input that goes into the run log, one line per
// log entry.
#pragma once

#include "input/InputEntry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace discforge {

struct DescriptionContext {
    std::string fourCCText;
    std::string currentPictureName;
};

// ", shown 16:9" after the size of a source whose pixels are not square; empty otherwise.
std::string ShownShapeSuffix(const InputEntry& entry);

std::vector<std::string> DescribeInputLines(const InputEntry& entry, const DescriptionContext& context);

// Exact sizes up to 1 000 000 000 bytes, decimal megabytes above; "File size: 0"
// when the file cannot be measured.
std::string FileSizeLine(std::optional<std::uint64_t> size);
// "  Total Time: h:m:s" from a duration in 100-ns units.
std::string TotalTimeLine(std::int64_t duration);
std::string SampleRateLine(int sampleRate);
// The television standard a video's own rate suits: PAL for exactly 25 frames
// a second, NTSC otherwise.
int StandardOfFrameRate(double frameRate);

} // namespace discforge
