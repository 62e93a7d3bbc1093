// The rows with AVX2. Each colour comes into its own 16-bit half of a 32-bit lane
// by a byte shuffle, and one multiply-add of a pair of halves gives the sum of two
// products exactly, where the plain loop needs a slow 32-bit multiplication per
// colour. Green's luma factor is above what a signed 16-bit half holds, so green
// fills both halves and the factor is split between them.
#include "BgrxRows.h"

#include "YuvCoefficients.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define DISCFORGE_ROWS_AVX2 1
#endif

namespace discforge::convert {

#if DISCFORGE_ROWS_AVX2

namespace {

using namespace yuv;

constexpr int32_t yGreenLow = yGreen / 2;
constexpr int32_t yGreenHigh = yGreen - yGreenLow;
static_assert(yRed < 0x8000 && yBlue < 0x8000 && yGreenLow < 0x8000 && yGreenHigh < 0x8000);

// A 32-bit lane whose low 16-bit half holds `low` and whose high half holds `high`.
__attribute__((target("avx2"))) __m256i HalvesOf(int32_t low, int32_t high)
{
    return _mm256_set1_epi32(static_cast<int32_t>((static_cast<uint32_t>(high) << 16) |
                                                  (static_cast<uint32_t>(low) & 0xFFFF)));
}

__attribute__((target("avx2"))) __m256i Load(const uint32_t* at)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
}

// Luma of eight pixels, one per 32-bit lane.
__attribute__((target("avx2"))) __m256i Luma8(__m256i pixels)
{
    const __m256i blueRedPicks = _mm256_setr_epi8(0, -1, 2, -1, 4, -1, 6, -1, 8, -1, 10, -1, 12, -1, 14, -1, 0, -1, 2,
                                                  -1, 4, -1, 6, -1, 8, -1, 10, -1, 12, -1, 14, -1);
    const __m256i greenPicks = _mm256_setr_epi8(1, -1, 1, -1, 5, -1, 5, -1, 9, -1, 9, -1, 13, -1, 13, -1, 1, -1, 1, -1,
                                                5, -1, 5, -1, 9, -1, 9, -1, 13, -1, 13, -1);
    const __m256i blueRed = _mm256_madd_epi16(_mm256_shuffle_epi8(pixels, blueRedPicks), HalvesOf(yBlue, yRed));
    const __m256i green = _mm256_madd_epi16(_mm256_shuffle_epi8(pixels, greenPicks), HalvesOf(yGreenLow, yGreenHigh));
    const __m256i total = _mm256_add_epi32(_mm256_add_epi32(blueRed, green), _mm256_set1_epi32(lumaOffset));
    return _mm256_srli_epi32(total, fractionBits);
}

// Packing four registers of lanes gives groups of four bytes in the order 0, 2, 4, 6, 1, 3, 5, 7.
__attribute__((target("avx2"))) __m256i InOrder(__m256i groups)
{
    return _mm256_permutevar8x32_epi32(groups, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
}

// Blue and red (halves of each lane), green and X of the pixels of both rows, summed by column.
struct ColumnSums {
    __m256i blueRed;
    __m256i greenX;
};

__attribute__((target("avx2"))) ColumnSums SumColumns(const uint32_t* upper, const uint32_t* lower)
{
    const __m256i lowBytes = _mm256_set1_epi32(0x00FF00FF);
    const __m256i a = Load(upper);
    const __m256i b = Load(lower);
    return ColumnSums{
        _mm256_add_epi16(_mm256_and_si256(a, lowBytes), _mm256_and_si256(b, lowBytes)),
        _mm256_add_epi16(_mm256_and_si256(_mm256_srli_epi32(a, 8), lowBytes),
                         _mm256_and_si256(_mm256_srli_epi32(b, 8), lowBytes))};
}

// One colour difference of the blocks whose sums of four are in `blueRed` and `greenX`.
__attribute__((target("avx2"))) __m256i Difference(__m256i blueRed, __m256i greenX, int32_t red, int32_t green,
                                                   int32_t blue)
{
    const __m256i total = _mm256_add_epi32(_mm256_madd_epi16(blueRed, HalvesOf(blue, red)),
                                           _mm256_madd_epi16(greenX, HalvesOf(green, 0)));
    return _mm256_srli_epi32(_mm256_add_epi32(total, _mm256_set1_epi32(chromaOffset)), sumBits);
}

// Sixteen blocks of 2 x 2 from block x. Adding neighbouring lanes adds their halves
// too, since no half exceeds 4 x 255; it leaves the blocks in the order 0, 1, 4, 5 |
// 2, 3, 6, 7 (and 8 on likewise), which the last two shuffles undo.
__attribute__((target("avx2"))) inline void ChromaBlock(const uint32_t* upper, const uint32_t* lower, uint8_t* u,
                                                        uint8_t* v, int x)
{
    const __m256i byPairs = _mm256_setr_epi8(0, 1, 8, 9, 2, 3, 10, 11, 4, 5, 12, 13, 6, 7, 14, 15, 0, 1, 8, 9, 2, 3,
                                             10, 11, 4, 5, 12, 13, 6, 7, 14, 15);
    ColumnSums sums[4];
    for (int i = 0; i < 4; ++i) {
        sums[i] = SumColumns(upper + 2 * x + 8 * i, lower + 2 * x + 8 * i);
    }
    const __m256i blueRedFirst = _mm256_hadd_epi32(sums[0].blueRed, sums[1].blueRed);
    const __m256i greenXFirst = _mm256_hadd_epi32(sums[0].greenX, sums[1].greenX);
    const __m256i blueRedSecond = _mm256_hadd_epi32(sums[2].blueRed, sums[3].blueRed);
    const __m256i greenXSecond = _mm256_hadd_epi32(sums[2].greenX, sums[3].greenX);
    const __m256i us = _mm256_packus_epi32(Difference(blueRedFirst, greenXFirst, uRed, uGreen, uBlue),
                                           Difference(blueRedSecond, greenXSecond, uRed, uGreen, uBlue));
    const __m256i vs = _mm256_packus_epi32(Difference(blueRedFirst, greenXFirst, vRed, vGreen, vBlue),
                                           Difference(blueRedSecond, greenXSecond, vRed, vGreen, vBlue));
    const __m256i halves = _mm256_permute4x64_epi64(_mm256_packus_epi16(us, vs), 0xD8);
    const __m256i both = _mm256_shuffle_epi8(halves, byPairs);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(u + x), _mm256_castsi256_si128(both));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(v + x), _mm256_extracti128_si256(both, 1));
}

} // namespace

bool RowsHaveAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

__attribute__((target("avx2"))) int LumaRowAvx2(const uint32_t* pixels, uint8_t* luma, int width)
{
    if (!RowsHaveAvx2()) {
        return 0;
    }
    int x = 0;
    for (; x + 32 <= width; x += 32) {
        const __m256i low = _mm256_packus_epi32(Luma8(Load(pixels + x)), Luma8(Load(pixels + x + 8)));
        const __m256i high = _mm256_packus_epi32(Luma8(Load(pixels + x + 16)), Luma8(Load(pixels + x + 24)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(luma + x), InOrder(_mm256_packus_epi16(low, high)));
    }
    for (; x + 8 <= width; x += 8) {
        const __m256i words = _mm256_packus_epi32(Luma8(Load(pixels + x)), _mm256_setzero_si256());
        const __m256i bytes = InOrder(_mm256_packus_epi16(words, _mm256_setzero_si256()));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(luma + x), _mm256_castsi256_si128(bytes));
    }
    return x;
}

__attribute__((target("avx2"))) int ChromaRowAvx2(const uint32_t* upper, const uint32_t* lower, uint8_t* u, uint8_t* v,
                                                  int chromaWidth)
{
    if (!RowsHaveAvx2()) {
        return 0;
    }
    constexpr int blockWidth = 16;
    int x = 0;
    for (; x + blockWidth <= chromaWidth; x += blockWidth) {
        ChromaBlock(upper, lower, u, v, x);
    }
    // The end of the row as one more block reaching back over blocks already done
    // (they come out the same): a 720-wide picture would otherwise leave 8 of its
    // 360 to the plain loop, which made the whole conversion a tenth slower.
    if (x < chromaWidth && chromaWidth >= blockWidth) {
        ChromaBlock(upper, lower, u, v, chromaWidth - blockWidth);
        x = chromaWidth;
    }
    return x;
}

#else

bool RowsHaveAvx2() { return false; }
int LumaRowAvx2(const uint32_t*, uint8_t*, int) { return 0; }
int ChromaRowAvx2(const uint32_t*, const uint32_t*, uint8_t*, uint8_t*, int) { return 0; }

#endif

} // namespace discforge::convert
