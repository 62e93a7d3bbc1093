// How one input's pictures are prepared for the output: the user's choices
// and the input's own output size. Each input holds exactly one of these; the
// frame supply reads it on every decoder path, and the option controls, the
// command line and project files write it.
#pragma once

#include "picture/PictureFitting.h"

namespace discforge {

struct PictureOptions {
    FitMode fitting = FitMode::proportional;
    bool deinterlace = false;
    bool invert = false; // upside down
    // The crop rectangle applies only when its width and height are both non-zero.
    int cropX = 0;
    int cropY = 0;
    int cropWidth = 0;
    int cropHeight = 0;
    // Batch mode: the size this input is brought to outside a run (previews,
    // project files). During a run the encoder's picture size takes its place.
    int outputWidth = 0;
    int outputHeight = 0;

    friend bool operator==(const PictureOptions&, const PictureOptions&) = default;
};

inline bool HasCropRectangle(const PictureOptions& options)
{
    return options.cropWidth != 0 && options.cropHeight != 0;
}

} // namespace discforge
