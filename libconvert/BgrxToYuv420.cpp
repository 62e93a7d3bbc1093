#include "BgrxToYuv420.h"

#include "BgrxRows.h"

namespace discforge::convert {
namespace {

void LumaRow(const uint32_t* pixels, uint8_t* luma, int width)
{
    const int done = LumaRowAvx2(pixels, luma, width);
    LumaRowPlain(pixels + done, luma + done, width - done);
}

void ChromaRow(const uint32_t* upper, const uint32_t* lower, uint8_t* u, uint8_t* v, int chromaWidth)
{
    const int done = ChromaRowAvx2(upper, lower, u, v, chromaWidth);
    ChromaRowPlain(upper + 2 * done, lower + 2 * done, u + done, v + done, chromaWidth - done);
}

} // namespace

void ConvertBgrxToYuv420(const uint32_t* topRow, std::ptrdiff_t pixelStride, int width, int height,
                         const Yuv420Planes& planes)
{
    const int pairs = height / 2;
    // The source is read in the order it lies in memory, which the processor's prefetch
    // follows best: a bottom-up picture from its last pair of rows.
    const bool bottomUp = pixelStride < 0;
    for (int step = 0; step < pairs; ++step) {
        const int pair = bottomUp ? pairs - 1 - step : step;
        const int y = 2 * pair;
        const uint32_t* upper = topRow + pixelStride * y;
        const uint32_t* lower = upper + pixelStride;
        LumaRow(upper, planes.y + planes.lumaStride * y, width);
        LumaRow(lower, planes.y + planes.lumaStride * (y + 1), width);
        const std::ptrdiff_t chromaRow = planes.chromaStride * pair;
        ChromaRow(upper, lower, planes.u + chromaRow, planes.v + chromaRow, width / 2);
    }
}

} // namespace discforge::convert
