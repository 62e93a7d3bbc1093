// Small picture files made by the tests: writers for BMP, PCX, Targa, GIF (with
// a real LZW encoder) and JPEG (through libjpeg's compressor), and a way to load
// bytes through a real file.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "picture/TFullDib.h"

namespace discforge::test {

using Bytes = std::vector<std::uint8_t>;

void PutLe16(Bytes& out, int value);
void PutLe32(Bytes& out, std::uint32_t value);

// BMP: a file header, an information header of headerSize bytes (12, 40 or 64
// here; others for refusals), then masks, palette and pixels as given.
struct BmpRecipe {
    BmpRecipe(int w, int h, int bits = 8, int header = 40, int compressionCode = 0, int colours = 0, int planeCount = 1)
        : width(w)
        , height(h)
        , bitCount(bits)
        , headerSize(header)
        , compression(compressionCode)
        , coloursUsed(colours)
        , planes(planeCount)
    {
    }
    int width;
    int height; // negative: top-down
    int bitCount;
    int headerSize;
    int compression;
    int coloursUsed;
    int planes;
    Bytes masks; // written after the header
    Bytes palette; // as stored (3 or 4 bytes per entry)
    Bytes pixels; // as stored
};
Bytes MakeBmp(const BmpRecipe& recipe);
// Bytes of a stored BMP row.
int StoredStride(int width, int bitCount);

// Writes `bytes` to a fresh file in the test's own folder and returns its path.
std::string WriteTempFile(const std::string& name, const Bytes& bytes);
// Loads `bytes` through a real file named `name`, with the picture's own LoadFile.
bool LoadBytes(TBaseDib& picture, const Bytes& bytes, const std::string& name = "picture");

// When DISCFORGE_PICTURE_SEEDS names a folder, the file is also kept there as a
// seed for the fuzz target of its format.
void KeepAsSeed(const std::string& format, const std::string& name, const Bytes& bytes);

std::vector<std::uint8_t> RandomBytes(std::mt19937& random, std::size_t count, int limit = 256);

// Blue, green, red of pixel x of memory row r, after ConvertDepth(24) of a copy.
struct Rgb {
    std::uint8_t blue, green, red;
    bool operator==(const Rgb&) const = default;
};

// The palette index of pixel (x, memory row r) of a 1-, 4- or 8-bit picture.
int IndexAt(const TBaseDib& picture, int x, int r);
// The colour of pixel (x, memory row r) for any depth, through the colour table.
Rgb ColourAt(const TBaseDib& picture, int x, int r);

// GIF: LZW-compresses `indices` with codes of `initialCodeSize` + 1 bits and up,
// in data blocks of up to 255 bytes, with the terminating zero block.
Bytes GifImageData(const std::vector<std::uint8_t>& indices, int initialCodeSize);

// JPEG: compresses rows of `components` bytes per pixel (1 grey, 3 red-green-blue).
Bytes MakeJpeg(int width, int height, int components, const std::vector<std::uint8_t>& pixels,
               bool progressive, int quality = 90);
// Decodes with libjpeg directly, for comparing: rows top first, red, green, blue.
// `fast`: with the fast transform and plain upsampling that the preview panel uses.
std::vector<std::uint8_t> DecodeJpegPlain(
    const Bytes& jpeg, int& width, int& height, int& components, bool fast = false);

} // namespace discforge::test
