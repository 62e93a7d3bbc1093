// The horizontal area average of ResampleRow (the sums of ReduceWindows.h) for
// `rows` rows at once, with AVX2. The rows' pixels are turned into columns, one
// register holding the same pixel of every row, so each output costs the same
// few additions and multiplications whatever the ratio, with no picking of
// pixels out of a window; the outputs are then turned back into rows. A video
// frame reduced to a fraction of its width takes far fewer steps this way than
// row by row.
#pragma once

#include <cstdint>
#include <vector>

#include "ports/PictureBands.h"

namespace discforge {

class ReduceStrips {
public:
    static constexpr int rows = PictureBands::columnRows;

    // False when the reduction is not one this kernel does (no AVX2, sizes of
    // 2^16 and more, or totals that 16 bits cannot hold); Apply is then not called.
    bool Prepare(int n, int m, const std::vector<std::int32_t>& firstWhole, const std::vector<std::int32_t>& last,
        const std::vector<std::int32_t>& remainders);
    // m pixels of each destination row from the n of the source row of the same
    // index; X comes out 0. Reads no byte outside the n pixels of each row.
    void Apply(const std::uint8_t* const sources[rows], std::uint8_t* const destinations[rows]);
    // Where the caller makes the rows' columns itself (PictureBands::MakeColumns):
    // room for them, then Apply on what it made.
    std::uint8_t* Columns() { return columns_.data(); }
    void ApplyToColumns(std::uint8_t* const destinations[rows]);

private:
    // The multipliers of each output's share of its last pixel and of the rest:
    // one 16-bit each where that is exact for every byte, else split in two.
    void PrepareShares(int m, const std::vector<std::int32_t>& remainders);

    int n_ = 0;
    int m_ = 0;
    int mostWhole_ = 0;
    bool average16_ = false;
    bool shares16_ = false;
    std::uint16_t averageHigh_ = 0;
    std::uint16_t averageLow_ = 0;
    std::vector<std::int32_t> wholeCounts_; // per output: whole pixels before its last one
    std::vector<std::int32_t> wholeMasks_; // per output, for each of mostWhole_ pixels: -1 where it counts, else 0
    std::vector<std::int32_t> blockColumns_; // per block of 8 outputs: the source columns its outputs read
    // Per output: share, whole mask, rest, 0 (shares16_); else share high, share
    // low, rest high, rest low; each 16-bit value in both halves.
    std::vector<std::uint32_t> multipliers_;
    std::vector<std::uint8_t> columns_; // the pixel of every row, per source column
};

} // namespace discforge
