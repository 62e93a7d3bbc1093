// The parts of the Targa reader that the full-size and the preview-size readers
// share. Functions return null on success or the message for the error text.
#pragma once

#include <cstdint>
#include <cstdio>

#include "picture/ReaderState.h"

namespace discforge {

struct TargaInfo {
    int width = 0;
    int height = 0;
    int depth = 0; // 8, 15, 16, 24 or 32
    int imageType = 0; // 1 colour-mapped, 2 true colour, 3 grey, run-length or not
    bool runLength = false;
    bool bottomUp = true;
};

// The recognition test of files without a signature: colour-map type, depth and
// image type fit together, and a colour-mapped file has a map of 1 to 256
// entries starting at index 0.
bool LooksLikeTarga(const TargaHeader& header);

// Reads and checks the header and the image identifier (the file positioned at
// its start), then reads or skips the colour map. 8-bit files get their colour
// table in `table` (256 entries of blue, green, red, 0).
const char* ReadTargaHeader(std::FILE* file, ReaderState& state, TargaInfo& info);
const char* ReadTargaColourMap(std::FILE* file, const ReaderState& state, const TargaInfo& info,
                               std::uint8_t* table);

// Delivers the rows in file order; run-length packets go on across rows.
class TargaRowDecoder {
public:
    TargaRowDecoder(std::FILE* file, const TargaInfo& info);
    // Writes width x bytes-per-pixel bytes; false when the file ends first.
    bool ReadRow(std::uint8_t* row);

private:
    std::FILE* file_;
    int width_;
    int pixelBytes_;
    bool runLength_;
    int repeatCount_ = 0;
    int rawCount_ = 0;
    std::uint8_t value_[4] = {};
};

} // namespace discforge
