#include "picture/PictureFitting.h"

#include <algorithm>

namespace discforge {

namespace {

// Sides reach 2^28 and pixel shapes 2^31, so the products of four take 128 bits.
using Wide = __int128;

Ratio UsablePixel(Ratio pixel) { return pixel.num >= 1 && pixel.den >= 1 ? pixel : Ratio{}; }

// numerator / denominator (both positive) rounded as asked, at most limit.
int RoundSide(Wide numerator, Wide denominator, FitRounding rounding, int limit)
{
    Wide side = numerator / denominator;
    if (rounding == FitRounding::up && side * denominator != numerator) {
        ++side;
    }
    return static_cast<int>(std::min<Wide>(side, limit));
}

// A picture of the target's size needs nothing, unless its pixels are shown in
// another shape than the frame's.
bool AlreadyFits(int width, int height, const FitRequest& request)
{
    if (width != request.targetWidth || height != request.targetHeight) {
        return false;
    }
    const FitPlan plan = PlanFit(width, height, request);
    return plan.width == width && plan.height == height;
}

} // namespace

FitMode FitModeFromFlags(bool fitFillIn, bool fitCrop)
{
    if (fitFillIn) {
        return FitMode::fillIn;
    }
    return fitCrop ? FitMode::crop : FitMode::proportional;
}

FitPlan PlanFit(int pictureWidth, int pictureHeight, const FitRequest& request)
{
    FitPlan plan{request.mode, request.targetWidth, request.targetHeight, request.targetWidth, request.targetHeight};
    if (request.mode != FitMode::proportional) {
        return plan;
    }
    if (pictureWidth <= 0 || pictureHeight <= 0 || request.targetWidth <= 0 || request.targetHeight <= 0) {
        plan.width = plan.height = 0;
        return plan;
    }
    const Ratio source = UsablePixel(request.sourcePixel);
    const Ratio frame = UsablePixel(request.framePixel);
    // Widths on the TV over heights, each as a fraction: the picture's and the frame's.
    const Wide pictureShown = Wide{pictureWidth} * source.num;
    const Wide pictureLines = Wide{pictureHeight} * source.den;
    const Wide frameShown = Wide{request.targetWidth} * frame.num;
    const Wide frameLines = Wide{request.targetHeight} * frame.den;
    if (pictureShown * frameLines >= frameShown * pictureLines) {
        // Wider than the frame: the whole width, with bands above and below.
        plan.width = request.targetWidth;
        plan.height
            = RoundSide(pictureLines * frameShown, pictureShown * frame.den, request.rounding, request.targetHeight);
    } else {
        plan.height = request.targetHeight;
        plan.width = RoundSide(pictureShown * request.targetHeight * frame.den, pictureLines * frame.num,
            request.rounding, request.targetWidth);
    }
    return plan;
}

bool FitPicture(TBaseDib& picture, const FitRequest& request)
{
    if (AlreadyFits(picture.Width(), picture.Height(), request)) {
        return true;
    }
    const FitPlan plan = PlanFit(picture.Width(), picture.Height(), request);
    if (plan.mode == FitMode::crop) {
        return picture.Crop(0, 0, plan.width, plan.height);
    }
    return picture.Rescale(plan.width, plan.height, plan.frameWidth, plan.frameHeight);
}

SurfaceFit FitSurface(TBaseDib& picture, const SurfaceRows& surface, const FitRequest& request)
{
    const bool fits = AlreadyFits(surface.width, surface.height, request);
    const FitPlan plan = surface.Usable() ? PlanFit(surface.width, surface.height, request) : FitPlan{};
    if (!surface.Usable() || fits || plan.mode == FitMode::crop) {
        if (!picture.CopyFromSurface(surface)) {
            return SurfaceFit::copyFailed;
        }
        return FitPicture(picture, request) ? SurfaceFit::ok : SurfaceFit::fitFailed;
    }
    const bool scaled = picture.RescaleFromSurface(surface, plan.width, plan.height, plan.frameWidth, plan.frameHeight);
    return scaled ? SurfaceFit::ok : SurfaceFit::fitFailed;
}

bool FitsBands(int width, int height, const FitRequest& request)
{
    if (width <= 0 || height <= 0 || height % 2 != 0 || AlreadyFits(width, height, request)) {
        return false;
    }
    const FitPlan plan = PlanFit(width, height, request);
    return plan.mode != FitMode::crop && plan.width > 0 && plan.height > 0 && plan.height < height;
}

bool FitBands(TBaseDib& picture, const PictureBands& bands, const FitRequest& request)
{
    const FitPlan plan = PlanFit(bands.Width(), bands.Height(), request);
    return picture.RescaleFromBands(bands, plan.width, plan.height, plan.frameWidth, plan.frameHeight);
}

} // namespace discforge
