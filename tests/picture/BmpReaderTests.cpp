// BMP files of every accepted depth and variant, and the refusals.
#include <gtest/gtest.h>

#include <random>

#include "PictureFiles.h"
#include "picture/PictureMessages.h"
#include "picture/TFullDib.h"

namespace discforge {
namespace {

using test::Bytes;
using test::Rgb;

using test::BmpRecipe;
using test::MakeBmp;
using test::StoredStride;

// Random indices and a random palette; stored rows bottom-up.
struct PalettePicture {
    std::vector<std::vector<int>> indices; // [memory row][x]
    std::vector<Rgb> colours;
};

PalettePicture RandomPalettePicture(std::mt19937& random, int width, int height, int bitCount)
{
    const int entries = 1 << bitCount;
    PalettePicture picture;
    const Bytes colours = test::RandomBytes(random, static_cast<std::size_t>(entries) * 3);
    for (int i = 0; i < entries; ++i) {
        picture.colours.push_back({colours[3 * i], colours[3 * i + 1], colours[3 * i + 2]});
    }
    picture.indices.assign(height, std::vector<int>(width));
    std::uniform_int_distribution<int> index(0, entries - 1);
    for (auto& row : picture.indices) {
        for (auto& i : row) {
            i = index(random);
        }
    }
    return picture;
}

Bytes PackIndices(const std::vector<int>& row, int bitCount, int stride)
{
    Bytes bytes(static_cast<std::size_t>(stride), 0);
    for (std::size_t x = 0; x < row.size(); ++x) {
        const int bit = static_cast<int>(x) * bitCount;
        bytes[bit / 8] |= static_cast<std::uint8_t>(row[x] << (8 - bitCount - bit % 8));
    }
    return bytes;
}

void ExpectPalettePicture(const TFullDib& dib, const PalettePicture& expected)
{
    ASSERT_EQ(dib.Height(), static_cast<int>(expected.indices.size()));
    for (int r = 0; r < dib.Height(); ++r) {
        for (int x = 0; x < dib.Width(); ++x) {
            ASSERT_EQ(test::ColourAt(dib, x, r), expected.colours[expected.indices[r][x]]) << x << "," << r;
        }
    }
}

TEST(BmpReader, PaletteDepthsInBothHeaderForms)
{
    std::mt19937 random(1);
    for (int bitCount : {1, 4, 8}) {
        for (int headerSize : {12, 40, 64}) {
            const int width = 13;
            const int height = 5;
            const PalettePicture picture = RandomPalettePicture(random, width, height, bitCount);
            BmpRecipe recipe{width, height, bitCount, headerSize};
            for (const Rgb& c : picture.colours) {
                recipe.palette.insert(recipe.palette.end(), {c.blue, c.green, c.red});
                if (headerSize != 12) {
                    recipe.palette.push_back(0);
                }
            }
            for (const auto& row : picture.indices) {
                const Bytes packed = PackIndices(row, bitCount, StoredStride(width, bitCount));
                recipe.pixels.insert(recipe.pixels.end(), packed.begin(), packed.end());
            }
            const Bytes file = MakeBmp(recipe);
            test::KeepAsSeed("bmp", "palette" + std::to_string(bitCount) + "-" + std::to_string(headerSize), file);
            TFullDib dib;
            ASSERT_TRUE(test::LoadBytes(dib, file)) << dib.ErrorText();
            EXPECT_EQ(dib.Format(), PictureFormat::bmp);
            EXPECT_EQ(dib.Depth(), bitCount);
            EXPECT_EQ(dib.Width(), width);
            ExpectPalettePicture(dib, picture);
        }
    }
}

TEST(BmpReader, TrueColourDepthsWithDefaultMasks)
{
    std::mt19937 random(2);
    const int width = 7;
    const int height = 3;
    for (int bitCount : {16, 24, 32}) {
        BmpRecipe recipe{width, height, bitCount};
        recipe.pixels = test::RandomBytes(random, static_cast<std::size_t>(StoredStride(width, bitCount)) * height);
        const Bytes file = MakeBmp(recipe);
        test::KeepAsSeed("bmp", "true" + std::to_string(bitCount), file);
        TFullDib dib;
        ASSERT_TRUE(test::LoadBytes(dib, file)) << dib.ErrorText();
        ASSERT_EQ(dib.Depth(), bitCount);
        const int stride = StoredStride(width, bitCount);
        for (int r = 0; r < height; ++r) {
            for (int x = 0; x < width; ++x) {
                const std::uint8_t* p = recipe.pixels.data() + r * stride + x * bitCount / 8;
                Rgb expected{p[0], p[1], p[2]};
                if (bitCount == 16) {
                    const int word = p[0] | p[1] << 8;
                    expected = {static_cast<std::uint8_t>((word & 31) << 3), static_cast<std::uint8_t>(((word >> 5) & 31) << 3),
                                static_cast<std::uint8_t>(((word >> 10) & 31) << 3)};
                }
                ASSERT_EQ(test::ColourAt(dib, x, r), expected) << bitCount << ": " << x << "," << r;
            }
        }
        if (bitCount == 32) {
            EXPECT_EQ(dib.Row(1)[3], 0); // X
        }
    }
}

TEST(BmpReader, BitFieldMasks)
{
    // 16 bits 5-6-5: green loses its lowest bit.
    BmpRecipe recipe{2, 1, 16, 40, 3};
    for (std::uint32_t mask : {0xF800u, 0x07E0u, 0x001Fu}) {
        test::PutLe32(recipe.masks, mask);
    }
    const int word = (21 << 11) | (45 << 5) | 9;
    recipe.pixels = {static_cast<std::uint8_t>(word), static_cast<std::uint8_t>(word >> 8), 0xFF, 0xFF};
    TFullDib dib;
    ASSERT_TRUE(test::LoadBytes(dib, MakeBmp(recipe))) << dib.ErrorText();
    EXPECT_EQ(test::ColourAt(dib, 0, 0), (Rgb{9 << 3, 22 << 3, 21 << 3}));
    EXPECT_EQ(test::ColourAt(dib, 1, 0), (Rgb{31 << 3, 31 << 3, 31 << 3}));

    // 32 bits stored red, green, blue, X.
    BmpRecipe wide{1, 1, 32, 40, 3};
    for (std::uint32_t mask : {0x000000FFu, 0x0000FF00u, 0x00FF0000u}) {
        test::PutLe32(wide.masks, mask);
    }
    wide.pixels = {10, 20, 30, 40};
    const Bytes file = MakeBmp(wide);
    test::KeepAsSeed("bmp", "bitfields32", file);
    ASSERT_TRUE(test::LoadBytes(dib, file)) << dib.ErrorText();
    EXPECT_EQ(test::ColourAt(dib, 0, 0), (Rgb{30, 20, 10}));
    EXPECT_EQ(dib.Row(0)[3], 0);
}

TEST(BmpReader, TopDownRowsAreStoredBottomUp)
{
    BmpRecipe recipe{1, -3, 24};
    recipe.pixels = {1, 1, 1, 0, 2, 2, 2, 0, 3, 3, 3, 0};
    TFullDib dib;
    ASSERT_TRUE(test::LoadBytes(dib, MakeBmp(recipe)));
    EXPECT_EQ(dib.Height(), 3);
    EXPECT_EQ(dib.Row(2)[0], 1);
    EXPECT_EQ(dib.Row(0)[0], 3);
}

// Encodes rows of indices as runs of equal values and literal runs, each row
// closed by an end-of-line, the picture by an end-of-picture.
Bytes EncodeRunLength(const std::vector<std::vector<int>>& rows, int bitCount)
{
    Bytes out;
    for (const auto& row : rows) {
        std::size_t x = 0;
        while (x < row.size()) {
            // 8 bits repeat one value, 4 bits a pair of values.
            const std::size_t step = bitCount == 8 ? 1 : 2;
            std::size_t same = std::min(step, row.size() - x);
            while (x + same < row.size() && same < 254 && row[x + same] == row[x + same - step]) {
                ++same;
            }
            if (same >= 3 || row.size() - x < 3) {
                const int value = bitCount == 8 ? row[x] : (row[x] << 4 | (x + 1 < row.size() ? row[x + 1] : 0));
                out.push_back(static_cast<std::uint8_t>(same));
                out.push_back(static_cast<std::uint8_t>(value));
                x += same;
                continue;
            }
            const std::size_t count = std::min<std::size_t>(row.size() - x, 5);
            out.push_back(0);
            out.push_back(static_cast<std::uint8_t>(count));
            Bytes literal;
            for (std::size_t i = 0; i < count; ++i) {
                if (bitCount == 8) {
                    literal.push_back(static_cast<std::uint8_t>(row[x + i]));
                } else if (i % 2 == 0) {
                    literal.push_back(static_cast<std::uint8_t>(row[x + i] << 4));
                } else {
                    literal.back() |= static_cast<std::uint8_t>(row[x + i]);
                }
            }
            if (literal.size() % 2 == 1) {
                literal.push_back(0);
            }
            out.insert(out.end(), literal.begin(), literal.end());
            x += count;
        }
        out.push_back(0);
        out.push_back(0);
    }
    out.push_back(0);
    out.push_back(1);
    return out;
}

TEST(BmpReader, RunLengthEightAndFourBits)
{
    std::mt19937 random(3);
    for (int bitCount : {8, 4}) {
        const int width = 23;
        const int height = 6;
        PalettePicture picture = RandomPalettePicture(random, width, height, bitCount);
        for (auto& row : picture.indices) {
            std::fill(row.begin() + 4, row.begin() + 15, row[4]); // some runs
        }
        BmpRecipe recipe{width, height, bitCount, 40, bitCount == 8 ? 1 : 2};
        for (const Rgb& c : picture.colours) {
            recipe.palette.insert(recipe.palette.end(), {c.blue, c.green, c.red, 0});
        }
        recipe.pixels = EncodeRunLength(picture.indices, bitCount);
        const Bytes file = MakeBmp(recipe);
        test::KeepAsSeed("bmp", "rle" + std::to_string(bitCount), file);
        TFullDib dib;
        ASSERT_TRUE(test::LoadBytes(dib, file)) << dib.ErrorText();
        ASSERT_EQ(dib.Depth(), bitCount);
        ExpectPalettePicture(dib, picture);
    }
}

TEST(BmpReader, RunLengthRunsWrapMovesSkipAndNothingLeavesTheRows)
{
    BmpRecipe recipe{4, 4, 8, 40, 1, 4};
    recipe.palette = Bytes(16, 0);
    recipe.pixels = {
        6, 1,       // a run that goes on into row 1
        0, 0,       // end of line: row 2
        0, 2, 1, 1, // move one right and one up: row 3, column 1
        2, 3,       // two pixels of 3
        200, 9,     // a run far beyond the picture
        0, 0, 0, 0, 0, 0, 0, 1,
    };
    TFullDib dib;
    ASSERT_TRUE(test::LoadBytes(dib, MakeBmp(recipe))) << dib.ErrorText();
    const int expected[4][4] = {{1, 1, 1, 1}, {1, 1, 0, 0}, {0, 0, 0, 0}, {0, 3, 3, 9}};
    for (int r = 0; r < 4; ++r) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(test::IndexAt(dib, x, r), expected[r][x]) << x << "," << r;
        }
    }
}

TEST(BmpReader, RunLengthThatEndsEarlyKeepsItsRows)
{
    BmpRecipe recipe{2, 3, 8, 40, 1, 2};
    recipe.palette = Bytes(8, 0);
    recipe.pixels = {2, 1, 0, 0, 1};
    TFullDib dib;
    EXPECT_TRUE(test::LoadBytes(dib, MakeBmp(recipe)));
    EXPECT_STREQ(dib.ErrorText(), picture_message::prematureEnd);
    EXPECT_EQ(dib.CurrentRow(), 1);
    EXPECT_EQ(test::IndexAt(dib, 1, 0), 1);

    recipe.pixels = {1};
    EXPECT_FALSE(test::LoadBytes(dib, MakeBmp(recipe)));
}

TEST(BmpReader, TruncatedRowsKeepWhatArrivedAndTheRestIsBlack)
{
    BmpRecipe recipe{2, 4, 24};
    recipe.pixels = Bytes(8 * 2 + 3, 0x55);
    TFullDib dib;
    // Load a white picture of the same size first, and then one of a bigger
    // size whose memory the next picture reuses: neither must show through.
    for (int whiteSide : {2, 16}) {
        BmpRecipe white{whiteSide, whiteSide == 2 ? 4 : whiteSide, 24};
        const std::size_t stride = (static_cast<std::size_t>(whiteSide) * 3 + 3) & ~std::size_t{3};
        white.pixels = Bytes(stride * static_cast<std::size_t>(white.height), 0xFF);
        ASSERT_TRUE(test::LoadBytes(dib, MakeBmp(white)));
        ASSERT_TRUE(test::LoadBytes(dib, MakeBmp(recipe)));
        EXPECT_STREQ(dib.ErrorText(), picture_message::prematureEnd);
        EXPECT_EQ(dib.CurrentRow(), 2);
        EXPECT_EQ(dib.Row(1)[0], 0x55);
        EXPECT_EQ(dib.Row(2)[0], 0) << whiteSide;
        EXPECT_EQ(dib.Row(3)[5], 0) << whiteSide;
    }

    recipe.pixels = Bytes(3, 0x55);
    EXPECT_FALSE(test::LoadBytes(dib, MakeBmp(recipe)));
}

TEST(BmpReader, Refusals)
{
    struct Case {
        BmpRecipe recipe;
        const char* message;
    };
    const Case cases[] = {
        {{2, 2, 24, 108}, picture_message::unsupportedHeader},
        {{2, 2, 24, 124}, picture_message::unsupportedHeader},
        {{2, 2, 24, 16}, picture_message::unsupportedHeader},
        {{2, -2, 8, 40, 1}, picture_message::unsupportedHeader},
        {{2, 2, 24, 40, 1}, picture_message::unsupportedHeader},
        {{2, 2, 2}, picture_message::unsupportedDepth},
        {{2, 2, 33}, picture_message::unsupportedDepth},
        {{2, 2, 24, 40, 0, 0, 2}, picture_message::unsupportedPlanes},
        {{2, 2, 16, 40, 3}, picture_message::prematureEnd},  // masks missing
        {{2, 2, 8, 40, 0, 0}, picture_message::prematureEnd}, // palette missing
        {{40000, 40000, 24}, "it declares 40000 \u00d7 40000 pixels, more than 200 megapixels"},
        {{40000, 5001, 24}, "it declares 40000 \u00d7 5001 pixels, more than 200 megapixels"},
        {{40000, 5000, 24}, picture_message::outOfMemory}, // 200 megapixels exactly: too big a block
        {{12000, 12000, 24}, picture_message::outOfMemory}, // 144 megapixels, but 432 MB in one block
        {{40000, 40000, 1}, "it declares 40000 \u00d7 40000 pixels, more than 200 megapixels"},
        {{0, 5, 8, 40, 2}, picture_message::unsupportedHeader},
        {{5, 0, 24}, picture_message::unsupportedHeader},
    };
    for (const Case& c : cases) {
        TFullDib dib;
        EXPECT_FALSE(test::LoadBytes(dib, MakeBmp(c.recipe)));
        EXPECT_STREQ(dib.ErrorText(), c.message) << c.recipe.headerSize << " " << c.recipe.bitCount;
    }
    Bytes cut = MakeBmp({2, 2, 24});
    cut.resize(20);
    TFullDib dib;
    EXPECT_FALSE(test::LoadBytes(dib, cut));
    EXPECT_STREQ(dib.ErrorText(), picture_message::prematureEnd);
}

TEST(BmpReader, TooManyColoursAreLimitedTo256)
{
    BmpRecipe recipe{1, 1, 8, 40, 0, 300};
    recipe.palette = Bytes(300 * 4, 0);
    recipe.palette[4 * 255] = 77;
    recipe.pixels = {255, 0, 0, 0};
    TFullDib dib;
    // Only 256 entries are read, so the pixel data starts inside the longer palette.
    ASSERT_TRUE(test::LoadBytes(dib, MakeBmp(recipe)));
    EXPECT_EQ(dib.Reader().colourMapCount, 256);
    EXPECT_EQ(test::ColourAt(dib, 0, 0).blue, 0);
}

} // namespace
} // namespace discforge
