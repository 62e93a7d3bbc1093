// The horizontal area average of ResampleRow for reductions up to about 4 : 1,
// done 8 output pixels at a time from a window of at most 32 source pixels held
// in registers (AVX2), with no gathers; exactly half the width in pixel pairs.
//
// Output k sums the rest of the pixel that ended output k - 1, the whole pixels
// firstWhole[k] .. last[k] - 1 and the share of pixel last[k], then averages:
//   rest  = floor(p x t[k-1] / m),  share = floor(p x (m - t[k]) / m),
//   out   = floor(total x m / n).
// Each floor is exact in 16-bit lanes for every byte p and every m below 2^16:
// the fraction's multiplier is ceil(fraction x 2^24), split into a high part
// below 2^8 (times p stays below 2^16) and a low part taken by a 16 x 16 high
// multiplication; the average's ceil(m x 2^32 / n) is split the same way, its
// carry added back by a compare. Where one 16-bit multiplier is exact for the
// average (Multiplier16) it is used alone.
#pragma once

#include <cstdint>
#include <vector>

namespace discforge {

class ReduceWindows {
public:
    // False when the reduction is not one this kernel does (no AVX2, a window of
    // more than 32 pixels, or sizes of 2^16 and more); Apply is then not called.
    bool Prepare(int n, int m, const std::vector<std::int32_t>& firstWhole, const std::vector<std::int32_t>& last,
        const std::vector<std::int32_t>& remainders);
    // m pixels of `destination` from the n of `source`; X comes out 0. Reads no
    // byte outside the n pixels.
    void Apply(const std::uint8_t* source, std::uint8_t* destination) const;

private:
    int n_ = 0;
    int m_ = 0;
    int blocks_ = 0;
    int registers_ = 0; // 8-pixel registers per window
    int slots_ = 0; // the last pixel, then the whole pixels
    bool halves_ = false; // n = 2m: each output the mean of a pair, with nothing to share
    bool average16_ = false;
    std::uint16_t averageHigh_ = 0; // the 16-bit multiplier when average16_
    std::uint16_t averageLow_ = 0;
    std::vector<std::int32_t> base_; // first pixel of each block's window
    std::vector<std::int32_t> index_; // per block and slot 8 indices into the window, -1 for none
    std::vector<std::uint16_t> multipliers_; // per block: share high, share low, rest high, rest low
};

} // namespace discforge
