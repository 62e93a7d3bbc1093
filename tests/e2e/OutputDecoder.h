// Decodes a converted program stream the way a player would and reads back what
// the generated input put into it: the frame number in every picture and the
// start of every click in the sound, each with its time on the stream's clock.
#pragma once

#include "pattern/FramePattern.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace discforge::test {

struct DecodedPicture {
    double time = 0;          // seconds
    std::int64_t number = -1; // the input frame it shows; -1 when the band cannot be read
    std::vector<double> readings; // one per PictureReading asked for
};

// Something a test reads from every decoded picture besides its frame number, such as
// the number inside a region or the brightness of one. The picture is blue-green-red
// rows, top row first.
using PictureReading = std::function<double(const pattern::ConstPatternImage& picture)>;

struct DecodedOutput {
    int width = 0;
    int height = 0;
    double frameDuration = 0; // seconds
    int sampleRate = 0;
    std::vector<DecodedPicture> pictures; // in display order
    std::vector<double> clicks;           // seconds
    // The sound's first sample, on the clock of its first time stamp, as a player starts it.
    double soundStart = 0;
    std::string error;
};

DecodedOutput DecodeOutput(const std::string& path, const std::vector<PictureReading>& readings = {});

// The time the first picture showing input frame `number` or a later one appears; -1 when none does.
double FirstShowing(const DecodedOutput& output, std::int64_t number);

} // namespace discforge::test
