// The MPEG-1 (VCD) or MPEG-2 (SVCD, DVD) picture encoder, set up for the disc standard.
#pragma once

#include "CodecPump.h"
#include "DiscProfile.h"
#include "EncodeStatus.h"
#include "FfmpegHandles.h"

#include <string>

namespace discforge::convert {

class VideoEncoder {
public:
    EncodeStatus Open(const DiscProfile& profile);
    // Encodes a picture whose pts counts frames from 0; null drains the encoder.
    EncodeStatus Encode(const AVFrame* picture, const PacketSink& sink);
    const AVCodecContext* Context() const { return context_.get(); }

private:
    std::string statistics_; // the first pass's, read by the second pass's encoder: outlives it
    CodecContextHandle context_;
    PacketHandle scratch_;
};

} // namespace discforge::convert
