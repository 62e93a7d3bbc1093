// How a stored picture is turned to stand as players show it: the quarter turns
// and mirroring of the container's display matrix (phones store their pictures
// sideways and say so in the MP4 track header). Other angles are not turned.
#pragma once

#include <cstdint>

extern "C" {
#include <libavformat/avformat.h>
}

namespace discforge {

// Where a stored pixel (x, y) stands: x' = xFromX x + xFromY y, y' = yFromX x + yFromY y,
// moved so that the picture starts at (0, 0). Each factor is -1, 0 or 1.
struct PictureTurn {
    int xFromX = 1;
    int xFromY = 0;
    int yFromX = 0;
    int yFromY = 1;

    bool Identity() const { return xFromX == 1 && xFromY == 0 && yFromX == 0 && yFromY == 1; }
    // A quarter turn: the upright picture is as wide as the stored one is high.
    bool SwapsSides() const { return xFromX == 0; }
};

// The turn of a display matrix of nine 32-bit entries (16.16 for the first two
// columns); no turn for an angle other than a multiple of 90 degrees.
PictureTurn TurnOfDisplayMatrix(const std::int32_t* matrix);
// The turn the stream's display matrix asks for; no turn without one.
PictureTurn TurnOfStream(const AVStream& stream);

// Writes the stored picture of width x height 4-byte pixels, rows `fromPitch` bytes
// apart, turned into rows `toPitch` bytes apart (negative for bottom-up storage).
void TurnPixels(const PictureTurn& turn, const std::uint8_t* from, int fromPitch, int width, int height,
    std::uint8_t* to, int toPitch);

} // namespace discforge
