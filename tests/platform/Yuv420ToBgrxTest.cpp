#include "platform/Yuv420ToBgrx.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace discforge {
namespace {

struct Picture {
    int width;
    int height;
    std::vector<std::uint8_t> luma;
    std::vector<std::uint8_t> cb;
    std::vector<std::uint8_t> cr;

    Picture(int w, int h)
        : width(w)
        , height(h)
        , luma(static_cast<std::size_t>(w) * static_cast<std::size_t>(h))
        , cb(static_cast<std::size_t>(ChromaWidth()) * static_cast<std::size_t>((h + 1) / 2))
        , cr(cb.size())
    {
    }
    int ChromaWidth() const { return (width + 1) / 2; }
    Yuv420Planes Planes() const { return {luma.data(), cb.data(), cr.data(), width, ChromaWidth(), ChromaWidth()}; }
};

// BT.601 from the MPEG range in exact arithmetic, blue, green and red.
std::array<double, 3> ExactBgr(int y, int cb, int cr)
{
    const double luma = (y - 16) * 255.0 / 219.0;
    const double u = (cb - 128) * 255.0 / 224.0;
    const double v = (cr - 128) * 255.0 / 224.0;
    return {luma + 1.772 * u, luma - 0.344136 * u - 0.714136 * v, luma + 1.402 * v};
}

// How far each byte of a picture's pixels lies from the exact colours: the largest
// distance and the mean signed one, over the colours that need no clamping.
struct ColourError {
    double largest = 0;
    double mean = 0;
};

ColourError ErrorAgainstExact(const Picture& picture, const std::vector<std::uint8_t>& bgrx)
{
    ColourError error;
    double sum = 0;
    long count = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const std::size_t chroma = static_cast<std::size_t>(y / 2 * picture.ChromaWidth() + x / 2);
            const std::size_t at
                = static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) + static_cast<std::size_t>(x);
            const auto exact = ExactBgr(picture.luma[at], picture.cb[chroma], picture.cr[chroma]);
            for (int c = 0; c < 3; ++c) {
                if (exact[static_cast<std::size_t>(c)] < 0 || exact[static_cast<std::size_t>(c)] > 255) {
                    continue;
                }
                const double off = bgrx[4 * at + static_cast<std::size_t>(c)] - exact[static_cast<std::size_t>(c)];
                error.largest = std::max(error.largest, std::abs(off));
                sum += off;
                ++count;
            }
        }
    }
    error.mean = count == 0 ? 0 : sum / static_cast<double>(count);
    return error;
}

std::vector<std::uint8_t> OursBgrx(const Picture& picture, std::uint8_t fourth)
{
    const int rowBytes = picture.width * 4;
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(picture.height));
    Yuv420ToBgrx(picture.Planes(), picture.width, picture.height, rows.data(), rowBytes, fourth);
    return rows;
}

// Every luma value meets every chroma pair: 2x2 blocks of four luma values, each
// pair in 64 blocks. 4096 wide takes the wide kernel; 16 wide is done one pixel at a
// time, so the two must agree byte for byte.
Picture EveryCombination(int width)
{
    constexpr int everyCombination = 256 * 256 * 256;
    Picture picture(width, everyCombination / width);
    const int chromaWidth = picture.ChromaWidth();
    for (int cy = 0; cy < picture.height / 2; ++cy) {
        for (int cx = 0; cx < chromaWidth; ++cx) {
            const int block = cy * chromaWidth + cx;
            picture.cb[static_cast<std::size_t>(block)] = static_cast<std::uint8_t>(block & 0xFF);
            picture.cr[static_cast<std::size_t>(block)] = static_cast<std::uint8_t>((block >> 8) & 0xFF);
            for (int corner = 0; corner < 4; ++corner) {
                const int x = 2 * cx + (corner & 1);
                const int y = 2 * cy + (corner >> 1);
                picture.luma[static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width)
                    + static_cast<std::size_t>(x)]
                    = static_cast<std::uint8_t>(4 * (block >> 16) + corner);
            }
        }
    }
    return picture;
}

// The luma, blue and red samples of pixel `at` as one number.
std::size_t SamplesOf(const Picture& picture, std::size_t at)
{
    const auto width = static_cast<std::size_t>(picture.width);
    const std::size_t chroma = at / width / 2 * static_cast<std::size_t>(picture.ChromaWidth()) + at % width / 2;
    return std::size_t{picture.luma[at]} << 16 | std::size_t{picture.cb[chroma]} << 8 | picture.cr[chroma];
}

TEST(Yuv420ToBgrx, EveryColourIsWithinALevelOfTheExactOneAndNoDarker)
{
    for (int width : {4096, 16}) {
        const Picture picture = EveryCombination(width);
        const ColourError error = ErrorAgainstExact(picture, OursBgrx(picture, 255));
        // Half a level for each term rounded apart: green has three.
        EXPECT_LE(error.largest, 1.5) << width << " wide";
        // Truncating each term made the colours a level darker on average.
        EXPECT_NEAR(error.mean, 0.0, 0.02) << width << " wide";
    }
    // Both ways give the same bytes for the same samples: the pictures share their
    // samples row by row only at equal widths, so compare each pixel by its samples.
    const Picture wide = EveryCombination(4096);
    const Picture narrow = EveryCombination(16);
    const std::vector<std::uint8_t> wideBytes = OursBgrx(wide, 255);
    const std::vector<std::uint8_t> narrowBytes = OursBgrx(narrow, 255);
    std::vector<std::uint32_t> byColour(256 * 256 * 256);
    for (std::size_t at = 0; at < wide.luma.size(); ++at) {
        std::memcpy(&byColour[SamplesOf(wide, at)], &wideBytes[4 * at], 4);
    }
    long differing = 0;
    for (std::size_t at = 0; at < narrow.luma.size(); ++at) {
        differing += std::memcmp(&byColour[SamplesOf(narrow, at)], &narrowBytes[4 * at], 4) != 0 ? 1 : 0;
    }
    EXPECT_EQ(differing, 0);
}

// Widths that end in part of a block, odd ones among them, bottom-up rows, a
// zero fourth byte, and an odd height (compared with the rows of one taller).
TEST(Yuv420ToBgrx, KeepsItsColoursAtAnySizeAndRowOrder)
{
    std::mt19937 random(7);
    for (const auto& [width, height] :
        std::vector<std::pair<int, int>>{{1, 2}, {31, 2}, {33, 4}, {95, 6}, {318, 238}, {642, 362}}) {
        Picture picture(width, height);
        for (auto* plane : {&picture.luma, &picture.cb, &picture.cr}) {
            for (std::uint8_t& sample : *plane) {
                sample = static_cast<std::uint8_t>(random());
            }
        }
        const std::vector<std::uint8_t> expected = OursBgrx(picture, 0);
        EXPECT_LE(ErrorAgainstExact(picture, expected).largest, 1.5) << width << "x" << height;
        bool fourthZero = true;
        for (std::size_t i = 3; i < expected.size(); i += 4) {
            fourthZero = fourthZero && expected[i] == 0;
        }
        EXPECT_TRUE(fourthZero) << width << "x" << height;

        const int rowBytes = width * 4;
        std::vector<std::uint8_t> upwards(expected.size());
        std::uint8_t* lastRow = upwards.data() + static_cast<std::ptrdiff_t>(height - 1) * rowBytes;
        Yuv420ToBgrx(picture.Planes(), width, height, lastRow, -rowBytes, 0);
        for (int y = 0; y < height; ++y) {
            EXPECT_EQ(
                std::memcmp(lastRow - static_cast<std::ptrdiff_t>(y) * rowBytes,
                    expected.data() + static_cast<std::ptrdiff_t>(y) * rowBytes, static_cast<std::size_t>(rowBytes)),
                0)
                << width << "x" << height << " upwards, row " << y;
        }

        std::vector<std::uint8_t> shorter(expected.size() - static_cast<std::size_t>(rowBytes));
        Yuv420ToBgrx(picture.Planes(), width, height - 1, shorter.data(), rowBytes, 0);
        EXPECT_TRUE(std::equal(shorter.begin(), shorter.end(), expected.begin())) << width << "x" << height - 1;
    }
}

} // namespace
} // namespace discforge
