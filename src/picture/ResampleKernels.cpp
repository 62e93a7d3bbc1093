#include "picture/ResampleKernels.h"

#include <cstddef>
#include <cstring>

#include "picture/ReduceArithmetic.h"
#include "picture/Resampler.h"

namespace discforge::kernels {

namespace {

// The plain loops below are built twice, for AVX2 and for the baseline, and
// the processor picks one when the program starts; the results are the same bytes.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define DISCFORGE_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define DISCFORGE_VECTOR_CLONES
#endif

// (a x b) >> 16: one vector instruction for 16-bit lanes.
inline std::uint16_t MulHigh(std::uint16_t a, std::uint16_t b)
{
    return static_cast<std::uint16_t>((static_cast<std::uint32_t>(a) * b) >> 16);
}

// The 32-bit pixel with its X byte cleared, whatever the byte order.
inline std::uint32_t ColourMask()
{
    const std::uint8_t bytes[4] = {0xFF, 0xFF, 0xFF, 0};
    std::uint32_t mask;
    std::memcpy(&mask, bytes, 4);
    return mask;
}

#if DISCFORGE_AVX2
// The hand-written AVX2 loops: the compiler's own vectorisation of the blends
// spends most of its time on compares and blends that the saturating byte
// subtractions make unnecessary.

using reduce::HasAvx2;
using reduce::Load;

// (d x m) >> 16 for the 32 bytes of d, with the multipliers of bytes 0-7 and
// 16-23 in `low` and of bytes 8-15 and 24-31 in `high` (the lanes of the unpacks).
__attribute__((target("avx2"))) inline __m256i ScaleBytes(__m256i d, __m256i low, __m256i high)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i first = _mm256_mulhi_epu16(_mm256_unpacklo_epi8(d, zero), low);
    const __m256i second = _mm256_mulhi_epu16(_mm256_unpackhi_epi8(d, zero), high);
    return _mm256_packus_epi16(first, second);
}

// a + (b - a) x fraction: the difference split into its upward and downward
// parts, at most one of them non-zero, so no lane needs a sign.
__attribute__((target("avx2"))) inline __m256i Blend(__m256i a, __m256i b, __m256i low, __m256i high)
{
    const __m256i up = ScaleBytes(_mm256_subs_epu8(b, a), low, high);
    const __m256i down = ScaleBytes(_mm256_subs_epu8(a, b), low, high);
    return _mm256_sub_epi8(_mm256_add_epi8(a, up), down);
}

__attribute__((target("avx2"))) int BlendRows16Avx2(
    const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* out, int bytes, std::uint16_t multiplier)
{
    const __m256i m = _mm256_set1_epi16(static_cast<short>(multiplier));
    int i = 0;
    for (; i + 32 <= bytes; i += 32) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + i));
        const __m256i y = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), Blend(x, y, m, m));
    }
    return i;
}

__attribute__((target("avx2"))) void EnlargeBlocksAvx2(const std::uint8_t* source, const std::int32_t* base,
    const std::int32_t* index, const std::uint16_t* arrangedMultipliers, int blocks, std::uint8_t* out)
{
    const __m256i colour = _mm256_set1_epi32(static_cast<int>(ColourMask()));
    for (std::ptrdiff_t j = 0; j < blocks; ++j) {
        const std::uint8_t* window = source + 4 * static_cast<std::ptrdiff_t>(base[j]);
        const __m256i order = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(index + 8 * j));
        const __m256i lefts = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(window));
        const __m256i rights = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(window + 4));
        // X of the left pixel is cleared; the multiplier of X is 0, so X stays 0.
        const __m256i a = _mm256_and_si256(_mm256_permutevar8x32_epi32(lefts, order), colour);
        const __m256i b = _mm256_permutevar8x32_epi32(rights, order);
        const std::uint16_t* m = arrangedMultipliers + 32 * j;
        const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(m));
        const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(m + 16));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 32 * j), Blend(a, b, low, high));
    }
}

// 8 pixels by their indices, X cleared; lanes with index -1 stay 0.
__attribute__((target("avx2"))) inline __m256i GatherPixels(const std::uint8_t* source, const std::int32_t* index)
{
    const __m256i colour = _mm256_set1_epi32(static_cast<int>(ColourMask()));
    const __m256i order = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(index));
    const __m256i present = _mm256_cmpgt_epi32(order, _mm256_set1_epi32(-1));
    const __m256i pixels
        = _mm256_mask_i32gather_epi32(_mm256_setzero_si256(), reinterpret_cast<const int*>(source), order, present, 4);
    return _mm256_and_si256(pixels, colour);
}

__attribute__((target("avx2"))) void ReduceBlocksAvx2(const std::uint8_t* source, const std::int32_t* indices,
    int wholeSlots, const std::uint16_t* multipliers, std::uint16_t averageMultiplier, int blocks, std::uint8_t* out)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i average = _mm256_set1_epi16(static_cast<short>(averageMultiplier));
    const __m256i onward = _mm256_setr_epi32(7, 0, 1, 2, 3, 4, 5, 6);
    const int groups = 1 + wholeSlots;
    __m256i lastBefore = zero; // the last pixels of the block before, moved on by one
    for (std::ptrdiff_t j = 0; j < blocks; ++j) {
        const std::int32_t* index = indices + std::ptrdiff_t{8} * groups * j;
        const std::uint16_t* m = multipliers + 64 * j;
        // The pixel whose rest starts an output is the one whose share ended the output before.
        const __m256i last = GatherPixels(source, index);
        const __m256i movedOn = _mm256_permutevar8x32_epi32(last, onward);
        const __m256i previous = _mm256_blend_epi32(movedOn, lastBefore, 0x01);
        lastBefore = movedOn;
        __m256i low = _mm256_add_epi16(_mm256_mulhi_epu16(_mm256_unpacklo_epi8(previous, zero), Load(m)),
            _mm256_mulhi_epu16(_mm256_unpacklo_epi8(last, zero), Load(m + 32)));
        __m256i high = _mm256_add_epi16(_mm256_mulhi_epu16(_mm256_unpackhi_epi8(previous, zero), Load(m + 16)),
            _mm256_mulhi_epu16(_mm256_unpackhi_epi8(last, zero), Load(m + 48)));
        for (std::ptrdiff_t slot = 0; slot < wholeSlots; ++slot) {
            const __m256i whole = GatherPixels(source, index + 8 + 8 * slot);
            low = _mm256_add_epi16(low, _mm256_unpacklo_epi8(whole, zero));
            high = _mm256_add_epi16(high, _mm256_unpackhi_epi8(whole, zero));
        }
        const __m256i result = _mm256_packus_epi16(_mm256_mulhi_epu16(low, average), _mm256_mulhi_epu16(high, average));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 32 * j), result);
    }
}
#endif

} // namespace

int ReduceBlocks([[maybe_unused]] const std::uint8_t* source, [[maybe_unused]] const std::int32_t* indices,
    [[maybe_unused]] int wholeSlots, [[maybe_unused]] const std::uint16_t* multipliers,
    [[maybe_unused]] std::uint16_t averageMultiplier, [[maybe_unused]] int blocks, [[maybe_unused]] std::uint8_t* out)
{
#if DISCFORGE_AVX2
    if (HasAvx2()) {
        ReduceBlocksAvx2(source, indices, wholeSlots, multipliers, averageMultiplier, blocks, out);
        return blocks;
    }
#endif
    return 0;
}

int EnlargeBlocks([[maybe_unused]] const std::uint8_t* source, [[maybe_unused]] const std::int32_t* base,
    [[maybe_unused]] const std::int32_t* index, [[maybe_unused]] const std::uint16_t* arrangedMultipliers,
    [[maybe_unused]] int blocks, [[maybe_unused]] std::uint8_t* out)
{
#if DISCFORGE_AVX2
    if (HasAvx2()) {
        EnlargeBlocksAvx2(source, base, index, arrangedMultipliers, blocks, out);
        return blocks;
    }
#endif
    return 0;
}

void ArrangeBlockMultipliers(const std::uint16_t* byteMultipliers, int blocks, std::uint16_t* arranged)
{
    // The unpacks take bytes 0-7 and 16-23 into the first vector, 8-15 and 24-31 into the second.
    for (std::ptrdiff_t j = 0; j < blocks; ++j) {
        const std::uint16_t* from = byteMultipliers + 32 * j;
        std::uint16_t* to = arranged + 32 * j;
        for (int w = 0; w < 8; ++w) {
            to[w] = from[w];
            to[8 + w] = from[16 + w];
            to[16 + w] = from[8 + w];
            to[24 + w] = from[24 + w];
        }
    }
}

// The difference is split into its upward and downward parts, at most one of
// them non-zero, so no lane ever needs a sign.
DISCFORGE_VECTOR_CLONES static void BlendRows16Plain(const std::uint8_t* __restrict a, const std::uint8_t* __restrict b,
    std::uint8_t* __restrict out, int bytes, std::uint16_t multiplier)
{
    for (int i = 0; i < bytes; ++i) {
        const std::uint16_t x = a[i];
        const std::uint16_t y = b[i];
        const std::uint16_t up = y > x ? y - x : 0;
        const std::uint16_t down = x > y ? x - y : 0;
        out[i] = static_cast<std::uint8_t>(x + MulHigh(up, multiplier) - MulHigh(down, multiplier));
    }
}

void BlendRows16(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* out, int bytes, std::uint16_t multiplier)
{
    int done = 0;
#if DISCFORGE_AVX2
    if (HasAvx2()) {
        done = BlendRows16Avx2(a, b, out, bytes, multiplier);
    }
#endif
    BlendRows16Plain(a + done, b + done, out + done, bytes - done, multiplier);
}

DISCFORGE_VECTOR_CLONES void BlendLanes16(const std::uint8_t* __restrict a, const std::uint8_t* __restrict b,
    const std::uint16_t* __restrict multipliers, std::uint8_t* __restrict out, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        const std::uint16_t x = a[i];
        const std::uint16_t y = b[i];
        const std::uint16_t up = y > x ? y - x : 0;
        const std::uint16_t down = x > y ? x - y : 0;
        out[i] = static_cast<std::uint8_t>(x + MulHigh(up, multipliers[i]) - MulHigh(down, multipliers[i]));
    }
}

DISCFORGE_VECTOR_CLONES void BlendRows32(const std::uint8_t* __restrict a, const std::uint8_t* __restrict b,
    std::uint8_t* __restrict out, int bytes, const ExactScale& scale)
{
    if (scale.Fits32()) {
        const std::uint32_t multiplier = scale.Multiplier32();
        const int shift = scale.Shift();
        for (int i = 0; i < bytes; ++i) {
            const std::int32_t difference = static_cast<std::int32_t>(b[i]) - a[i];
            const std::uint32_t magnitude = static_cast<std::uint32_t>(difference < 0 ? -difference : difference);
            const std::uint32_t step = (magnitude * multiplier) >> shift;
            out[i] = static_cast<std::uint8_t>(difference < 0 ? a[i] - step : a[i] + step);
        }
        return;
    }
    for (int i = 0; i < bytes; ++i) {
        out[i] = b[i] >= a[i] ? static_cast<std::uint8_t>(a[i] + scale.Apply(b[i] - a[i]))
                              : static_cast<std::uint8_t>(a[i] - scale.Apply(a[i] - b[i]));
    }
}

DISCFORGE_VECTOR_CLONES void BlendLanes32(const std::uint8_t* __restrict a, const std::uint8_t* __restrict b,
    const std::uint32_t* __restrict multipliers, int shift, std::uint8_t* __restrict out, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        const std::int32_t difference = static_cast<std::int32_t>(b[i]) - a[i];
        const std::uint32_t magnitude = static_cast<std::uint32_t>(difference < 0 ? -difference : difference);
        const std::uint32_t step = (magnitude * multipliers[i]) >> shift;
        out[i] = static_cast<std::uint8_t>(difference < 0 ? a[i] - step : a[i] + step);
    }
}

DISCFORGE_VECTOR_CLONES void AddRow16(const std::uint8_t* __restrict row, std::uint16_t* __restrict sums, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        sums[i] = static_cast<std::uint16_t>(sums[i] + row[i]);
    }
}

DISCFORGE_VECTOR_CLONES void AddRow32(const std::uint8_t* __restrict row, std::uint32_t* __restrict sums, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        sums[i] += row[i];
    }
}

namespace {

// floor(total x m / n) for a 16-bit total: by the one multiplier, or by
// ceil(m x 2^32 / n) split into two 16-bit halves, (total x high + (total x low
// >> 16)) >> 16, which stays below 2^32.
template <bool Split> inline std::uint16_t Average16(std::uint16_t total, std::uint16_t high, std::uint16_t low)
{
    if constexpr (Split) {
        return static_cast<std::uint16_t>((static_cast<std::uint32_t>(total) * high + MulHigh(total, low)) >> 16);
    } else {
        return MulHigh(total, high);
    }
}

template <bool Split>
inline void FinishSumsWith(const std::uint8_t* __restrict row, std::uint16_t* __restrict sums,
    std::uint8_t* __restrict out, int bytes, std::uint16_t shareMultiplier, std::uint16_t restMultiplier,
    std::uint16_t averageHigh, std::uint16_t averageLow)
{
    for (int i = 0; i < bytes; ++i) {
        const std::uint16_t value = row[i];
        const std::uint16_t total = static_cast<std::uint16_t>(sums[i] + MulHigh(value, shareMultiplier));
        out[i] = static_cast<std::uint8_t>(Average16<Split>(total, averageHigh, averageLow));
        sums[i] = MulHigh(value, restMultiplier);
    }
}

template <bool Split>
inline void FinishSumsWholeWith(const std::uint8_t* __restrict row, std::uint16_t* __restrict sums,
    std::uint8_t* __restrict out, int bytes, std::uint16_t averageHigh, std::uint16_t averageLow)
{
    for (int i = 0; i < bytes; ++i) {
        const std::uint16_t total = static_cast<std::uint16_t>(sums[i] + row[i]);
        out[i] = static_cast<std::uint8_t>(Average16<Split>(total, averageHigh, averageLow));
        sums[i] = 0;
    }
}

} // namespace

DISCFORGE_VECTOR_CLONES void FinishSums16(const std::uint8_t* __restrict row, std::uint16_t* __restrict sums,
    std::uint8_t* __restrict out, int bytes, std::uint16_t shareMultiplier, std::uint16_t restMultiplier,
    std::uint16_t averageHigh, std::uint16_t averageLow)
{
    if (averageLow == 0) {
        FinishSumsWith<false>(row, sums, out, bytes, shareMultiplier, restMultiplier, averageHigh, 0);
    } else {
        FinishSumsWith<true>(row, sums, out, bytes, shareMultiplier, restMultiplier, averageHigh, averageLow);
    }
}

DISCFORGE_VECTOR_CLONES void FinishSumsWhole16(const std::uint8_t* __restrict row, std::uint16_t* __restrict sums,
    std::uint8_t* __restrict out, int bytes, std::uint16_t averageHigh, std::uint16_t averageLow)
{
    if (averageLow == 0) {
        FinishSumsWholeWith<false>(row, sums, out, bytes, averageHigh, 0);
    } else {
        FinishSumsWholeWith<true>(row, sums, out, bytes, averageHigh, averageLow);
    }
}

DISCFORGE_VECTOR_CLONES void FinishSums32(const std::uint8_t* __restrict row, std::uint32_t* __restrict sums,
    std::uint8_t* __restrict out, int bytes, const ExactScale& share, const ExactScale& rest, const ExactScale& average)
{
    if (share.Fits32() && rest.Fits32() && average.Fits32()) {
        const std::uint32_t shareMultiplier = share.Multiplier32();
        const std::uint32_t restMultiplier = rest.Multiplier32();
        const std::uint32_t averageMultiplier = average.Multiplier32();
        const int shareShift = share.Shift();
        const int averageShift = average.Shift();
        for (int i = 0; i < bytes; ++i) {
            const std::uint32_t total = sums[i] + ((row[i] * shareMultiplier) >> shareShift);
            out[i] = static_cast<std::uint8_t>((total * averageMultiplier) >> averageShift);
            sums[i] = (row[i] * restMultiplier) >> shareShift;
        }
        return;
    }
    for (int i = 0; i < bytes; ++i) {
        const std::uint64_t total = sums[i] + share.Apply(row[i]);
        out[i] = static_cast<std::uint8_t>(average.Apply(total));
        sums[i] = static_cast<std::uint32_t>(rest.Apply(row[i]));
    }
}

DISCFORGE_VECTOR_CLONES void AverageLanes16(const std::uint8_t* __restrict previous,
    const std::uint8_t* __restrict last, const std::uint16_t* __restrict whole,
    const std::uint16_t* __restrict restMultipliers, const std::uint16_t* __restrict shareMultipliers,
    std::uint16_t averageMultiplier, std::uint8_t* __restrict out, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        const std::uint16_t total = static_cast<std::uint16_t>(
            whole[i] + MulHigh(previous[i], restMultipliers[i]) + MulHigh(last[i], shareMultipliers[i]));
        out[i] = static_cast<std::uint8_t>(MulHigh(total, averageMultiplier));
    }
}

DISCFORGE_VECTOR_CLONES void AverageLanes32(const std::uint8_t* __restrict previous,
    const std::uint8_t* __restrict last, const std::uint32_t* __restrict whole,
    const std::uint32_t* __restrict restMultipliers, const std::uint32_t* __restrict shareMultipliers, int shift,
    std::uint32_t averageMultiplier, int averageShift, std::uint8_t* __restrict out, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        const std::uint32_t total
            = whole[i] + ((previous[i] * restMultipliers[i]) >> shift) + ((last[i] * shareMultipliers[i]) >> shift);
        out[i] = static_cast<std::uint8_t>((total * averageMultiplier) >> averageShift);
    }
}

DISCFORGE_VECTOR_CLONES void CopyWithoutX(
    const std::uint8_t* __restrict source, std::uint8_t* __restrict target, int pixels)
{
    const std::uint32_t mask = ColourMask();
    for (std::ptrdiff_t p = 0; p < pixels; ++p) {
        std::uint32_t pixel;
        std::memcpy(&pixel, source + 4 * p, 4);
        pixel &= mask;
        std::memcpy(target + 4 * p, &pixel, 4);
    }
}

DISCFORGE_VECTOR_CLONES void ClearX(std::uint8_t* row, int pixels)
{
    const std::uint32_t mask = ColourMask();
    for (std::ptrdiff_t p = 0; p < pixels; ++p) {
        std::uint32_t pixel;
        std::memcpy(&pixel, row + 4 * p, 4);
        pixel &= mask;
        std::memcpy(row + 4 * p, &pixel, 4);
    }
}

} // namespace discforge::kernels
