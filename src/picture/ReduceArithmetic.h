// What the picture kernels share for AVX2: the check for it, unaligned loads and
// stores, and the exact 16-bit arithmetic of the area reductions. A fraction of
// a byte p, floor(p x f), takes the multiplier ceil(f x 2^24) split into a high
// part below 2^8 (times p stays below 2^16) and a low part taken by a 16 x 16
// high multiplication; an average of a 16-bit total, floor(total x m / n), takes
// ceil(m x 2^32 / n) split the same way, its carry added back by a compare.
#pragma once

#include <cstdint>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define DISCFORGE_AVX2 1
#endif

namespace discforge::reduce {

constexpr int shareBits = 24;

// ceil(numerator x 2^bits / divisor), split into its high and low 16 bits.
inline void SplitMultiplier(
    std::uint64_t numerator, std::uint64_t divisor, int bits, std::uint16_t& high, std::uint16_t& low)
{
    const std::uint64_t scaled = numerator << bits;
    const std::uint64_t multiplier = scaled / divisor + (scaled % divisor != 0 ? 1 : 0);
    high = static_cast<std::uint16_t>(multiplier >> 16);
    low = static_cast<std::uint16_t>(multiplier & 0xFFFF);
}

#if DISCFORGE_AVX2

inline bool HasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

__attribute__((target("avx2"))) inline __m256i Load(const void* at)
{
    return _mm256_loadu_si256(static_cast<const __m256i*>(at));
}

__attribute__((target("avx2"))) inline void Store(void* at, __m256i value)
{
    _mm256_storeu_si256(static_cast<__m256i*>(at), value);
}

// floor(v x (high x 2^16 + low) / 2^24) for 16-bit v below 256.
__attribute__((target("avx2"))) inline __m256i Fraction(__m256i v, __m256i high, __m256i low)
{
    return _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(v, high), _mm256_mulhi_epu16(v, low)), 8);
}

// floor(v x (high x 2^16 + low) / 2^32): the high product plus the carry out of
// its low half and the low product's high half.
__attribute__((target("avx2"))) inline __m256i SplitAverage(__m256i v, __m256i high, __m256i low)
{
    const __m256i upper = _mm256_mulhi_epu16(v, high);
    const __m256i lower = _mm256_mullo_epi16(v, high);
    const __m256i added = _mm256_mulhi_epu16(v, low);
    // lower + added > 0xFFFF exactly when lower > ~added, compared without sign.
    const __m256i carry = _mm256_cmpgt_epi16(_mm256_xor_si256(lower, _mm256_set1_epi16(static_cast<short>(0x8000))),
        _mm256_xor_si256(added, _mm256_set1_epi16(0x7FFF)));
    return _mm256_sub_epi16(upper, carry);
}

// The averages of the 16-bit totals in `low` and `high`, packed back into bytes:
// by the one 16-bit multiplier where it is exact, else by the split one.
__attribute__((target("avx2"))) inline __m256i AverageTotals(
    __m256i low, __m256i high, bool average16, __m256i averageHigh, __m256i averageLow)
{
    if (average16) {
        return _mm256_packus_epi16(_mm256_mulhi_epu16(low, averageHigh), _mm256_mulhi_epu16(high, averageHigh));
    }
    return _mm256_packus_epi16(SplitAverage(low, averageHigh, averageLow), SplitAverage(high, averageHigh, averageLow));
}

#else

inline bool HasAvx2() { return false; }

#endif

} // namespace discforge::reduce
