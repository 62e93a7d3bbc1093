#include "platform/Yuv420ToBgrx.h"

#include "platform/Yuv420Kernels.h"

#include <algorithm>

namespace discforge {

namespace {

using namespace yuv420;

// What the wide kernels' rounding multiply gives: the product in units of 1/32768,
// rounded to the nearest.
int Rounded(int value, int factor)
{
    constexpr int half = 1 << 14;
    return (value * factor + half) >> 15;
}

std::uint8_t Clamped(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

// Pixels from..width-1 of one row, one at a time.
void ConvertRowPlain(const std::uint8_t* luma, const std::uint8_t* cb, const std::uint8_t* cr, int from, int width,
    std::uint8_t* to, std::uint8_t fourth)
{
    for (int x = from; x < width; ++x) {
        const int u = 4 * cb[x / 2] - chromaOffset;
        const int v = 4 * cr[x / 2] - chromaOffset;
        const int y = Rounded(4 * luma[x] - lumaOffset, lumaScale);
        std::uint8_t* pixel = to + 4 * static_cast<std::ptrdiff_t>(x);
        pixel[0] = Clamped(y + Rounded(u, blueFromCb));
        pixel[1] = Clamped(y + Rounded(u, greenFromCb) + Rounded(v, greenFromCr));
        pixel[2] = Clamped(y + Rounded(v, redFromCr));
        pixel[3] = fourth;
    }
}

#if DISCFORGE_YUV_AVX2

// 32 pixels of one row, whose chroma terms are given.
__attribute__((target("avx2"))) void ConvertBlock(
    const std::uint8_t* luma, const ChromaTerms& chroma, __m256i fourth, std::uint8_t* to)
{
    __m256i quads[4];
    PixelQuads(luma, chroma, fourth, quads);
    auto* out = reinterpret_cast<__m256i*>(to);
    _mm256_storeu_si256(out, _mm256_permute2x128_si256(quads[0], quads[1], 0x20));
    _mm256_storeu_si256(out + 1, _mm256_permute2x128_si256(quads[2], quads[3], 0x20));
    _mm256_storeu_si256(out + 2, _mm256_permute2x128_si256(quads[0], quads[1], 0x31));
    _mm256_storeu_si256(out + 3, _mm256_permute2x128_si256(quads[2], quads[3], 0x31));
}

// The block of 32 pixels from x of the rows of one chroma row, its chroma
// terms shared by the rows.
__attribute__((target("avx2"))) inline void ConvertBlockAt(const std::uint8_t* const luma[2], const std::uint8_t* cb,
    const std::uint8_t* cr, int rows, int x, std::uint8_t* const to[2], __m256i fourth)
{
    const ChromaTerms chroma = ChromaOf(cb + x / 2, cr + x / 2);
    for (int r = 0; r < rows; ++r) {
        ConvertBlock(luma[r] + x, chroma, fourth, to[r] + 4 * static_cast<std::ptrdiff_t>(x));
    }
}

// The rows of one chroma row in blocks of 32 pixels, the last of them reaching
// back where the width is not a multiple of 32; gives the pixels done.
__attribute__((target("avx2"))) int ConvertBlocksAvx2(const std::uint8_t* const luma[2], const std::uint8_t* cb,
    const std::uint8_t* cr, int rows, int width, std::uint8_t* const to[2], std::uint8_t fourth)
{
    const __m256i fourthBytes = _mm256_set1_epi8(static_cast<char>(fourth));
    int x = 0;
    for (; x + blockPixels <= width; x += blockPixels) {
        ConvertBlockAt(luma, cb, cr, rows, x, to, fourthBytes);
    }
    // The end of the row as one more block reaching back over pixels already
    // done (they come out the same), from an even pixel so that each chroma
    // sample still meets its own pair: a 720-wide row would otherwise leave 16
    // pixels to the plain loop, which took a third of the time of the picture.
    const int lastBlock = (width - blockPixels) & ~1;
    if (x < width && width >= blockPixels && lastBlock + blockPixels > x) {
        ConvertBlockAt(luma, cb, cr, rows, lastBlock, to, fourthBytes);
        x = lastBlock + blockPixels;
    }
    return x;
}

#endif

// The rows of one chroma row: two, or one at the end of a picture of odd height.
void ConvertChromaRow(const std::uint8_t* const luma[2], const std::uint8_t* cb, const std::uint8_t* cr, int rows,
    int width, std::uint8_t* const to[2], std::uint8_t fourth)
{
    int done = 0;
#if DISCFORGE_YUV_AVX2
    if (Yuv420ToBgrxAvailable()) {
        done = ConvertBlocksAvx2(luma, cb, cr, rows, width, to, fourth);
    }
#endif
    for (int r = 0; r < rows; ++r) {
        ConvertRowPlain(luma[r], cb, cr, done, width, to[r], fourth);
    }
}

// Asks for the bytes of one row ahead of their use.
void PrefetchRow(const std::uint8_t* row, int bytes)
{
    constexpr int lineBytes = 64;
    for (int offset = 0; offset < bytes; offset += lineBytes) {
        __builtin_prefetch(row + offset);
    }
}

} // namespace

bool Yuv420ToBgrxAvailable()
{
#if DISCFORGE_YUV_AVX2
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2;
#else
    return false;
#endif
}

void Yuv420ToBgrx(const Yuv420Planes& planes, int width, int height, std::uint8_t* firstRow, std::ptrdiff_t pitch,
    std::uint8_t fourth)
{
    for (int row = 0; row < height; row += 2) {
        // The planes were just written by a decoder, often on another processor,
        // and are larger than this processor's own cache: the next pair of rows is
        // asked for while this one converts (a tenth less time for a 720p picture
        // from the decoder's threads).
        if (row + 3 < height) {
            PrefetchRow(planes.luma + (row + 2) * planes.lumaPitch, width);
            PrefetchRow(planes.luma + (row + 3) * planes.lumaPitch, width);
            PrefetchRow(planes.blue + (row / 2 + 1) * planes.bluePitch, (width + 1) / 2);
            PrefetchRow(planes.red + (row / 2 + 1) * planes.redPitch, (width + 1) / 2);
        }
        const int rows = std::min(2, height - row);
        const std::uint8_t* luma[2] = {planes.luma + row * planes.lumaPitch, nullptr};
        std::uint8_t* to[2] = {firstRow + row * pitch, nullptr};
        if (rows == 2) {
            luma[1] = luma[0] + planes.lumaPitch;
            to[1] = to[0] + pitch;
        }
        ConvertChromaRow(luma, planes.blue + row / 2 * planes.bluePitch, planes.red + row / 2 * planes.redPitch, rows,
            width, to, fourth);
    }
}

} // namespace discforge
