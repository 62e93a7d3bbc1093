// The parts of the BMP reader that the full-size and the preview-size readers
// share: header, palette, channel masks and the run-length decoder. Each returns
// null on success or the message for the error text.
#pragma once

#include <cstdint>
#include <cstdio>

#include "picture/ReaderState.h"
#include "picture/StreamRead.h"

namespace discforge {

enum class BmpCompression { none, runLength, bitFields };

struct BmpInfo {
    int width = 0;
    int height = 0; // always positive
    bool topDown = false;
    int bitCount = 0;
    BmpCompression compression = BmpCompression::none;
};

struct BmpChannel {
    std::uint32_t mask = 0;
    int shift = 0;
    int adjust = 0; // bits to drop (positive) or add (negative) for the target width
};

// Red, green, blue.
struct BmpMasks {
    BmpChannel channels[3];
};

// Reads the file header and the information header (the file positioned at its
// start) and checks them; fills the header copy and palette count of `state`.
const char* ReadBmpHeader(std::FILE* file, ReaderState& state, BmpInfo& info);

// Reads the state's colourMapCount palette entries into `table` (blue, green,
// red, 0 each); entries beyond `tableEntries` are read and dropped.
const char* ReadBmpPalette(std::FILE* file, const ReaderState& state, std::uint8_t* table,
                           int tableEntries);

// Reads (bit-field files) or sets (others) the channel masks of 16- and 32-bit
// files, each channel to be scaled to `channelBits` bits.
const char* ReadBmpMasks(std::FILE* file, const BmpInfo& info, BmpMasks& masks, int channelBits);

// One channel of a pixel: masked, shifted down to bit 0, scaled to the width
// the masks were read for, and limited to `limit`.
std::uint32_t ExtractBmpChannel(std::uint32_t pixel, const BmpChannel& channel, std::uint32_t limit);

// Rewrites a stored 16-bit row as 5-5-5 words, a 32-bit row as blue, green, red, 0.
void ConvertBmpRow16(std::uint8_t* row, int width, const BmpMasks& masks);
void ConvertBmpRow32(std::uint8_t* row, int width, const BmpMasks& masks);

// Decodes 8-bit or 4-bit run-length data into rows 0 upward. `rowsDone` counts
// the rows passed. Returns null at the end-of-picture escape or when every row is
// done, prematureEnd when the file ends first.
const char* DecodeBmpRunLength(std::FILE* file, const BmpInfo& info, RowTarget& target,
                               int& rowsDone);

} // namespace discforge
