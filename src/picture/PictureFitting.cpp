#include "picture/PictureFitting.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace discforge {

namespace {

constexpr int svcdComputationWidth = 720;
constexpr int svcdFrameWidth = 480;
// The squeeze is 0.6666666666666666, a hair under two thirds: a width whose
// two thirds are whole loses a pixel (720 gives 479). Double arithmetic would
// round 720 x 0.6666666666666666 up to exactly 480, so the product is taken in
// whole numbers; widths never exceed the 720 of the computation.
constexpr std::int64_t svcdSqueezeNumerator = 6666666666666666;
constexpr std::int64_t svcdSqueezeDenominator = 10000000000000000;

int RoundSide(double side, FitRounding rounding, int limit)
{
    const double rounded = rounding == FitRounding::up ? std::ceil(side) : std::trunc(side);
    return static_cast<int>(std::clamp(rounded, 0.0, static_cast<double>(limit)));
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
    const int width = request.svcd ? svcdComputationWidth : request.targetWidth;
    if (pictureWidth <= 0 || pictureHeight <= 0) {
        plan.width = plan.height = 0;
    } else {
        const double a = static_cast<double>(width) / pictureWidth;
        const double b = static_cast<double>(request.targetHeight) / pictureHeight;
        const double s = a < b ? a : b;
        plan.width = RoundSide(pictureWidth * s, request.rounding, width);
        plan.height = RoundSide(pictureHeight * s, request.rounding, request.targetHeight);
    }
    if (request.svcd) {
        plan.width = static_cast<int>(std::int64_t{plan.width} * svcdSqueezeNumerator / svcdSqueezeDenominator);
        plan.frameWidth = svcdFrameWidth;
    }
    return plan;
}

bool FitPicture(TBaseDib& picture, const FitRequest& request)
{
    if (picture.Width() == request.targetWidth && picture.Height() == request.targetHeight) {
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
    const bool fits = surface.width == request.targetWidth && surface.height == request.targetHeight;
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
    if (width <= 0 || height <= 0 || height % 2 != 0
        || (width == request.targetWidth && height == request.targetHeight)) {
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
