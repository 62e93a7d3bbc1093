#include "picture/ReduceWindows.h"

#include <algorithm>
#include <cstring>

#include "picture/ReduceArithmetic.h"
#include "picture/ResampleKernels.h"
#include "picture/Resampler.h"

namespace discforge {

namespace {

using reduce::HasAvx2;
using reduce::SplitMultiplier;

constexpr int mostRegisters = 4;

// Blue, green and red of output k take the multiplier; X takes 0.
void SetColourLanes(std::vector<std::uint16_t>& lanes, int k, std::uint16_t multiplier)
{
    lanes[4 * k] = lanes[4 * k + 1] = lanes[4 * k + 2] = multiplier;
    lanes[4 * k + 3] = 0;
}

#if DISCFORGE_AVX2

using reduce::AverageTotals;
using reduce::Fraction;
using reduce::Load;

// 8 pixels of the window by their indices, X cleared; index -1 gives 0.
template <int Registers> __attribute__((target("avx2"))) inline __m256i Pick(const __m256i* window, __m256i index)
{
    __m256i picked = _mm256_permutevar8x32_epi32(window[0], index);
    for (int r = 1; r < Registers; ++r) {
        const __m256i beyond = _mm256_cmpgt_epi32(index, _mm256_set1_epi32(8 * r - 1));
        picked = _mm256_blendv_epi8(picked, _mm256_permutevar8x32_epi32(window[r], index), beyond);
    }
    const __m256i present = _mm256_cmpgt_epi32(index, _mm256_set1_epi32(-1));
    return _mm256_and_si256(picked, _mm256_and_si256(present, _mm256_set1_epi32(0x00FFFFFF)));
}

struct Tables {
    const std::int32_t* base;
    const std::int32_t* index;
    const std::uint16_t* multipliers;
    int blocks;
    int slots;
    bool average16;
    std::uint16_t averageHigh;
    std::uint16_t averageLow;
};

template <int Registers>
__attribute__((target("avx2"))) void ApplyAvx2(
    const std::uint8_t* source, int n, const Tables& t, std::uint8_t* destination, int m)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i onward = _mm256_setr_epi32(7, 0, 1, 2, 3, 4, 5, 6);
    const __m256i averageHigh = _mm256_set1_epi16(static_cast<short>(t.averageHigh));
    const __m256i averageLow = _mm256_set1_epi16(static_cast<short>(t.averageLow));
    alignas(32) std::uint8_t padded[32 * Registers];
    __m256i lastBefore = zero; // the last pixels of the block before, moved on by one
    for (int j = 0; j < t.blocks; ++j) {
        const int base = t.base[j];
        const std::uint8_t* from = source + std::ptrdiff_t{4} * base;
        if (base + 8 * Registers > n) {
            // The window would reach past the row: its pixels are copied, the rest are 0.
            std::memset(padded, 0, sizeof padded);
            std::memcpy(padded, from, static_cast<std::size_t>(n - base) * 4);
            from = padded;
        }
        __m256i window[Registers];
        for (int r = 0; r < Registers; ++r) {
            window[r] = Load(from + 32 * r);
        }
        const std::int32_t* index = t.index + std::ptrdiff_t{8} * t.slots * j;
        const std::uint16_t* m16 = t.multipliers + std::ptrdiff_t{128} * j;
        const __m256i last = Pick<Registers>(window, Load(index));
        const __m256i movedOn = _mm256_permutevar8x32_epi32(last, onward);
        const __m256i previous = _mm256_blend_epi32(movedOn, lastBefore, 0x01);
        lastBefore = movedOn;
        __m256i low = _mm256_add_epi16(Fraction(_mm256_unpacklo_epi8(last, zero), Load(m16), Load(m16 + 32)),
            Fraction(_mm256_unpacklo_epi8(previous, zero), Load(m16 + 64), Load(m16 + 96)));
        __m256i high = _mm256_add_epi16(Fraction(_mm256_unpackhi_epi8(last, zero), Load(m16 + 16), Load(m16 + 48)),
            Fraction(_mm256_unpackhi_epi8(previous, zero), Load(m16 + 80), Load(m16 + 112)));
        for (int slot = 1; slot < t.slots; ++slot) {
            const __m256i whole = Pick<Registers>(window, Load(index + 8 * slot));
            low = _mm256_add_epi16(low, _mm256_unpacklo_epi8(whole, zero));
            high = _mm256_add_epi16(high, _mm256_unpackhi_epi8(whole, zero));
        }
        const __m256i result = AverageTotals(low, high, t.average16, averageHigh, averageLow);
        std::uint8_t* out = destination + std::ptrdiff_t{32} * j;
        if (8 * (j + 1) <= m) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), result);
        } else {
            alignas(32) std::uint8_t partial[32];
            _mm256_store_si256(reinterpret_cast<__m256i*>(partial), result);
            std::memcpy(out, partial, static_cast<std::size_t>(m - 8 * j) * 4);
        }
    }
}

// Exactly half the width: every output is the truncated mean of a pixel pair,
// (a + b) >> 1, which a byte gets as (a & b) + ((a ^ b) >> 1).
__attribute__((target("avx2"))) void HalveAvx2(const std::uint8_t* source, std::uint8_t* destination, int m)
{
    const __m256i pairs = _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7);
    const __m256i low7 = _mm256_set1_epi8(0x7F);
    const __m256i colour = _mm256_set1_epi32(0x00FFFFFF);
    int k = 0;
    for (; k + 8 <= m; k += 8) {
        const __m256i first = _mm256_permutevar8x32_epi32(Load(source + 8 * k), pairs);
        const __m256i second = _mm256_permutevar8x32_epi32(Load(source + 8 * k + 32), pairs);
        const __m256i even = _mm256_permute2x128_si256(first, second, 0x20);
        const __m256i odd = _mm256_permute2x128_si256(first, second, 0x31);
        const __m256i half = _mm256_and_si256(_mm256_srli_epi16(_mm256_xor_si256(even, odd), 1), low7);
        const __m256i mean = _mm256_add_epi8(_mm256_and_si256(even, odd), half);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(destination + 4 * k), _mm256_and_si256(mean, colour));
    }
    for (; k < m; ++k) {
        for (int c = 0; c < 3; ++c) {
            destination[4 * k + c] = static_cast<std::uint8_t>((source[8 * k + c] + source[8 * k + 4 + c]) >> 1);
        }
        destination[4 * k + 3] = 0;
    }
}

#endif

} // namespace

bool ReduceWindows::Prepare(int n, int m, const std::vector<std::int32_t>& firstWhole,
    const std::vector<std::int32_t>& last, const std::vector<std::int32_t>& remainders)
{
    blocks_ = 0;
    if (!HasAvx2() || m <= 0 || n <= m || n >= 0x10000) {
        return false;
    }
    n_ = n;
    m_ = m;
    halves_ = n == 2 * m;
    if (halves_) {
        blocks_ = (m + 7) / 8;
        return true;
    }
    const int blocks = (m + 7) / 8;
    slots_ = 1;
    registers_ = 1;
    for (int j = 0; j < blocks; ++j) {
        const int first = 8 * j;
        const int end = std::min(first + 8, m);
        for (int k = first; k < end; ++k) {
            slots_ = std::max(slots_, 1 + last[k] - firstWhole[k]);
        }
        const int span = last[end - 1] - firstWhole[first] + 1;
        registers_ = std::max(registers_, (span + 7) / 8);
    }
    if (registers_ > mostRegisters) {
        return false;
    }
    base_.resize(blocks);
    index_.assign(static_cast<std::size_t>(blocks) * 8 * slots_, -1);
    for (int k = 0; k < m; ++k) {
        const int j = k / 8;
        base_[j] = firstWhole[8 * j];
        std::int32_t* index = index_.data() + std::ptrdiff_t{8} * slots_ * j + k % 8;
        index[0] = last[k] - base_[j];
        for (int p = firstWhole[k]; p < last[k]; ++p) {
            index[8 * (1 + p - firstWhole[k])] = p - base_[j];
        }
    }
    const std::size_t lanes = static_cast<std::size_t>(blocks) * 32;
    std::vector<std::uint16_t> shareHigh(lanes, 0), shareLow(lanes, 0), restHigh(lanes, 0), restLow(lanes, 0);
    for (int k = 0; k < m; ++k) {
        std::uint16_t high = 0;
        std::uint16_t low = 0;
        SplitMultiplier(
            static_cast<std::uint64_t>(m - remainders[k]), static_cast<std::uint64_t>(m), reduce::shareBits, high, low);
        SetColourLanes(shareHigh, k, high);
        SetColourLanes(shareLow, k, low);
        if (k + 1 < m) {
            SplitMultiplier(
                static_cast<std::uint64_t>(remainders[k]), static_cast<std::uint64_t>(m), reduce::shareBits, high, low);
            SetColourLanes(restHigh, k + 1, high);
            SetColourLanes(restLow, k + 1, low);
        }
    }
    multipliers_.resize(static_cast<std::size_t>(blocks) * 128);
    std::vector<std::uint16_t> arranged(lanes);
    const std::vector<std::uint16_t>* parts[4] = {&shareHigh, &shareLow, &restHigh, &restLow};
    for (int part = 0; part < 4; ++part) {
        kernels::ArrangeBlockMultipliers(parts[part]->data(), blocks, arranged.data());
        for (int j = 0; j < blocks; ++j) {
            std::copy_n(arranged.begin() + std::ptrdiff_t{32} * j, 32,
                multipliers_.begin() + std::ptrdiff_t{128} * j + std::ptrdiff_t{32} * part);
        }
    }
    // A total holds the rest of one pixel, the whole pixels and the share of one more.
    const auto largestTotal = static_cast<std::uint32_t>(255 * (slots_ + 1));
    average16_ = Multiplier16(static_cast<std::uint64_t>(m), static_cast<std::uint64_t>(n), largestTotal, averageHigh_);
    if (!average16_) {
        SplitMultiplier(static_cast<std::uint64_t>(m), static_cast<std::uint64_t>(n), 32, averageHigh_, averageLow_);
    }
    blocks_ = blocks;
    return true;
}

void ReduceWindows::Apply([[maybe_unused]] const std::uint8_t* source, [[maybe_unused]] std::uint8_t* destination) const
{
#if DISCFORGE_AVX2
    if (halves_) {
        HalveAvx2(source, destination, m_);
        return;
    }
    const Tables tables{
        base_.data(), index_.data(), multipliers_.data(), blocks_, slots_, average16_, averageHigh_, averageLow_};
    switch (registers_) {
    case 1:
        ApplyAvx2<1>(source, n_, tables, destination, m_);
        break;
    case 2:
        ApplyAvx2<2>(source, n_, tables, destination, m_);
        break;
    case 3:
        ApplyAvx2<3>(source, n_, tables, destination, m_);
        break;
    default:
        ApplyAvx2<4>(source, n_, tables, destination, m_);
        break;
    }
#endif
}

} // namespace discforge
