#include "picture/ReduceStrips.h"

#include <algorithm>
#include <cstring>

#include "picture/ReduceArithmetic.h"
#include "picture/Resampler.h"

namespace discforge {

namespace {

constexpr int columnBytes = 4 * ReduceStrips::rows;

#if DISCFORGE_AVX2

using reduce::AverageTotals;
using reduce::Fraction;
using reduce::Load;
using reduce::Store;

// Eight registers of eight 32-bit pixels, rows into columns.
__attribute__((target("avx2"))) inline void Transpose(__m256i v[8])
{
    __m256i pairs[8];
    for (int i = 0; i < 8; i += 2) {
        pairs[i] = _mm256_unpacklo_epi32(v[i], v[i + 1]);
        pairs[i + 1] = _mm256_unpackhi_epi32(v[i], v[i + 1]);
    }
    __m256i quads[8];
    for (int i = 0; i < 8; i += 4) {
        quads[i] = _mm256_unpacklo_epi64(pairs[i], pairs[i + 2]);
        quads[i + 1] = _mm256_unpackhi_epi64(pairs[i], pairs[i + 2]);
        quads[i + 2] = _mm256_unpacklo_epi64(pairs[i + 1], pairs[i + 3]);
        quads[i + 3] = _mm256_unpackhi_epi64(pairs[i + 1], pairs[i + 3]);
    }
    for (int i = 0; i < 4; ++i) {
        v[i] = _mm256_permute2x128_si256(quads[i], quads[i + 4], 0x20);
        v[i + 4] = _mm256_permute2x128_si256(quads[i], quads[i + 4], 0x31);
    }
}

// Pixels p .. p + 7 of the 8 rows as 8 columns.
__attribute__((target("avx2"))) inline void ColumnsOf(
    const std::uint8_t* const sources[8], std::ptrdiff_t offset, std::uint8_t* columns)
{
    __m256i v[8];
    for (int i = 0; i < 8; ++i) {
        v[i] = Load(sources[i] + offset);
    }
    Transpose(v);
    for (int i = 0; i < 8; ++i) {
        Store(columns + std::ptrdiff_t{columnBytes} * i, v[i]);
    }
}

// 8 output columns as 8 pixels of each of the 8 rows.
__attribute__((target("avx2"))) inline void RowsOf(
    const std::uint8_t* outputs, std::uint8_t* const destinations[8], std::ptrdiff_t offset)
{
    __m256i v[8];
    for (int i = 0; i < 8; ++i) {
        v[i] = Load(outputs + std::ptrdiff_t{columnBytes} * i);
    }
    Transpose(v);
    for (int i = 0; i < 8; ++i) {
        Store(destinations[i] + offset, v[i]);
    }
}

// Columns p .. p + 7 of the 8 rows, those at n and past it made from a copy
// of the row's end, so that no byte past a row is read.
__attribute__((target("avx2"))) void MakeColumns(
    const std::uint8_t* const sources[8], int n, int p, std::uint8_t* columns)
{
    std::uint8_t* to = columns + std::ptrdiff_t{columnBytes} * p;
    if (p + 8 <= n) {
        ColumnsOf(sources, std::ptrdiff_t{4} * p, to);
        return;
    }
    alignas(32) std::uint8_t padded[8][32] = {};
    const std::uint8_t* copies[8];
    for (int i = 0; i < 8; ++i) {
        std::memcpy(padded[i], sources[i] + std::ptrdiff_t{4} * p, static_cast<std::size_t>(n - p) * 4);
        copies[i] = padded[i];
    }
    ColumnsOf(copies, 0, to);
}

// Outputs k .. k + count - 1 of the 8 rows from their columns in `block`.
__attribute__((target("avx2"))) void PlaceRows(
    const std::uint8_t* block, int k, int count, std::uint8_t* const destinations[8])
{
    if (count == 8) {
        RowsOf(block, destinations, std::ptrdiff_t{4} * k);
        return;
    }
    alignas(32) std::uint8_t padded[8][32];
    std::uint8_t* copies[8];
    for (int i = 0; i < 8; ++i) {
        copies[i] = padded[i];
    }
    RowsOf(block, copies, 0);
    for (int i = 0; i < 8; ++i) {
        std::memcpy(destinations[i] + std::ptrdiff_t{4} * k, padded[i], static_cast<std::size_t>(count) * 4);
    }
}

struct Sums {
    int n;
    int m;
    const std::int32_t* wholeCounts;
    int mostWhole;
    const std::int32_t* wholeMasks;
    const std::uint16_t* multipliers;
    bool shares16;
    bool average16;
    std::uint16_t averageHigh;
    std::uint16_t averageLow;
};

// The share of the last pixel added to the totals, and the rest it leaves for
// the next output. With one 16-bit multiplier for each, a high multiplication
// gives either; the share of a pixel that lies wholly in the output is the
// pixel itself, kept by a mask (its multiplier is 0).
__attribute__((target("avx2"))) inline void ShareAndRest(bool shares16, __m256i& low, __m256i& high, __m256i lastLow,
    __m256i lastHigh, const std::uint16_t* multiplier, __m256i& restLow, __m256i& restHigh)
{
    if (shares16) {
        const __m256i share = _mm256_set1_epi16(static_cast<short>(multiplier[0]));
        const __m256i whole = _mm256_set1_epi16(static_cast<short>(multiplier[1]));
        const __m256i rest = _mm256_set1_epi16(static_cast<short>(multiplier[2]));
        low = _mm256_add_epi16(
            low, _mm256_add_epi16(_mm256_mulhi_epu16(lastLow, share), _mm256_and_si256(lastLow, whole)));
        high = _mm256_add_epi16(
            high, _mm256_add_epi16(_mm256_mulhi_epu16(lastHigh, share), _mm256_and_si256(lastHigh, whole)));
        restLow = _mm256_mulhi_epu16(lastLow, rest);
        restHigh = _mm256_mulhi_epu16(lastHigh, rest);
    } else {
        const __m256i shareHigh = _mm256_set1_epi16(static_cast<short>(multiplier[0]));
        const __m256i shareLow = _mm256_set1_epi16(static_cast<short>(multiplier[1]));
        const __m256i restMultiplierHigh = _mm256_set1_epi16(static_cast<short>(multiplier[2]));
        const __m256i restMultiplierLow = _mm256_set1_epi16(static_cast<short>(multiplier[3]));
        low = _mm256_add_epi16(low, Fraction(lastLow, shareHigh, shareLow));
        high = _mm256_add_epi16(high, Fraction(lastHigh, shareHigh, shareLow));
        restLow = Fraction(lastLow, restMultiplierHigh, restMultiplierLow);
        restHigh = Fraction(lastHigh, restMultiplierHigh, restMultiplierLow);
    }
}

// Every output from the source columns in the order they come (the rest of the
// pixel before, the whole pixels, the share of the last), each block of columns
// made just before it is summed and each block of 8 outputs placed in the rows
// as soon as it is whole, while both are still in the cache.
__attribute__((target("avx2"))) void ReduceStrip(
    const std::uint8_t* const sources[8], const Sums& s, std::uint8_t* columns, std::uint8_t* const destinations[8])
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i colour = _mm256_set1_epi32(0x00FFFFFF);
    const __m256i averageHigh = _mm256_set1_epi16(static_cast<short>(s.averageHigh));
    const __m256i averageLow = _mm256_set1_epi16(static_cast<short>(s.averageLow));
    alignas(32) std::uint8_t block[8 * columnBytes] = {};
    __m256i restLow = zero;
    __m256i restHigh = zero;
    int first = 0; // the output's first whole column
    int made = 0; // columns made so far
    for (int k = 0; k < s.m; ++k) {
        const int needed = std::min(s.n, first + s.mostWhole + 1);
        for (; made < needed; made += 8) {
            MakeColumns(sources, s.n, made, columns);
        }
        const std::uint8_t* column = columns + std::ptrdiff_t{columnBytes} * first;
        __m256i low = restLow;
        __m256i high = restHigh;
        // Always the most whole pixels, those past this output's masked off: how
        // many an output has changes from one to the next in no pattern a branch
        // would learn.
        const int count = s.wholeCounts[k];
        const std::int32_t* masks = s.wholeMasks + std::ptrdiff_t{s.mostWhole} * k;
        for (int w = 0; w < s.mostWhole; ++w) {
            const __m256i counted = _mm256_set1_epi32(masks[w]);
            const __m256i whole = _mm256_and_si256(Load(column + std::ptrdiff_t{columnBytes} * w), counted);
            low = _mm256_add_epi16(low, _mm256_unpacklo_epi8(whole, zero));
            high = _mm256_add_epi16(high, _mm256_unpackhi_epi8(whole, zero));
        }
        const __m256i last = Load(column + std::ptrdiff_t{columnBytes} * count);
        first += count + 1;
        const __m256i lastLow = _mm256_unpacklo_epi8(last, zero);
        const __m256i lastHigh = _mm256_unpackhi_epi8(last, zero);
        ShareAndRest(
            s.shares16, low, high, lastLow, lastHigh, s.multipliers + std::ptrdiff_t{4} * k, restLow, restHigh);
        // X was summed with the colours; it comes out 0 here.
        const __m256i average = AverageTotals(low, high, s.average16, averageHigh, averageLow);
        Store(block + std::ptrdiff_t{columnBytes} * (k % 8), _mm256_and_si256(average, colour));
        if (k % 8 == 7) {
            PlaceRows(block, k - 7, 8, destinations);
        }
    }
    if (s.m % 8 != 0) {
        PlaceRows(block, s.m - s.m % 8, s.m % 8, destinations);
    }
}

#endif

} // namespace

bool ReduceStrips::Prepare(int n, int m, const std::vector<std::int32_t>& firstWhole,
    const std::vector<std::int32_t>& last, const std::vector<std::int32_t>& remainders)
{
    if (!reduce::HasAvx2() || m <= 0 || n <= m || n >= 0x10000) {
        return false;
    }
    int mostWhole = 0;
    for (int k = 0; k < m; ++k) {
        mostWhole = std::max(mostWhole, last[k] - firstWhole[k]);
    }
    // A total holds the rest of one pixel, the whole pixels and the share of one more.
    const auto largestTotal = static_cast<std::uint32_t>(255 * (mostWhole + 2));
    if (largestTotal > 0xFFFF) {
        return false;
    }
    n_ = n;
    m_ = m;
    mostWhole_ = mostWhole;
    wholeCounts_.resize(m);
    wholeMasks_.resize(static_cast<std::size_t>(m) * static_cast<std::size_t>(mostWhole));
    for (int k = 0; k < m; ++k) {
        wholeCounts_[k] = last[k] - firstWhole[k];
        for (int w = 0; w < mostWhole; ++w) {
            wholeMasks_[static_cast<std::size_t>(k) * mostWhole + w] = w < wholeCounts_[k] ? -1 : 0;
        }
    }
    PrepareShares(m, remainders);
    average16_ = Multiplier16(static_cast<std::uint64_t>(m), static_cast<std::uint64_t>(n), largestTotal, averageHigh_);
    if (!average16_) {
        reduce::SplitMultiplier(
            static_cast<std::uint64_t>(m), static_cast<std::uint64_t>(n), 32, averageHigh_, averageLow_);
    }
    // Columns are made 8 at a time, and the masked reads of the last output may
    // pass the last column.
    columns_.resize(static_cast<std::size_t>(n + 8 + mostWhole) * columnBytes);
    return true;
}

void ReduceStrips::PrepareShares(int m, const std::vector<std::int32_t>& remainders)
{
    multipliers_.assign(static_cast<std::size_t>(m) * 4, 0);
    shares16_ = true;
    for (int k = 0; k < m && shares16_; ++k) {
        const std::int32_t t = remainders[k];
        std::uint16_t* multiplier = multipliers_.data() + std::ptrdiff_t{4} * k;
        multiplier[1] = t == 0 ? 0xFFFF : 0;
        shares16_ = (t == 0 || Multiplier16(static_cast<std::uint64_t>(m - t), m, 255, multiplier[0]))
            && Multiplier16(static_cast<std::uint64_t>(t), m, 255, multiplier[2]);
    }
    if (shares16_) {
        return;
    }
    for (int k = 0; k < m; ++k) {
        std::uint16_t* multiplier = multipliers_.data() + std::ptrdiff_t{4} * k;
        reduce::SplitMultiplier(static_cast<std::uint64_t>(m - remainders[k]), static_cast<std::uint64_t>(m),
            reduce::shareBits, multiplier[0], multiplier[1]);
        reduce::SplitMultiplier(static_cast<std::uint64_t>(remainders[k]), static_cast<std::uint64_t>(m),
            reduce::shareBits, multiplier[2], multiplier[3]);
    }
}

void ReduceStrips::Apply(
    [[maybe_unused]] const std::uint8_t* const sources[rows], [[maybe_unused]] std::uint8_t* const destinations[rows])
{
#if DISCFORGE_AVX2
    const Sums sums{n_, m_, wholeCounts_.data(), mostWhole_, wholeMasks_.data(), multipliers_.data(), shares16_,
        average16_, averageHigh_, averageLow_};
    ReduceStrip(sources, sums, columns_.data(), destinations);
#endif
}

} // namespace discforge
