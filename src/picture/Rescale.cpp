// ResampleRow and Rescale; the arithmetic lives in Resampler.cpp.
#include "picture/Resampler.h"
#include "picture/TBaseDib.h"

namespace discforge {

void TBaseDib::ResampleRow(const std::uint8_t* source, std::uint8_t* destination, int n, int m)
{
    HorizontalPlan plan;
    plan.Prepare(n, m);
    plan.Apply(source, destination);
}

bool TBaseDib::Rescale(int newWidth, int newHeight, int frameWidth, int frameHeight)
{
    if (depth_ != 32 && !ConvertDepth(32)) {
        return false;
    }
    const bool framed = frameWidth != newWidth || frameHeight != newHeight;
    // Scaling straight into the frame saves the second block and copy of
    // CentreInFrame; the bytes come out the same.
    const bool intoFrame = framed && newWidth >= 0 && newHeight >= 0 && newWidth <= frameWidth &&
                           newHeight <= frameHeight;
    if (!PrepareWork(intoFrame ? frameWidth : newWidth, intoFrame ? frameHeight : newHeight, 32)) {
        return false;
    }
    const int left = intoFrame ? (frameWidth - newWidth) >> 1 : 0;
    const int bottom = intoFrame ? (frameHeight - newHeight) >> 1 : 0;
    const std::ptrdiff_t workStride = static_cast<std::ptrdiff_t>(work_.layout.stride);

    RescaleRows job;
    job.width = width_;
    job.height = height_;
    job.newWidth = newWidth;
    job.newHeight = newHeight;
    job.maskX = intoFrame;
    job.sourceRow = [this](int r) -> const std::uint8_t* { return Row(r); };
    job.targetRow = [&](int r) { return work_.bits + (bottom + r) * workStride + 4 * left; };
    job.stop = [this] { return StopRequested(); };
    if (!ScaleRows(job)) {
        work_.block.Release();
        return false;
    }
    CommitWork();
    if (framed && !intoFrame) {
        return CentreInFrame(frameWidth, frameHeight);
    }
    return true;
}

} // namespace discforge
