// The byte loops of Rescale and ResampleRow. Every fraction arrives as a
// multiplier and a shift that give floor(a x numerator / divisor) exactly for
// the values a can take (see ExactScale and Multiplier16), so the loops are
// plain enough for the compiler to vectorise: the 16-bit forms take 16 or 32
// bytes per step, the 32-bit forms serve the fractions that 16 bits cannot hold.
#pragma once

#include <cstdint>

namespace discforge {

class ExactScale;

namespace kernels {

// --- Blends: every byte of `out` = a + (b - a) x fraction, truncated toward zero.

// One fraction for the whole row: (d x multiplier) >> 16 for a difference d.
void BlendRows16(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* out, int bytes, std::uint16_t multiplier);
// One fraction per byte.
void BlendLanes16(
    const std::uint8_t* a, const std::uint8_t* b, const std::uint16_t* multipliers, std::uint8_t* out, int bytes);
void BlendRows32(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* out, int bytes, const ExactScale& scale);
// Per byte (d x multipliers[i]) >> shift.
void BlendLanes32(const std::uint8_t* a, const std::uint8_t* b, const std::uint32_t* multipliers, int shift,
    std::uint8_t* out, int bytes);

// --- Area averages between rows: sums of whole rows, then the row that ends an
// output row adds its share, gives the output and starts the next sums with its rest.

void AddRow16(const std::uint8_t* row, std::uint16_t* sums, int bytes);
void AddRow32(const std::uint8_t* row, std::uint32_t* sums, int bytes);
// share and rest as 16-bit multipliers; the average as one (averageLow 0) or, where
// no 16-bit multiplier is exact, as ceil(m x 2^32 / n) split into its high and
// low 16 bits.
void FinishSums16(const std::uint8_t* row, std::uint16_t* sums, std::uint8_t* out, int bytes,
    std::uint16_t shareMultiplier, std::uint16_t restMultiplier, std::uint16_t averageHigh, std::uint16_t averageLow);
// The row lies wholly in the output row: no rest is left.
void FinishSumsWhole16(const std::uint8_t* row, std::uint16_t* sums, std::uint8_t* out, int bytes,
    std::uint16_t averageHigh, std::uint16_t averageLow);
void FinishSums32(const std::uint8_t* row, std::uint32_t* sums, std::uint8_t* out, int bytes, const ExactScale& share,
    const ExactScale& rest, const ExactScale& average);

// --- Area averages within a row, from parts gathered per output byte: the rest
// of the pixel before, the sum of the whole pixels and the share of the last pixel.

void AverageLanes16(const std::uint8_t* previous, const std::uint8_t* last, const std::uint16_t* whole,
    const std::uint16_t* restMultipliers, const std::uint16_t* shareMultipliers, std::uint16_t averageMultiplier,
    std::uint8_t* out, int bytes);
void AverageLanes32(const std::uint8_t* previous, const std::uint8_t* last, const std::uint32_t* whole,
    const std::uint32_t* restMultipliers, const std::uint32_t* shareMultipliers, int shift,
    std::uint32_t averageMultiplier, int averageShift, std::uint8_t* out, int bytes);

// --- Horizontal enlargement in blocks of 8 output pixels, done with AVX2 where
// the processor has it. Block j makes outputs 8j .. 8j + 7: output 8j + i blends
// pixel base[j] + index[8j + i] with the pixel after it, by the 16-bit
// multipliers of its bytes, in the order ArrangeBlockMultipliers gives them;
// X comes out 0. Every block reads the 9 pixels from base[j]. Returns how many
// blocks were made: all of them, or none without AVX2.
int EnlargeBlocks(const std::uint8_t* source, const std::int32_t* base, const std::int32_t* index,
    const std::uint16_t* arrangedMultipliers, int blocks, std::uint8_t* out);
// The 32 byte multipliers of each block, rearranged for EnlargeBlocks.
void ArrangeBlockMultipliers(const std::uint16_t* byteMultipliers, int blocks, std::uint16_t* arranged);

// --- Horizontal reduction in blocks of 8 output pixels, done with AVX2 where
// the processor has it. Block j makes outputs 8j .. 8j + 7 from the pixels that
// `indices` names, 8 per group in groups of 1 + wholeSlots per block: the pixel
// whose share ends each output (its rest starts the next output), and up to
// wholeSlots whole pixels (-1: none). `multipliers` holds, per block, the rest
// and the share multipliers of the 32 bytes in the order ArrangeBlockMultipliers
// gives them. X comes out 0. Returns how many blocks were made: all, or none
// without AVX2.
int ReduceBlocks(const std::uint8_t* source, const std::int32_t* indices, int wholeSlots,
    const std::uint16_t* multipliers, std::uint16_t averageMultiplier, int blocks, std::uint8_t* out);

// --- Copies of 32-bit pixels.

void CopyWithoutX(const std::uint8_t* source, std::uint8_t* target, int pixels);
void ClearX(std::uint8_t* row, int pixels);

} // namespace kernels
} // namespace discforge
