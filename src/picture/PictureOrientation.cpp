// Turning and mirroring a picture upright by its recorded orientation.
#include <cstring>

#include "picture/ExifOrientation.h"
#include "picture/TBaseDib.h"

namespace discforge {

namespace {

// Where pixel (x, y) of the upright picture (y from the top) comes from in the
// stored one of width x height.
struct SourceOf {
    int orientation;
    int width;
    int height;

    void operator()(int x, int y, int& sx, int& sy) const
    {
        switch (orientation) {
        case 2: sx = width - 1 - x; sy = y; break;
        case 3: sx = width - 1 - x; sy = height - 1 - y; break;
        case 4: sx = x; sy = height - 1 - y; break;
        case 5: sx = y; sy = x; break;
        case 6: sx = y; sy = height - 1 - x; break;
        case 7: sx = width - 1 - y; sy = height - 1 - x; break;
        case 8: sx = width - 1 - y; sy = x; break;
        default: sx = x; sy = y; break;
        }
    }
};

} // namespace

bool TBaseDib::Orient(int orientation)
{
    if (orientation <= uprightOrientation || orientation > 8 || !HasPicture()) {
        return true;
    }
    if (depth_ != 8 && depth_ != 24 && depth_ != 32 && !ConvertDepth(32)) {
        return false;
    }
    const int width = width_;
    const int height = height_;
    const bool swaps = OrientationSwapsSides(orientation);
    const int uprightWidth = swaps ? height : width;
    const int uprightHeight = swaps ? width : height;
    if (!PrepareWork(uprightWidth, uprightHeight, depth_, PictureBlock::Contents::black)) {
        return false;
    }
    if (colourCount_ > 0) {
        std::memcpy(work_.block.Data() + bitmapInfoHeaderBytes, ColourTableData(), 4 * static_cast<std::size_t>(colourCount_));
    }
    const int pixelBytes = depth_ / 8;
    const std::ptrdiff_t workStride = static_cast<std::ptrdiff_t>(work_.layout.stride);
    const SourceOf source{orientation, width, height};
    for (int y = 0; y < uprightHeight; ++y) {
        if (StopRequested()) {
            return false;
        }
        std::uint8_t* target = work_.bits + (uprightHeight - 1 - y) * workStride;
        for (int x = 0; x < uprightWidth; ++x) {
            int sx = 0;
            int sy = 0;
            source(x, y, sx, sy);
            std::memcpy(target + x * pixelBytes, Row(height - 1 - sy) + sx * pixelBytes, static_cast<std::size_t>(pixelBytes));
        }
    }
    CommitWork();
    return true;
}

} // namespace discforge
