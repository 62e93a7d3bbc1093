// What the readers learn from a file's headers. It stays with the picture after
// the load and travels with CopyDescription, so a preview can draw a picture that
// another object decoded.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "picture/FormatHeaders.h"

namespace discforge {

// 256 colour entries stored blue, green, red, 0 like a picture's colour table.
using ColourTable = std::array<std::array<std::uint8_t, 4>, 256>;

struct GifReaderState {
    int screenWidth = 0;
    int screenHeight = 0;
    bool hasGlobalTable = false;
    int globalTableSize = 0;
    int backgroundIndex = 0;
    ColourTable globalTable{};
    ColourTable currentTable{};
    int currentTableCount = 0;
    int imageLeft = 0;
    int imageTop = 0;
    int imageWidth = 0;
    int imageHeight = 0;
    bool interlaced = false;
    bool hasLocalTable = false;
    bool transparent = false;
    int transparentIndex = 0;
    int initialCodeSize = 0;
};

struct ReaderState {
    BmpInfoHeader bmpHeader{};
    int colourMapCount = 0;     // palette entries the file announces
    int colourMapEntrySize = 0; // 3 or 4 bytes per BMP palette entry
    PcxHeader pcxHeader{};
    TargaHeader targaHeader{};
    std::string targaImageId;
    GifReaderState gif;
    int jpegColourSpace = 0;
    bool jpegProgressive = false;
};

} // namespace discforge
