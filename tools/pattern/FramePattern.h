// The generated test picture: a band of black and white cells across the top
// that carries the frame number in binary, the number in digits below it, and
// a bar that moves with every frame over colour bars.
//
// The band is a sixth of the picture high and has 24 cells: white, black
// (the two references), the 20 bits of the number with the highest first
// (white = 1), an even-parity cell and a closing black cell. Cells are wide
// enough to survive lossy codecs and scaling down to 352 x 240.
//
// Pictures are blue-green-red rows of 3 or 4 bytes per pixel, top-down or
// bottom-up, as the encoders and the program's bitmaps hold them.
#pragma once

#include <cstdint>

namespace discforge::pattern {

constexpr std::int64_t maxFrameNumber = (1 << 20) - 1;

struct PatternImage {
    std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;         // bytes from one stored row to the next
    int bytesPerPixel = 3;  // 3 (BGR) or 4 (BGRX)
    bool bottomUp = false;  // the first stored row is the picture's bottom row
};

struct ConstPatternImage {
    const std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
    int bytesPerPixel = 3;
    bool bottomUp = false;
};

// Where the generated picture lies inside a larger one (a letterboxed or
// cropped output); the whole image when width or height is 0.
struct PatternRegion {
    int x = 0;
    int y = 0;  // from the top
    int width = 0;
    int height = 0;
};

// Draws the test picture of `frameNumber` (0 to maxFrameNumber) over the whole image.
void DrawFramePattern(const PatternImage& image, std::int64_t frameNumber);

// The frame number read back from the band; -1 when the band cannot be read
// (no contrast between the reference cells, or a parity mismatch).
std::int64_t ReadFrameNumber(const ConstPatternImage& image, PatternRegion region = {});

} // namespace discforge::pattern
