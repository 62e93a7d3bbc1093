// How a processed picture is brought to the output frame size: stretched,
// cut, or scaled proportionally and centred on black.
#pragma once

#include "formats/DiscFormats.h"
#include "picture/TBaseDib.h"
#include "ports/PictureBands.h"

namespace discforge {

enum class FitMode { fillIn, crop, proportional };

// The frame supply rounds the proportional size up, the previews truncate it.
enum class FitRounding { up, down };

// Proportional fitting works in the shape the TV shows: the picture's pixels and
// the frame's pixels each have their own width over height, so that a circle of
// the source stays a circle on the screen.
struct FitRequest {
    int targetWidth = 0;
    int targetHeight = 0;
    FitMode mode = FitMode::proportional;
    Ratio framePixel; // the shape of one pixel of the target frame on the TV
    Ratio sourcePixel; // the shape of one pixel of the picture as a player shows it
    FitRounding rounding = FitRounding::up;
};

// What Rescale or Crop is asked to do.
struct FitPlan {
    FitMode mode = FitMode::proportional;
    int width = 0;  // picture size after scaling (fill-in, proportional) or the cut (crop)
    int height = 0;
    int frameWidth = 0; // the frame the picture is centred in
    int frameHeight = 0;
};

// The fit-mode flags of an input, tested in their order: fill-in, then crop,
// else proportional.
FitMode FitModeFromFlags(bool fitFillIn, bool fitCrop);

// The plan for a picture of pictureWidth x pictureHeight (both at least 1). A
// proportional plan fills the frame's width or its height and keeps the picture's
// shape on the TV; a pixel shape with a part below 1 counts as square.
FitPlan PlanFit(int pictureWidth, int pictureHeight, const FitRequest& request);

// Brings the picture to the request's target size; nothing is done when it has
// that size already. False when Rescale or Crop failed (the plan's mode says which).
bool FitPicture(TBaseDib& picture, const FitRequest& request);

enum class SurfaceFit { ok, copyFailed, fitFailed };

// CopyFromSurface and then FitPicture, with the same picture and errors; where
// Rescale does the fitting it scales straight from the surface (RescaleFromSurface).
SurfaceFit FitSurface(TBaseDib& picture, const SurfaceRows& surface, const FitRequest& request);

// Whether FitBands serves a picture of this size: one of even height that the
// fitting scales down in height, so that each of its rows is made once.
bool FitsBands(int width, int height, const FitRequest& request);
// FitSurface for a picture whose rows are made on request, where FitsBands;
// false, with the picture as it was, when the scaling failed.
bool FitBands(TBaseDib& picture, const PictureBands& bands, const FitRequest& request);

} // namespace discforge
