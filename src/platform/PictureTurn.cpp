#include "platform/PictureTurn.h"

#include <cstring>

namespace discforge {

namespace {

// -1, 0 or 1 for a 16.16 entry of a quarter turn; 2 for anything else.
int UnitOf(std::int32_t entry)
{
    constexpr std::int32_t one = 1 << 16;
    // A little slack for matrices written from a rounded sine and cosine.
    constexpr std::int32_t slack = one / 64;
    if (entry > -slack && entry < slack) {
        return 0;
    }
    if (entry > one - slack && entry < one + slack) {
        return 1;
    }
    if (entry > -one - slack && entry < -one + slack) {
        return -1;
    }
    return 2;
}

} // namespace

PictureTurn TurnOfDisplayMatrix(const std::int32_t* matrix)
{
    // The matrix maps (x, y) to (a x + c y, b x + d y) with a, b, c, d at 0, 1, 3, 4.
    const PictureTurn turn{UnitOf(matrix[0]), UnitOf(matrix[3]), UnitOf(matrix[1]), UnitOf(matrix[4])};
    const bool straight = turn.xFromX != 0 && turn.yFromY != 0 && turn.xFromY == 0 && turn.yFromX == 0;
    const bool across = turn.xFromX == 0 && turn.yFromY == 0 && turn.xFromY != 0 && turn.yFromX != 0;
    const bool units = turn.xFromX != 2 && turn.xFromY != 2 && turn.yFromX != 2 && turn.yFromY != 2;
    return units && (straight || across) ? turn : PictureTurn{};
}

PictureTurn TurnOfStream(const AVStream& stream)
{
    constexpr std::size_t matrixBytes = 9 * sizeof(std::int32_t);
    std::size_t size = 0;
    const std::uint8_t* data = av_stream_get_side_data(&stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (data == nullptr || size < matrixBytes) {
        return PictureTurn{};
    }
    std::int32_t matrix[9];
    std::memcpy(matrix, data, matrixBytes);
    return TurnOfDisplayMatrix(matrix);
}

void TurnPixels(const PictureTurn& turn, const std::uint8_t* from, int fromPitch, int width, int height,
    std::uint8_t* to, int toPitch)
{
    // The offsets bring the lowest coordinate of each axis to 0.
    const int offsetX = (turn.xFromX < 0 ? width - 1 : 0) + (turn.xFromY < 0 ? height - 1 : 0);
    const int offsetY = (turn.yFromX < 0 ? width - 1 : 0) + (turn.yFromY < 0 ? height - 1 : 0);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = from + static_cast<std::ptrdiff_t>(y) * fromPitch;
        for (int x = 0; x < width; ++x) {
            const int toX = turn.xFromX * x + turn.xFromY * y + offsetX;
            const int toY = turn.yFromX * x + turn.yFromY * y + offsetY;
            std::memcpy(to + static_cast<std::ptrdiff_t>(toY) * toPitch + static_cast<std::ptrdiff_t>(toX) * 4,
                row + static_cast<std::ptrdiff_t>(x) * 4, 4);
        }
    }
}

} // namespace discforge
