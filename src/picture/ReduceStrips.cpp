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

// Four 32-bit pixels of four rows turned into four of each column, in each
// 128-bit half on its own.
__attribute__((target("avx2"))) inline void TransposeHalves(__m256i v[4])
{
    const __m256i pairs0 = _mm256_unpacklo_epi32(v[0], v[1]);
    const __m256i pairs1 = _mm256_unpackhi_epi32(v[0], v[1]);
    const __m256i pairs2 = _mm256_unpacklo_epi32(v[2], v[3]);
    const __m256i pairs3 = _mm256_unpackhi_epi32(v[2], v[3]);
    v[0] = _mm256_unpacklo_epi64(pairs0, pairs2);
    v[1] = _mm256_unpackhi_epi64(pairs0, pairs2);
    v[2] = _mm256_unpacklo_epi64(pairs1, pairs3);
    v[3] = _mm256_unpackhi_epi64(pairs1, pairs3);
}

// Four pixels of row i in the low half and of row i + 4 in the high half: the
// halves are put together as they are loaded, so that turning rows into
// columns needs no shuffle across halves.
__attribute__((target("avx2"))) inline __m256i LoadRowPair(const std::uint8_t* low, const std::uint8_t* high)
{
    return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(low))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(high)), 1);
}

// Pixels p .. p + 7 of the 8 rows as 8 columns.
__attribute__((target("avx2"))) inline void ColumnsOf(
    const std::uint8_t* const sources[8], std::ptrdiff_t offset, std::uint8_t* columns)
{
    for (std::ptrdiff_t quad = 0; quad < 2; ++quad) {
        __m256i v[4];
        for (int i = 0; i < 4; ++i) {
            v[i] = LoadRowPair(sources[i] + offset + 16 * quad, sources[i + 4] + offset + 16 * quad);
        }
        TransposeHalves(v);
        for (int i = 0; i < 4; ++i) {
            Store(columns + std::ptrdiff_t{columnBytes} * (4 * quad + i), v[i]);
        }
    }
}

// 8 output columns as 8 pixels of each of the 8 rows.
__attribute__((target("avx2"))) inline void RowsOf(
    const std::uint8_t* outputs, std::uint8_t* const destinations[8], std::ptrdiff_t offset)
{
    for (std::ptrdiff_t quad = 0; quad < 2; ++quad) {
        __m256i v[4];
        for (int i = 0; i < 4; ++i) {
            v[i] = Load(outputs + std::ptrdiff_t{columnBytes} * (4 * quad + i));
        }
        TransposeHalves(v);
        for (int i = 0; i < 4; ++i) {
            _mm_storeu_si128(
                reinterpret_cast<__m128i*>(destinations[i] + offset + 16 * quad), _mm256_castsi256_si128(v[i]));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(destinations[i + 4] + offset + 16 * quad),
                _mm256_extracti128_si256(v[i], 1));
        }
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
    const std::int32_t* blockColumns;
    const std::uint32_t* multipliers;
    bool shares16;
    bool average16;
    std::uint16_t averageHigh;
    std::uint16_t averageLow;
    bool columnsMade; // the caller made every column
};

// The share of the last pixel added to the totals, and the rest it leaves for
// the next output. With one 16-bit multiplier for each, a high multiplication
// gives either; the share of a pixel that lies wholly in the output is the
// pixel itself, kept by a mask (its multiplier is 0).
template <bool shares16>
__attribute__((target("avx2"))) inline void ShareAndRest(__m256i& low, __m256i& high, __m256i lastLow, __m256i lastHigh,
    const std::uint32_t* multiplier, __m256i& restLow, __m256i& restHigh)
{
    if constexpr (shares16) {
        const __m256i share = _mm256_set1_epi32(static_cast<int>(multiplier[0]));
        const __m256i whole = _mm256_set1_epi32(static_cast<int>(multiplier[1]));
        const __m256i rest = _mm256_set1_epi32(static_cast<int>(multiplier[2]));
        low = _mm256_add_epi16(
            low, _mm256_add_epi16(_mm256_mulhi_epu16(lastLow, share), _mm256_and_si256(lastLow, whole)));
        high = _mm256_add_epi16(
            high, _mm256_add_epi16(_mm256_mulhi_epu16(lastHigh, share), _mm256_and_si256(lastHigh, whole)));
        restLow = _mm256_mulhi_epu16(lastLow, rest);
        restHigh = _mm256_mulhi_epu16(lastHigh, rest);
    } else {
        const __m256i shareHigh = _mm256_set1_epi32(static_cast<int>(multiplier[0]));
        const __m256i shareLow = _mm256_set1_epi32(static_cast<int>(multiplier[1]));
        const __m256i restMultiplierHigh = _mm256_set1_epi32(static_cast<int>(multiplier[2]));
        const __m256i restMultiplierLow = _mm256_set1_epi32(static_cast<int>(multiplier[3]));
        low = _mm256_add_epi16(low, Fraction(lastLow, shareHigh, shareLow));
        high = _mm256_add_epi16(high, Fraction(lastHigh, shareHigh, shareLow));
        restLow = Fraction(lastLow, restMultiplierHigh, restMultiplierLow);
        restHigh = Fraction(lastHigh, restMultiplierHigh, restMultiplierLow);
    }
}

// Every output from the source columns in the order they come (the rest of the
// pixel before, the whole pixels, the share of the last), each block of columns
// made just before it is summed and each block of 8 outputs placed in the rows
// as soon as it is whole, while both are still in the cache. Built for each kind
// of multiplier and, for the common reductions of less than 4 : 1, for their
// most whole pixels, so that the loop over the outputs makes no choice and keeps
// no count of its own.
template <bool shares16, bool average16, int fixedWhole>
__attribute__((target("avx2"))) void ReduceStrip(
    const std::uint8_t* const sources[8], const Sums& s, std::uint8_t* columns, std::uint8_t* const destinations[8])
{
    const int mostWhole = fixedWhole > 0 ? fixedWhole : s.mostWhole;
    const __m256i zero = _mm256_setzero_si256();
    const __m256i colour = _mm256_set1_epi32(0x00FFFFFF);
    const __m256i averageHigh = _mm256_set1_epi16(static_cast<short>(s.averageHigh));
    const __m256i averageLow = _mm256_set1_epi16(static_cast<short>(s.averageLow));
    alignas(32) std::uint8_t block[8 * columnBytes] = {};
    __m256i restLow = zero;
    __m256i restHigh = zero;
    int first = 0; // the output's first whole column
    int made = s.columnsMade ? s.n : 0; // columns made so far
    // A block of 8 outputs at a time, its columns made first: no call is left
    // inside the loop over the outputs, which would put the constants and the
    // rest carried from one output to the next out to memory.
    for (int k = 0; k < s.m; k += 8) {
        const int end = std::min(k + 8, s.m);
        for (; made < s.blockColumns[k / 8]; made += 8) {
            MakeColumns(sources, s.n, made, columns);
        }
        for (int j = k; j < end; ++j) {
            const std::uint8_t* column = columns + std::ptrdiff_t{columnBytes} * first;
            __m256i low = restLow;
            __m256i high = restHigh;
            // Always the most whole pixels, those past this output's masked off: how
            // many an output has changes from one to the next in no pattern a branch
            // would learn.
            const int count = s.wholeCounts[j];
            const std::int32_t* masks = s.wholeMasks + std::ptrdiff_t{mostWhole} * j;
            for (int w = 0; w < mostWhole; ++w) {
                const __m256i counted = _mm256_set1_epi32(masks[w]);
                const __m256i whole = _mm256_and_si256(Load(column + std::ptrdiff_t{columnBytes} * w), counted);
                low = _mm256_add_epi16(low, _mm256_unpacklo_epi8(whole, zero));
                high = _mm256_add_epi16(high, _mm256_unpackhi_epi8(whole, zero));
            }
            const __m256i last = Load(column + std::ptrdiff_t{columnBytes} * count);
            first += count + 1;
            const __m256i lastLow = _mm256_unpacklo_epi8(last, zero);
            const __m256i lastHigh = _mm256_unpackhi_epi8(last, zero);
            ShareAndRest<shares16>(
                low, high, lastLow, lastHigh, s.multipliers + std::ptrdiff_t{4} * j, restLow, restHigh);
            // X was summed with the colours; it comes out 0 here.
            const __m256i average = AverageTotals(low, high, average16, averageHigh, averageLow);
            Store(block + std::ptrdiff_t{columnBytes} * (j - k), _mm256_and_si256(average, colour));
        }
        PlaceRows(block, k, end - k, destinations);
    }
}

using StripKernel = void (*)(const std::uint8_t* const[8], const Sums&, std::uint8_t*, std::uint8_t* const[8]);

template <bool shares16, bool average16> StripKernel KernelForWhole(int mostWhole)
{
    switch (mostWhole) {
    case 1:
        return ReduceStrip<shares16, average16, 1>;
    case 2:
        return ReduceStrip<shares16, average16, 2>;
    case 3:
        return ReduceStrip<shares16, average16, 3>;
    default:
        return ReduceStrip<shares16, average16, 0>;
    }
}

StripKernel KernelFor(const Sums& s)
{
    if (s.shares16) {
        return s.average16 ? KernelForWhole<true, true>(s.mostWhole) : KernelForWhole<true, false>(s.mostWhole);
    }
    return s.average16 ? KernelForWhole<false, true>(s.mostWhole) : KernelForWhole<false, false>(s.mostWhole);
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
    blockColumns_.resize(static_cast<std::size_t>((m + 7) / 8));
    for (int k = 0; k < m; k += 8) {
        const int lastOfBlock = std::min(k + 8, m) - 1;
        blockColumns_[static_cast<std::size_t>(k / 8)] = std::min(n, firstWhole[lastOfBlock] + mostWhole + 1);
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
    std::vector<std::uint16_t> multipliers(static_cast<std::size_t>(m) * 4, 0);
    shares16_ = true;
    for (int k = 0; k < m && shares16_; ++k) {
        const std::int32_t t = remainders[k];
        std::uint16_t* multiplier = multipliers.data() + std::ptrdiff_t{4} * k;
        multiplier[1] = t == 0 ? 0xFFFF : 0;
        shares16_ = (t == 0 || Multiplier16(static_cast<std::uint64_t>(m - t), m, 255, multiplier[0]))
            && Multiplier16(static_cast<std::uint64_t>(t), m, 255, multiplier[2]);
    }
    if (!shares16_) {
        for (int k = 0; k < m; ++k) {
            std::uint16_t* multiplier = multipliers.data() + std::ptrdiff_t{4} * k;
            reduce::SplitMultiplier(static_cast<std::uint64_t>(m - remainders[k]), static_cast<std::uint64_t>(m),
                reduce::shareBits, multiplier[0], multiplier[1]);
            reduce::SplitMultiplier(static_cast<std::uint64_t>(remainders[k]), static_cast<std::uint64_t>(m),
                reduce::shareBits, multiplier[2], multiplier[3]);
        }
    }
    // Each in both halves of 32 bits: a 32-bit broadcast is a plain load, a 16-bit one also shuffles.
    multipliers_.resize(multipliers.size());
    std::transform(multipliers.begin(), multipliers.end(), multipliers_.begin(),
        [](std::uint16_t value) { return std::uint32_t{value} * 0x00010001U; });
}

void ReduceStrips::Apply(
    [[maybe_unused]] const std::uint8_t* const sources[rows], [[maybe_unused]] std::uint8_t* const destinations[rows])
{
#if DISCFORGE_AVX2
    const Sums sums{n_, m_, wholeCounts_.data(), mostWhole_, wholeMasks_.data(), blockColumns_.data(),
        multipliers_.data(), shares16_, average16_, averageHigh_, averageLow_, sources == nullptr};
    KernelFor(sums)(sources, sums, columns_.data(), destinations);
#endif
}

void ReduceStrips::ApplyToColumns(std::uint8_t* const destinations[rows]) { Apply(nullptr, destinations); }

} // namespace discforge
