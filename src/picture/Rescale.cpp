// ResampleRow and Rescale; the arithmetic lives in Resampler.cpp and Rescaler.cpp.
#include "picture/Rescaler.h"
#include "picture/TBaseDib.h"

namespace discforge {

void TBaseDib::ResampleRow(const std::uint8_t* source, std::uint8_t* destination, int n, int m)
{
    HorizontalPlan plan;
    plan.Prepare(n, m);
    plan.Apply(source, destination);
}

bool TBaseDib::ScaleIntoWork(const std::uint8_t* sourceBottomRow, std::ptrdiff_t sourceStep, const PictureBands* bands,
    int width, int height, int newWidth, int newHeight)
{
    if (!rescaler_) {
        rescaler_ = std::make_unique<Rescaler>();
    }
    rescaler_->Prepare(width, height, newWidth, newHeight);
    const int left = (work_.layout.width - newWidth) >> 1;
    const int bottom = (work_.layout.height - newHeight) >> 1;
    const bool framed = left != 0 || bottom != 0 || work_.layout.width != newWidth || work_.layout.height != newHeight;
    const bool scaled = width > 0 && height > 0 && newWidth > 0 && newHeight > 0;
    // Around the picture (all of it when there is nothing to scale) the frame is black.
    ClearWorkOutside(left, bottom, scaled ? newWidth : 0, scaled ? newHeight : 0);
    const std::ptrdiff_t workStride = static_cast<std::ptrdiff_t>(work_.layout.stride);
    const TargetRows target{work_.bits + bottom * workStride + std::ptrdiff_t{4} * left, workStride};
    if (bands != nullptr) {
        return rescaler_->ScaleBands(*bands, target, stopFlag_);
    }
    return rescaler_->Scale(SourceRows{sourceBottomRow, sourceStep}, target, framed, stopFlag_);
}

bool TBaseDib::Rescale(int newWidth, int newHeight, int frameWidth, int frameHeight)
{
    if (depth_ != 32 && !ConvertDepth(32)) {
        return false;
    }
    const bool framed = frameWidth != newWidth || frameHeight != newHeight;
    if (!framed && newWidth == width_ && newHeight == height_) {
        // Scaling to the same size copies every row whole: the picture stays as it is.
        reader_.colourMapEntrySize = 4;
        return true;
    }
    // Scaling straight into the frame saves the second block and copy of
    // CentreInFrame; the bytes come out the same.
    const bool intoFrame
        = framed && newWidth >= 0 && newHeight >= 0 && newWidth <= frameWidth && newHeight <= frameHeight;
    if (!PrepareWork(
            intoFrame ? frameWidth : newWidth, intoFrame ? frameHeight : newHeight, 32, PictureBlock::Contents::unset)
        || !ScaleIntoWork(pixels_, stride_, nullptr, width_, height_, newWidth, newHeight)) {
        return false;
    }
    CommitWork();
    if (framed && !intoFrame) {
        return CentreInFrame(frameWidth, frameHeight);
    }
    return true;
}

bool TBaseDib::RescaleFromSurface(
    const SurfaceRows& surface, int newWidth, int newHeight, int frameWidth, int frameHeight)
{
    const bool framed = frameWidth != newWidth || frameHeight != newHeight;
    const bool intoFrame
        = framed && newWidth >= 0 && newHeight >= 0 && newWidth <= frameWidth && newHeight <= frameHeight;
    if (!surface.Usable() || (!framed && newWidth == surface.width && newHeight == surface.height)) {
        return CopyFromSurface(surface) && Rescale(newWidth, newHeight, frameWidth, frameHeight);
    }
    SetDeclared(surface.width, surface.height, 32);
    // The bottom row of the picture is the surface's last row.
    const std::ptrdiff_t pitch = surface.pitch;
    const std::uint8_t* bottomRow = surface.rows + (surface.height - 1) * pitch;
    if (!PrepareWork(
            intoFrame ? frameWidth : newWidth, intoFrame ? frameHeight : newHeight, 32, PictureBlock::Contents::unset)
        || !ScaleIntoWork(bottomRow, -pitch, nullptr, surface.width, surface.height, newWidth, newHeight)) {
        // As after the two steps: the picture is the copied surface.
        CopyFromSurface(surface);
        return false;
    }
    CommitWork();
    if (framed && !intoFrame) {
        return CentreInFrame(frameWidth, frameHeight);
    }
    return true;
}

bool TBaseDib::RescaleFromBands(
    const PictureBands& bands, int newWidth, int newHeight, int frameWidth, int frameHeight)
{
    const bool framed = frameWidth != newWidth || frameHeight != newHeight;
    const bool intoFrame
        = framed && newWidth >= 0 && newHeight >= 0 && newWidth <= frameWidth && newHeight <= frameHeight;
    if (!PrepareWork(
            intoFrame ? frameWidth : newWidth, intoFrame ? frameHeight : newHeight, 32, PictureBlock::Contents::unset)
        || !ScaleIntoWork(nullptr, 0, &bands, bands.Width(), bands.Height(), newWidth, newHeight)) {
        return false;
    }
    SetDeclared(bands.Width(), bands.Height(), 32);
    CommitWork();
    if (framed && !intoFrame) {
        return CentreInFrame(frameWidth, frameHeight);
    }
    return true;
}

} // namespace discforge
