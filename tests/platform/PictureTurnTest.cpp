// The turn of a stored picture read from a display matrix, and the pixels turned
// by it: each case checked against the corners a player shows.
#include "platform/PictureTurn.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace discforge {
namespace {

constexpr std::int32_t one = 0x10000;
constexpr std::int32_t w = 0x40000000;

// A 3 x 2 picture whose pixel (x, y) holds 10 y + x in its first byte.
std::vector<std::uint8_t> Stored()
{
    std::vector<std::uint8_t> pixels(3 * 2 * 4, 0);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            pixels[static_cast<std::size_t>((y * 3 + x) * 4)] = static_cast<std::uint8_t>(10 * y + x);
        }
    }
    return pixels;
}

// The first bytes of the turned picture, row by row from the top.
std::vector<int> Turned(const std::int32_t (&matrix)[9], int& width)
{
    const PictureTurn turn = TurnOfDisplayMatrix(matrix);
    width = turn.SwapsSides() ? 2 : 3;
    const int height = turn.SwapsSides() ? 3 : 2;
    const std::vector<std::uint8_t> stored = Stored();
    std::vector<std::uint8_t> to(static_cast<std::size_t>(width * height * 4), 0xEE);
    TurnPixels(turn, stored.data(), 3 * 4, 3, 2, to.data(), width * 4);
    std::vector<int> firsts;
    for (std::size_t i = 0; i < to.size(); i += 4) {
        firsts.push_back(to[i]);
    }
    return firsts;
}

TEST(PictureTurn, QuarterTurnsAndMirrorsStandThePictureAsPlayersShowIt)
{
    int width = 0;
    // No turn.
    EXPECT_EQ(Turned({one, 0, 0, 0, one, 0, 0, 0, w}, width), (std::vector<int>{0, 1, 2, 10, 11, 12}));
    EXPECT_EQ(width, 3);
    // A quarter clockwise, as a phone held upright writes it: the stored top row ends on the right.
    EXPECT_EQ(Turned({0, one, 0, -one, 0, 0, 2 * one, 0, w}, width), (std::vector<int>{10, 0, 11, 1, 12, 2}));
    EXPECT_EQ(width, 2);
    // Half a turn: upside down and back to front.
    EXPECT_EQ(Turned({-one, 0, 0, 0, -one, 0, 3 * one, 2 * one, w}, width), (std::vector<int>{12, 11, 10, 2, 1, 0}));
    // A quarter counter-clockwise: the stored top row ends on the left, read upwards.
    EXPECT_EQ(Turned({0, -one, 0, one, 0, 0, 0, 3 * one, w}, width), (std::vector<int>{2, 12, 1, 11, 0, 10}));
    // Mirrored left to right.
    EXPECT_EQ(Turned({-one, 0, 0, 0, one, 0, 3 * one, 0, w}, width), (std::vector<int>{2, 1, 0, 12, 11, 10}));
}

TEST(PictureTurn, AnglesBetweenQuarterTurnsAndScalingMatricesTurnNothing)
{
    // 45 degrees: cos = sin = 0.7071.
    const std::int32_t diagonal[9] = {46341, 46341, 0, -46341, 46341, 0, 0, 0, w};
    EXPECT_TRUE(TurnOfDisplayMatrix(diagonal).Identity());
    const std::int32_t doubled[9] = {2 * one, 0, 0, 0, 2 * one, 0, 0, 0, w};
    EXPECT_TRUE(TurnOfDisplayMatrix(doubled).Identity());
    const std::int32_t flattened[9] = {0, 0, 0, 0, 0, 0, 0, 0, w};
    EXPECT_TRUE(TurnOfDisplayMatrix(flattened).Identity());
    // A quarter turn from a rounded sine and cosine is still one.
    const std::int32_t rounded[9] = {3, one - 2, 0, -one + 1, -4, 0, 0, 0, w};
    EXPECT_TRUE(TurnOfDisplayMatrix(rounded).SwapsSides());
}

} // namespace
} // namespace discforge
