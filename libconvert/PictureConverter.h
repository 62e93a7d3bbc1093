// Turns the caller's pictures (32-bit blue-green-red-X, bottom row first) into the
// 4:2:0 pictures of the disc's size.
#pragma once

#include "DiscProfile.h"
#include "EncodeStatus.h"
#include "FfmpegHandles.h"

namespace discforge::convert {

class PictureConverter {
public:
    // Pictures of sourceWidth x sourceHeight become pictures of the disc's size;
    // a picture of another size is scaled.
    EncodeStatus Open(int sourceWidth, int sourceHeight, const DiscProfile& profile);
    // Reads sourceHeight rows of rowBytes bytes, bottom row first, into a new frame.
    EncodeStatus Convert(const uint8_t* pixels, int rowBytes, FrameHandle& picture);

private:
    ScaleHandle scaler_;
    int sourceHeight_ = 0;
    int width_ = 0;
    int height_ = 0;
    AVColorSpace colorSpace_ = AVCOL_SPC_UNSPECIFIED;
};

} // namespace discforge::convert
