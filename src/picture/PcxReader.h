// The parts of the PCX reader that the full-size and the preview-size readers
// share. Functions return null on success or the message for the error text.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "picture/ReaderState.h"

namespace discforge {

enum class PcxLayout { packed, fourPlanes, threePlanes };

struct PcxInfo {
    int width = 0;
    int height = 0;
    int depth = 0; // 1, 4, 8 or 24
    int planes = 0;
    int bytesPerLine = 0;
    PcxLayout layout = PcxLayout::packed;
};

// Reads the 128-byte header (the file positioned at its start) and checks it.
const char* ReadPcxHeader(std::FILE* file, ReaderState& state, PcxInfo& info);

// Fills `table` (blue, green, red, 0 entries) for 1-, 4- and 8-bit files; leaves
// the file anywhere.
const char* ReadPcxPalette(std::FILE* file, const ReaderState& state, const PcxInfo& info,
                           std::uint8_t* table);

// Decodes the run-length rows, top row first, from byte 128 on. A run may go on
// into the next row.
class PcxRowDecoder {
public:
    PcxRowDecoder(std::FILE* file, const PcxInfo& info);
    // Seeks to the first row; false when the file cannot get there.
    bool Start();
    // Writes one row in the picture's layout (rowBytes bytes, the rest of a
    // longer file row dropped). False when the data ended before the row did.
    bool ReadRow(std::uint8_t* row, int rowBytes);

private:
    int NextByte();

    std::FILE* file_;
    PcxInfo info_;
    std::vector<std::uint8_t> line_;
    std::uint8_t buffer_[1024] = {};
    int bufferLength_ = 0;
    int bufferPosition_ = 0;
    int runCount_ = 0;
    int runValue_ = 0;
};

} // namespace discforge
