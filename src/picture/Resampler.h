// The arithmetic of ResampleRow and Rescale, done fast without changing a result.
//
// Every division of the resampler has the form floor(a x numerator / divisor)
// with a bounded a >= 0 and numerator and divisor fixed for a whole row or
// column, so each is done as a multiplication and a shift: in 16-bit lanes where
// a 16-bit multiplier is exact for every a (Multiplier16), else in 32-bit lanes
// or 64 bits (ExactScale). The column steps of a row are worked out once
// (HorizontalPlan) and the byte loops live in ResampleKernels.
#pragma once

#include <cstdint>
#include <vector>

#include "picture/ReduceStrips.h"
#include "picture/ReduceWindows.h"

namespace discforge {

// floor(a x numerator / divisor) for every 0 <= a <= maxA.
//
// With 2^shift >= maxA x divisor and multiplier = ceil(numerator x 2^shift /
// divisor), multiplier x divisor = numerator x 2^shift + e with 0 <= e < divisor,
// so a x multiplier / 2^shift = a x numerator / divisor + a x e / (divisor x 2^shift).
// The second term is below 1 / divisor, and the fraction of the first is at most
// (divisor - 1) / divisor: both floors agree. Where the product would not fit in
// 64 bits the scale divides instead.
class ExactScale {
public:
    ExactScale() = default;
    ExactScale(std::uint64_t numerator, std::uint64_t divisor, std::uint64_t maxA);

    std::uint64_t Apply(std::uint64_t a) const
    {
        return multiplies_ ? (a * multiplier_) >> shift_
                           : static_cast<std::uint64_t>(static_cast<unsigned __int128>(a) * numerator_ / divisor_);
    }
    // True when every product stays below 2^32, so 32-bit lanes give the result.
    bool Fits32() const { return fits32_; }
    std::uint32_t Multiplier32() const { return static_cast<std::uint32_t>(multiplier_); }
    int Shift() const { return shift_; }

private:
    std::uint64_t numerator_ = 0;
    std::uint64_t divisor_ = 1;
    std::uint64_t multiplier_ = 0;
    int shift_ = 0;
    bool multiplies_ = true;
    bool fits32_ = true;
};

// Finds M < 2^16 with (a x M) >> 16 = floor(a x numerator / divisor) for every
// 0 <= a <= maxA (at most 65535). The fraction is reduced first; M is then
// ceil(numerator x 2^16 / divisor), exact by the argument of ExactScale when
// maxA x e < 2^16, and otherwise tried on every a. False when no M serves.
bool Multiplier16(std::uint64_t numerator, std::uint64_t divisor, std::uint32_t maxA, std::uint16_t& multiplier);

// The column steps of turning n 32-bit pixels into m, as ResampleRow defines them.
class HorizontalPlan {
public:
    void Prepare(int n, int m);
    // Writes m pixels from the n pixels of `source`. X of every pixel is 0, except
    // that n = m copies the pixels whole unless `maskX` is set.
    void Apply(const std::uint8_t* source, std::uint8_t* destination, bool maskX = false);
    // Whether ApplyStrip serves: reductions where the processor has AVX2.
    bool TakesStrips() const { return takesStrips_; }
    // Apply on ReduceStrips::rows rows at once, where TakesStrips.
    void ApplyStrip(const std::uint8_t* const sources[], std::uint8_t* const destinations[])
    {
        strips_.Apply(sources, destinations);
    }
    // ApplyStrip on rows given as columns, made at StripColumns().
    std::uint8_t* StripColumns() { return strips_.Columns(); }
    void ApplyStripColumns(std::uint8_t* const destinations[]) { strips_.ApplyToColumns(destinations); }

private:
    enum class Lanes { none, bits16, bits32, windows };

    void PrepareEnlarge();
    void PrepareReduce();
    void PrepareReduceLanes16(const std::vector<std::int32_t>& remainders);
    void PrepareReduceBlocks();
    void PrepareReduceLanes32();
    void PrepareEnlargeBlocks();
    // Gathers the pixel pairs of outputs first .. m - 1.
    void GatherPairs(const std::uint8_t* source, int first);
    void Enlarge(const std::uint8_t* source, std::uint8_t* destination);
    void Reduce(const std::uint8_t* source, std::uint8_t* destination);

    int n_ = 0;
    int m_ = 0;
    Lanes lanes_ = Lanes::none;
    // Enlarging: output k lies between pixels left[k] and right[k], at t[k] / m.
    std::vector<std::int32_t> left_;
    std::vector<std::int32_t> right_;
    std::vector<ExactScale> fraction_;
    // In lanes: the multiplier of each byte of the output (0 for X), and the two
    // pixels of every output gathered side by side (reducing gathers the last
    // pixels of this output and of the one before).
    int laneShift_ = 0;
    std::vector<std::uint16_t> laneMultipliers16_;
    std::vector<std::uint32_t> laneMultipliers32_;
    std::vector<std::uint8_t> gatheredLeft_;
    std::vector<std::uint8_t> gatheredRight_;
    // In 16-bit lanes: the blocks of 8 outputs that kernels::EnlargeBlocks or
    // kernels::ReduceBlocks make, with their pixel indices and multipliers; the
    // outputs after them are gathered here.
    int blocks_ = 0;
    int wholeSlots_ = 0;
    std::vector<std::int32_t> blockBase_;
    std::vector<std::int32_t> blockIndex_;
    std::vector<std::uint16_t> blockMultipliers_;
    // Reducing: output k sums the rest of the pixel that ended output k - 1, the
    // whole pixels firstWhole[k] .. last[k] - 1, and the share of pixel last[k].
    std::vector<std::int32_t> firstWhole_;
    std::vector<std::int32_t> last_;
    std::vector<ExactScale> share_;
    std::vector<ExactScale> rest_;
    ExactScale average_;
    // In lanes: per byte of the output, the multiplier of the share of pixel
    // last[k] and of the rest of pixel last[k - 1], and the sums of the whole
    // pixels. The 16-bit lanes count a pixel that lies wholly in its output
    // (share 1) among the whole pixels: wholeEnd[k] is one past the last of them.
    std::vector<std::int32_t> wholeEnd_;
    std::vector<std::uint16_t> shareMultipliers16_;
    std::vector<std::uint16_t> restMultipliers16_;
    std::vector<std::uint16_t> wholeSums16_;
    std::uint16_t averageMultiplier16_ = 0;
    std::vector<std::uint32_t> shareMultipliers32_;
    std::vector<std::uint32_t> restMultipliers32_;
    std::vector<std::uint32_t> wholeSums32_;
    // Reducing by up to about 4 : 1 where the processor has AVX2.
    ReduceWindows windows_;
    // Reducing several rows at once where the processor has AVX2.
    ReduceStrips strips_;
    bool takesStrips_ = false;
};

} // namespace discforge
