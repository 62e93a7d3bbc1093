// Turns the caller's pictures (32-bit blue-green-red-X, bottom row first) into the
// 4:2:0 pictures of the disc's size, on the caller's thread while its picture is valid.
#pragma once

#include "DiscProfile.h"
#include "EncodeStatus.h"
#include "FfmpegHandles.h"

#include <cstdint>
#include <vector>

namespace discforge::convert {

class PictureConverter {
public:
    // Pictures of sourceWidth x sourceHeight become pictures of the disc's size: one of
    // that size is converted directly, one of another size is scaled. Pictures of two
    // fields are converted and scaled field by field, so that no row of one reaches the
    // other, and their colour rows belong to one field each, as MPEG-2 keeps them.
    EncodeStatus Open(int sourceWidth, int sourceHeight, const DiscProfile& profile);
    // Reads sourceHeight rows of sourceWidth pixels, bottom row first, into a new frame
    // whose memory comes from a pool and returns there when the encoder is done with it,
    // on whichever thread that is.
    EncodeStatus Convert(const uint8_t* pixels, FrameHandle& picture);

private:
    EncodeStatus NewFrame(FrameHandle& picture);

    ScaleHandle scaler_; // only for a source of another size
    BufferPoolHandle frames_;
    std::vector<uint32_t> aligned_; // a copy of a picture whose pixels do not start on a 4-byte boundary
    int sourceWidth_ = 0;
    int sourceHeight_ = 0;
    int width_ = 0;
    int height_ = 0;
    AVColorSpace colorSpace_ = AVCOL_SPC_UNSPECIFIED;
    PictureFields fields_ = PictureFields::frames; // what the pictures are marked as
    int fieldsApart_ = 1; // 2: each picture is converted as two fields
};

} // namespace discforge::convert
