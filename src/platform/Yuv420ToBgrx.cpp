#include "platform/Yuv420ToBgrx.h"

#include <algorithm>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define DISCFORGE_YUV_AVX2 1
#endif

namespace discforge {

namespace {

constexpr int lumaScale = 9539;
constexpr int lumaOffset = 128;
constexpr int chromaOffset = 1024;
constexpr int blueFromCb = 16525;
constexpr int greenFromCb = -3209;
constexpr int greenFromCr = -6660;
constexpr int redFromCr = 13075;

// Pixels converted at a time by the wide kernel.
constexpr int blockPixels = 32;

int High(int value, int factor) { return (value * factor) >> 16; }

std::uint8_t Clamped(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

// Pixels from..width-1 of one row, one at a time.
void ConvertRowPlain(const std::uint8_t* luma, const std::uint8_t* cb, const std::uint8_t* cr, int from, int width,
    std::uint8_t* to, std::uint8_t fourth)
{
    for (int x = from; x < width; ++x) {
        const int u = 8 * cb[x / 2] - chromaOffset;
        const int v = 8 * cr[x / 2] - chromaOffset;
        const int y = High(8 * luma[x] - lumaOffset, lumaScale);
        std::uint8_t* pixel = to + 4 * static_cast<std::ptrdiff_t>(x);
        pixel[0] = Clamped(y + High(u, blueFromCb));
        pixel[1] = Clamped(y + High(u, greenFromCb) + High(v, greenFromCr));
        pixel[2] = Clamped(y + High(v, redFromCr));
        pixel[3] = fourth;
    }
}

#if DISCFORGE_YUV_AVX2

struct ChromaTerms {
    __m256i blue;
    __m256i green;
    __m256i red;
};

// The colour terms of 16 chroma samples, in 16-bit lanes in pixel-pair order.
__attribute__((target("avx2"))) ChromaTerms ChromaOf(const std::uint8_t* cb, const std::uint8_t* cr)
{
    const __m256i offset = _mm256_set1_epi16(chromaOffset);
    const __m256i u = _mm256_sub_epi16(
        _mm256_slli_epi16(_mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(cb))), 3), offset);
    const __m256i v = _mm256_sub_epi16(
        _mm256_slli_epi16(_mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(cr))), 3), offset);
    return ChromaTerms{_mm256_mulhi_epi16(u, _mm256_set1_epi16(blueFromCb)),
        _mm256_adds_epi16(_mm256_mulhi_epi16(u, _mm256_set1_epi16(greenFromCb)),
            _mm256_mulhi_epi16(v, _mm256_set1_epi16(greenFromCr))),
        _mm256_mulhi_epi16(v, _mm256_set1_epi16(redFromCr))};
}

// One colour of 32 pixels as bytes in pixel order within each 16-pixel half:
// the even and odd pixels are packed apart, then interleaved.
__attribute__((target("avx2"))) __m256i ColourBytes(__m256i evenLuma, __m256i oddLuma, __m256i term)
{
    const __m256i interleave = _mm256_setr_epi8(
        0, 8, 1, 9, 2, 10, 3, 11, 4, 12, 5, 13, 6, 14, 7, 15, 0, 8, 1, 9, 2, 10, 3, 11, 4, 12, 5, 13, 6, 14, 7, 15);
    return _mm256_shuffle_epi8(
        _mm256_packus_epi16(_mm256_adds_epi16(evenLuma, term), _mm256_adds_epi16(oddLuma, term)), interleave);
}

// 32 pixels of one row, whose chroma terms are given.
__attribute__((target("avx2"))) void ConvertBlock(
    const std::uint8_t* luma, const ChromaTerms& chroma, __m256i fourth, std::uint8_t* to)
{
    const __m256i samples = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(luma));
    const __m256i offset = _mm256_set1_epi16(lumaOffset);
    const __m256i scale = _mm256_set1_epi16(lumaScale);
    const __m256i even = _mm256_and_si256(samples, _mm256_set1_epi16(0x00FF));
    const __m256i odd = _mm256_srli_epi16(samples, 8);
    const __m256i evenLuma = _mm256_mulhi_epi16(_mm256_sub_epi16(_mm256_slli_epi16(even, 3), offset), scale);
    const __m256i oddLuma = _mm256_mulhi_epi16(_mm256_sub_epi16(_mm256_slli_epi16(odd, 3), offset), scale);
    const __m256i blue = ColourBytes(evenLuma, oddLuma, chroma.blue);
    const __m256i green = ColourBytes(evenLuma, oddLuma, chroma.green);
    const __m256i red = ColourBytes(evenLuma, oddLuma, chroma.red);
    const __m256i blueGreenLow = _mm256_unpacklo_epi8(blue, green);
    const __m256i blueGreenHigh = _mm256_unpackhi_epi8(blue, green);
    const __m256i redFourthLow = _mm256_unpacklo_epi8(red, fourth);
    const __m256i redFourthHigh = _mm256_unpackhi_epi8(red, fourth);
    // Each holds pixels 4k..4k+3 in its first half and 16+4k.. in its second.
    const __m256i quad0 = _mm256_unpacklo_epi16(blueGreenLow, redFourthLow);
    const __m256i quad1 = _mm256_unpackhi_epi16(blueGreenLow, redFourthLow);
    const __m256i quad2 = _mm256_unpacklo_epi16(blueGreenHigh, redFourthHigh);
    const __m256i quad3 = _mm256_unpackhi_epi16(blueGreenHigh, redFourthHigh);
    auto* out = reinterpret_cast<__m256i*>(to);
    _mm256_storeu_si256(out, _mm256_permute2x128_si256(quad0, quad1, 0x20));
    _mm256_storeu_si256(out + 1, _mm256_permute2x128_si256(quad2, quad3, 0x20));
    _mm256_storeu_si256(out + 2, _mm256_permute2x128_si256(quad0, quad1, 0x31));
    _mm256_storeu_si256(out + 3, _mm256_permute2x128_si256(quad2, quad3, 0x31));
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
