#include "app/FrameShape.h"

#include "input/InputEntry.h"

namespace discforge {

double SourceAspect(const InputEntry& entry)
{
    const Ratio pixel = entry.sourcePixel.num >= 1 && entry.sourcePixel.den >= 1 ? entry.sourcePixel : Ratio{};
    if (entry.width <= 0 || entry.height <= 0) {
        return 0;
    }
    return static_cast<double>(entry.width) * pixel.num / (static_cast<double>(entry.height) * pixel.den);
}

DisplayShape InputShape(const ConversionSettings& settings, const InputEntry& entry)
{
    const DiscFormat* disc = FindDiscFormat(settings.outputFormat, settings.tvStandard);
    if (disc == nullptr) {
        return DisplayShape::fourByThree;
    }
    return ResolveShape(*disc, settings.shapeChoice, SourceAspect(entry));
}

Ratio FramePixelShape(const ConversionSettings& settings, DisplayShape shape, int width, int height)
{
    const DiscFormat* disc = FindFrameFormat(settings.outputFormat, settings.tvStandard, width, height);
    const ShapeEntry* entry = disc != nullptr ? FindShape(*disc, shape) : nullptr;
    return entry != nullptr ? entry->pixel : Ratio{};
}

FitRequest FitRequestForInput(const ConversionSettings& settings, DisplayShape shape, Ratio sourcePixel,
    const PictureOptions& options, FitRounding rounding)
{
    FitRequest request;
    request.targetWidth = options.outputWidth;
    request.targetHeight = options.outputHeight;
    request.mode = options.fitting;
    request.framePixel = FramePixelShape(settings, shape, options.outputWidth, options.outputHeight);
    request.sourcePixel = sourcePixel;
    request.rounding = rounding;
    return request;
}

} // namespace discforge
