#include "BgrxToYuv420.h"

#include <bit>

namespace discforge::convert {
namespace {

static_assert(std::endian::native == std::endian::little,
              "a pixel read as one 32-bit word holds blue in its lowest byte");

// BT.601 luma and colour differences scaled to the MPEG range (219 and 224 of 255), in
// units of 1/65536. Each chroma row sums to 0, so that grey stays exactly at 128.
constexpr int fractionBits = 16;
constexpr int32_t yRed = 16829;   // 0.299 * 219 / 255
constexpr int32_t yGreen = 33039; // 0.587 * 219 / 255
constexpr int32_t yBlue = 6416;   // 0.114 * 219 / 255
constexpr int32_t uRed = -9714;   // -0.168736 * 224 / 255
constexpr int32_t uGreen = -19070;
constexpr int32_t uBlue = 28784; // 0.5 * 224 / 255
constexpr int32_t vRed = 28784;
constexpr int32_t vGreen = -24103; // -0.418688 * 224 / 255
constexpr int32_t vBlue = -4681;   // -0.081312 * 224 / 255
static_assert(uRed + uGreen + uBlue == 0 && vRed + vGreen + vBlue == 0);

// Offsets with rounding: luma from one pixel, chroma from the sum of four.
constexpr int32_t lumaOffset = (16 << fractionBits) + (1 << (fractionBits - 1));
constexpr int sumBits = fractionBits + 2;
constexpr int32_t chromaOffset = (128 << sumBits) + (1 << (sumBits - 1));
// White stays below 256 and the most negative colour difference above 0, so no clamping.
static_assert(((yRed + yGreen + yBlue) * 255 + lumaOffset) >> fractionBits <= 235);
static_assert(uRed * 4 * 255 + uGreen * 4 * 255 + chromaOffset > 0);
static_assert(vGreen * 4 * 255 + vBlue * 4 * 255 + chromaOffset > 0);

// Built twice, for AVX2 and for the x86-64 baseline, and chosen when the library is
// loaded: AVX2 multiplies eight 32-bit lanes at once where SSE2 has to emulate it.
#if defined(__x86_64__)
#define DISCFORGE_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define DISCFORGE_VECTOR_CLONES
#endif

DISCFORGE_VECTOR_CLONES void LumaRow(const uint32_t* __restrict pixels, uint8_t* __restrict luma, int width)
{
    for (int x = 0; x < width; ++x) {
        const uint32_t pixel = pixels[x];
        const auto blue = static_cast<int32_t>(pixel & 0xFF);
        const auto green = static_cast<int32_t>((pixel >> 8) & 0xFF);
        const auto red = static_cast<int32_t>((pixel >> 16) & 0xFF);
        luma[x] = static_cast<uint8_t>((yRed * red + yGreen * green + yBlue * blue + lumaOffset) >> fractionBits);
    }
}

// One chroma row from two pixel rows. Blue and red of four pixels are summed in the two
// 16-bit halves of one word (at most 4 x 255 each), green in another.
DISCFORGE_VECTOR_CLONES void ChromaRow(const uint32_t* __restrict upper, const uint32_t* __restrict lower, uint8_t* __restrict u,
               uint8_t* __restrict v, int chromaWidth)
{
    constexpr uint32_t lowBytes = 0x00FF00FF;
    for (int x = 0; x < chromaWidth; ++x) {
        const uint32_t a = upper[2 * x];
        const uint32_t b = upper[2 * x + 1];
        const uint32_t c = lower[2 * x];
        const uint32_t d = lower[2 * x + 1];
        const uint32_t blueRed = (a & lowBytes) + (b & lowBytes) + (c & lowBytes) + (d & lowBytes);
        const uint32_t greenX = ((a >> 8) & lowBytes) + ((b >> 8) & lowBytes) + ((c >> 8) & lowBytes) +
                                ((d >> 8) & lowBytes);
        const auto blue = static_cast<int32_t>(blueRed & 0xFFFF);
        const auto red = static_cast<int32_t>(blueRed >> 16);
        const auto green = static_cast<int32_t>(greenX & 0xFFFF);
        u[x] = static_cast<uint8_t>((uRed * red + uGreen * green + uBlue * blue + chromaOffset) >> sumBits);
        v[x] = static_cast<uint8_t>((vRed * red + vGreen * green + vBlue * blue + chromaOffset) >> sumBits);
    }
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
