// Rescale's scaling of a 32-bit picture, as ResampleRow defines it: each row is
// resampled to the new width, then the rows are resampled to the new height
// (linear between rows when enlarging, area average when reducing). The steps
// are worked out once for a pair of sizes and kept, with the row buffers, for
// the next picture of the same sizes: a video's frames reuse them all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "picture/Resampler.h"
#include "ports/PictureBands.h"

namespace discforge {

// Rows of 32-bit pixels: memory row r at first + r x step (a negative step walks
// a surface stored top row first from its bottom row upward).
struct SourceRows {
    const std::uint8_t* first = nullptr;
    std::ptrdiff_t step = 0;
    const std::uint8_t* Row(int r) const { return first + r * step; }
};

struct TargetRows {
    std::uint8_t* first = nullptr;
    std::ptrdiff_t step = 0;
    std::uint8_t* Row(int r) const { return first + r * step; }
};

class Rescaler {
public:
    void Prepare(int width, int height, int newWidth, int newHeight);
    // Writes the newHeight rows of 4 x newWidth bytes from the height rows of
    // 4 x width bytes. X is 0 in every written pixel, except that rows copied
    // whole (same width and height) keep it unless `maskX` is set. With a size
    // of 0 nothing is written. False, with some rows written, when `*stop` is
    // set between rows (a null `stop` never stops).
    bool Scale(SourceRows source, TargetRows target, bool maskX, const bool* stop);
    // The same from rows made a strip at a time, for a picture of even height
    // reduced in height (Reduces), which makes each of its rows once.
    bool ScaleBands(const PictureBands& bands, TargetRows target, const bool* stop);

private:
    // Whether the prepared sizes reduce the height, so that ScaleBands serves.
    bool Reduces() const { return newWidth_ > 0 && height_ > newHeight_ && newHeight_ > 0; }
    // Output row y of an enlargement: between the two current rows at t / newHeight.
    struct RowBlend {
        ExactScale scale;
        std::uint16_t multiplier = 0;
        bool lanes16 = false;
        bool first = false; // t = 0: the first of the two rows as it is
        bool advance = false; // the next output row lies between the next two rows
    };
    // Source row r of a reduction: whether it ends an output row, with its share
    // of that row and the rest it carries into the next.
    struct RowShare {
        ExactScale share;
        ExactScale rest;
        std::uint16_t shareMultiplier = 0;
        std::uint16_t restMultiplier = 0;
        bool ends = false;
        bool whole = false; // the row lies wholly in the output row it ends
    };

    void Prefetch(SourceRows source, int r) const;
    // Resamples source rows from r to the new width into `into`: a strip of
    // ReduceStrips::rows rows where the plan takes strips and that many remain
    // before row `end`, else row r alone. Returns how many rows were written.
    int ResampleRows(SourceRows source, int r, int end, std::uint8_t* const into[ReduceStrips::rows], bool maskX);
    void PrepareEnlarge();
    const std::uint8_t* ResampledRow(SourceRows source, int r);
    void PrepareReduce();
    bool Enlarge(SourceRows source, TargetRows target, const bool* stop);
    // From `bands` where given, else from `source`.
    bool Reduce(SourceRows source, const PictureBands* bands, TargetRows target, const bool* stop);
    // Source rows r .. r + ReduceStrips::rows - 1 resampled into `strip` from the
    // columns `bands` make, and summed; false where they make none for them.
    bool ReduceFromColumns(
        const PictureBands& bands, int r, std::uint8_t* const strip[ReduceStrips::rows], TargetRows target, int& o);
    // Adds resampled source row r to the sums, or ends output row `o` with it.
    void Accumulate(const std::uint8_t* row, int r, TargetRows target, int& o);

    int width_ = -1;
    int height_ = -1;
    int newWidth_ = -1;
    int newHeight_ = -1;
    HorizontalPlan plan_;
    std::vector<RowBlend> blends_;
    std::vector<RowShare> shares_;
    ExactScale average_;
    std::uint16_t averageHigh16_ = 0;
    std::uint16_t averageLow16_ = 0; // 0 where averageHigh16_ alone is exact
    bool lanes16_ = false;
    // Enlarging: source rows first .. first + count - 1 resampled to the new width.
    struct ResampledRows {
        int first = 0;
        int count = 0;
        std::vector<std::uint8_t> pixels;
        bool Holds(int r) const { return r >= first && r < first + count; }
    };
    ResampledRows resampled_[2];
    std::vector<std::uint8_t> strip_; // rows resampled to the new width, before their sums
    std::vector<std::uint8_t> band_; // rows made by ScaleBands' bands, before their resampling
    std::vector<std::uint16_t> sums16_;
    std::vector<std::uint32_t> sums32_;
};

} // namespace discforge
