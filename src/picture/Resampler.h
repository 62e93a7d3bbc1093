// The arithmetic of ResampleRow and Rescale, done fast without changing a result.
//
// Every division of the resampler has the form floor(a x numerator / divisor)
// with a bounded a >= 0 and numerator and divisor fixed for a whole row or
// column, so each is done as a multiplication and a shift (ExactScale). The
// column steps of a row are worked out once per Rescale (HorizontalPlan), and the
// loops over the bytes of a row are plain enough for the compiler to vectorise.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

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

// The column steps of turning n 32-bit pixels into m, as ResampleRow defines them.
class HorizontalPlan {
public:
    void Prepare(int n, int m);
    // Writes m pixels from the n pixels of `source`. X of every pixel is 0, except
    // that n = m copies the pixels whole.
    void Apply(const std::uint8_t* source, std::uint8_t* destination);

private:
    void Enlarge(const std::uint8_t* source, std::uint8_t* destination);
    void Reduce(const std::uint8_t* source, std::uint8_t* destination);
    void PrepareReduceLanes();

    int n_ = 0;
    int m_ = 0;
    // Enlarging: output k lies between pixels left[k] and right[k], at t[k] / m.
    std::vector<std::int32_t> left_;
    std::vector<std::int32_t> right_;
    std::vector<ExactScale> fraction_;
    // When every fraction fits 32-bit lanes: its multiplier for each byte of the
    // output (0 for X), and the two pixels of every output gathered side by side
    // (reducing gathers the last pixels of this output and of the one before).
    bool lanes32_ = false;
    int laneShift_ = 0;
    std::vector<std::uint32_t> laneMultipliers_;
    std::vector<std::uint8_t> gatheredLeft_;
    std::vector<std::uint8_t> gatheredRight_;
    // Reducing: output k sums the rest of the pixel that ended output k - 1, the
    // whole pixels firstWhole[k] .. last[k] - 1, and the share of pixel last[k].
    std::vector<std::int32_t> firstWhole_;
    std::vector<std::int32_t> last_;
    std::vector<ExactScale> share_;
    std::vector<ExactScale> rest_;
    ExactScale average_;
    // When all of them fit 32-bit lanes: per byte of the output, the multiplier
    // of the share of pixel last[k] and of the rest of pixel last[k - 1], and
    // the sums of the whole pixels.
    std::vector<std::uint32_t> shareMultipliers_;
    std::vector<std::uint32_t> restMultipliers_;
    std::vector<std::uint32_t> wholeSums_;
};

// Rescale's scaling of a 32-bit picture of width x height into newWidth x
// newHeight. `sourceRow(r)` gives source memory row r, `targetRow(r)` the place
// of output memory row r (4 x newWidth bytes, may lie inside a larger frame).
// `maskX` forces X to 0 even where a row is copied whole. Returns false, with
// some rows written, when `stop` says so between rows.
struct RescaleRows {
    int width = 0;
    int height = 0;
    int newWidth = 0;
    int newHeight = 0;
    bool maskX = false;
    std::function<const std::uint8_t*(int)> sourceRow;
    std::function<std::uint8_t*(int)> targetRow;
    std::function<bool()> stop;
};
bool ScaleRows(const RescaleRows& job);

} // namespace discforge
