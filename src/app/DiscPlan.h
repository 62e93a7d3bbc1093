// The plan that makes a batch fill its disc: one video bit rate for every input,
// so that the whole disc has one quality level, from the disc's capacity less the
// sound, the multiplex's and the authoring's own bytes; and, where the full width
// would starve at that rate, the disc's half-width frame. Pure arithmetic.
#pragma once

#include "formats/DiscFormats.h"
#include "formats/DiscSize.h"

#include <cstdint>
#include <string>
#include <vector>

namespace discforge {

// What the planner knows of a disc's streams beyond the disc's table.
struct PlanLimits {
    std::int64_t lowestVideoRate = 0; // below it the picture is not worth a disc
    std::int64_t highestVideoRate = 0; // the highest average, leaving the peaks room
    // Below it the disc's half-width frame shows more than its full one; 0: no such frame.
    std::int64_t halfWidthBelow = 0;
    bool constantRate = false; // the rate is the disc's own: the plan only checks
    // The multiplexed stream is the elementary streams' bytes times (1 + muxFraction)
    // plus muxBytesPerSecond for every second (navigation packs, padded packets).
    double muxFraction = 0;
    std::int64_t muxBytesPerSecond = 0;
    // The authoring's own files on the disc (file system, IFO/BUP, track gaps).
    std::int64_t authoringBytes = 0;
    std::int64_t authoringBytesPerInput = 0;
};

PlanLimits PlanLimitsFor(const DiscFormat& disc);

struct PlanInput {
    double seconds = 0;
    std::int64_t soundBitRate = 0; // every sound track and subtitle stream together
};

struct DiscPlan {
    bool fits = false;
    // The pictures take the disc's half-width frame (FindHalfWidthFormat).
    bool halfWidth = false;
    std::int64_t videoBitRate = 0;
    std::vector<std::int64_t> plannedBytes; // each input's multiplexed stream
    std::int64_t totalBytes = 0; // the streams and the authoring's files
    std::int64_t capacityBytes = 0;
    int discsNeeded = 1; // at the lowest rate, when the batch does not fit one
    int batchMinutes = 0; // rounded up
    int fittingMinutes = 0; // at the lowest rate, rounded down
};

// The plan at the disc's usual frame, or at its half-width one when the usual
// frame's rate would fall below PlanLimits::halfWidthBelow or not fit at all.
DiscPlan PlanDisc(const DiscFormat& disc, const DiscSize& size, const std::vector<PlanInput>& inputs);

// The multiplexed stream of one input at a video rate.
std::int64_t StreamBytes(const PlanLimits& limits, const PlanInput& input, std::int64_t videoBitRate);

// "at most 98 minutes on DVD-5 at this quality; the batch has 131"
std::string RefusalMessage(const DiscPlan& plan, const DiscSize& size);

} // namespace discforge
