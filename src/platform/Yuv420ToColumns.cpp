#include "platform/Yuv420ToColumns.h"

#include "platform/Yuv420Kernels.h"
#include "ports/PictureBands.h"

#include <cstring>

namespace discforge {

namespace {

constexpr int rows = PictureBands::columnRows;
constexpr int columnBytes = 4 * rows;

#if DISCFORGE_YUV_AVX2

using yuv420::blockPixels;

// Four pixels of each of the 8 rows, v[s] holding slot s's in its low half and
// slot s + 4's in its high half, as their four columns.
__attribute__((target("avx2"))) void StoreGroup(const __m256i v[4], std::uint8_t* to)
{
    const __m256i slots01Low = _mm256_unpacklo_epi32(v[0], v[1]);
    const __m256i slots01High = _mm256_unpackhi_epi32(v[0], v[1]);
    const __m256i slots23Low = _mm256_unpacklo_epi32(v[2], v[3]);
    const __m256i slots23High = _mm256_unpackhi_epi32(v[2], v[3]);
    auto* out = reinterpret_cast<__m256i*>(to);
    _mm256_storeu_si256(out, _mm256_unpacklo_epi64(slots01Low, slots23Low));
    _mm256_storeu_si256(out + 1, _mm256_unpackhi_epi64(slots01Low, slots23Low));
    _mm256_storeu_si256(out + 2, _mm256_unpacklo_epi64(slots01High, slots23High));
    _mm256_storeu_si256(out + 3, _mm256_unpackhi_epi64(slots01High, slots23High));
}

// The 32 pixels of the 8 rows, as PixelQuads gives them, into their columns. A
// column holds slots 0 .. 3 in its low half and 4 .. 7 in its high half; slot s
// takes row 7 - s, the rows of a strip coming bottom first.
__attribute__((target("avx2"))) void StoreColumns(const __m256i quads[rows][4], std::uint8_t* to)
{
    for (int quad = 0; quad < 4; ++quad) {
        __m256i first[4];
        __m256i second[4];
        for (int s = 0; s < 4; ++s) {
            const __m256i low = quads[rows - 1 - s][quad];
            const __m256i high = quads[rows - 5 - s][quad];
            first[s] = _mm256_permute2x128_si256(low, high, 0x20);
            second[s] = _mm256_permute2x128_si256(low, high, 0x31);
        }
        // Quad k holds pixels 4k .. 4k + 3 and, in its high half, 16 + 4k .. 19 + 4k.
        StoreGroup(first, to + std::ptrdiff_t{columnBytes} * 4 * quad);
        StoreGroup(second, to + std::ptrdiff_t{columnBytes} * (16 + 4 * quad));
    }
}

// Asks for the cache lines from x of the strip above, which a reduction wants
// next: it takes its strips from the bottom up.
void PrefetchAbove(const Yuv420Planes& planes, int x)
{
    constexpr int lineBytes = 64;
    if (x % lineBytes == 0) {
        for (int r = 1; r <= rows; ++r) {
            __builtin_prefetch(planes.luma - r * planes.lumaPitch + x);
        }
    }
    if (x % (2 * lineBytes) == 0) {
        for (int r = 1; r <= rows / 2; ++r) {
            __builtin_prefetch(planes.blue - r * planes.bluePitch + x / 2);
            __builtin_prefetch(planes.red - r * planes.redPitch + x / 2);
        }
    }
}

// The 32 pixels from x (even) of the 8 rows.
__attribute__((target("avx2"))) void ConvertColumnsAt(
    const Yuv420Planes& planes, int x, bool above, std::uint8_t* columns)
{
    if (above) {
        PrefetchAbove(planes, x);
    }
    const __m256i fourth = _mm256_setzero_si256();
    __m256i quads[rows][4];
    for (int pair = 0; pair < rows / 2; ++pair) {
        const yuv420::ChromaTerms chroma = yuv420::ChromaOf(
            planes.blue + pair * planes.bluePitch + x / 2, planes.red + pair * planes.redPitch + x / 2);
        for (int r = 2 * pair; r < 2 * pair + 2; ++r) {
            yuv420::PixelQuads(planes.luma + r * planes.lumaPitch + x, chroma, fourth, quads[r]);
        }
    }
    StoreColumns(quads, columns + std::ptrdiff_t{columnBytes} * x);
}

__attribute__((target("avx2"))) void ConvertColumnsAvx2(
    const Yuv420Planes& planes, int width, bool above, std::uint8_t* columns)
{
    int x = 0;
    for (; x + blockPixels <= width; x += blockPixels) {
        ConvertColumnsAt(planes, x, above, columns);
    }
    // The end as one more block reaching back over pixels already done, from an
    // even pixel so that each chroma sample still meets its own pair.
    if (x < width) {
        ConvertColumnsAt(planes, (width - blockPixels) & ~1, false, columns);
    }
}

#endif

} // namespace

bool Yuv420ToBgrxColumns([[maybe_unused]] const Yuv420Planes& planes, [[maybe_unused]] int width,
    [[maybe_unused]] bool above, [[maybe_unused]] std::uint8_t* columns)
{
#if DISCFORGE_YUV_AVX2
    // An odd width leaves its last pixel to the conversion one pixel at a time.
    if (!Yuv420ToBgrxAvailable() || width < yuv420::blockPixels || width % 2 != 0) {
        return false;
    }
    ConvertColumnsAvx2(planes, width, above, columns);
    const int padded = (width + rows - 1) / rows * rows;
    std::memset(
        columns + std::ptrdiff_t{columnBytes} * width, 0, static_cast<std::size_t>(padded - width) * columnBytes);
    return true;
#else
    return false;
#endif
}

} // namespace discforge
