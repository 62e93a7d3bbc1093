// The shape the current conversion's frames are shown at for one input, and the
// fitting request that brings the input's pictures onto them.
#pragma once

#include "core/ConversionSettings.h"
#include "input/PictureOptions.h"
#include "picture/PictureFitting.h"

namespace discforge {

struct InputEntry;

// The source's width over its height as a player shows it: its own pixel shape
// applied; 0 for an entry without a size.
double SourceAspect(const InputEntry& entry);

// The display shape of the frames this input is converted to, given the choice.
DisplayShape InputShape(const ConversionSettings& settings, const InputEntry& entry);

// The pixel shape of a target frame of width x height shown at `shape`: the disc's
// own where the size is one of the disc's frames (its usual or its half width);
// square for any other size (a picture brought to its own size outside a run is
// left as it is).
Ratio FramePixelShape(const ConversionSettings& settings, DisplayShape shape, int width, int height);

// The fitting of pictures of sourcePixel's shape onto options' output size shown at `shape`.
FitRequest FitRequestForInput(const ConversionSettings& settings, DisplayShape shape, Ratio sourcePixel,
    const PictureOptions& options, FitRounding rounding);

} // namespace discforge
