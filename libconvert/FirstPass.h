// The first of two passes: every picture is encoded once, only to learn what each one
// costs; the second pass then spends the planned bits where the pictures need them and
// meets the planned size.
#pragma once

#include "DiscProfile.h"
#include "EncodeStatus.h"
#include "VideoEncoder.h"

#include <string>

extern "C" {
#include <libavutil/frame.h>
}

namespace discforge::convert {

class FirstPass {
public:
    EncodeStatus Open(const DiscProfile& profile);
    // A picture whose pts counts frames from 0; null ends the pass.
    EncodeStatus Encode(const AVFrame* picture);
    // What the encoder learnt, for the second pass.
    const std::string& Statistics() const { return statistics_; }

private:
    VideoEncoder video_;
    std::string statistics_;
};

} // namespace discforge::convert
