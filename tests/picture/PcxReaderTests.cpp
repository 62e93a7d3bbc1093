// PCX files of every accepted depth and plane layout.
#include <gtest/gtest.h>

#include <random>

#include "PictureFiles.h"
#include "picture/PictureMessages.h"
#include "picture/TFullDib.h"

namespace discforge {
namespace {

using test::Bytes;
using test::Rgb;

struct PcxRecipe {
    PcxRecipe(int w, int h, int bits, int planeCount, int lineBytes, bool acrossLines = false)
        : width(w), height(h), bitsPerPlane(bits), planes(planeCount), bytesPerLine(lineBytes),
          runsAcrossLines(acrossLines)
    {
    }
    int width;
    int height;
    int bitsPerPlane;
    int planes;
    int bytesPerLine;
    bool runsAcrossLines;
    Bytes headerPalette = Bytes(48, 0); // red, green, blue
    std::vector<Bytes> lines;           // decoded file rows, top first: bytesPerLine x planes
};

// Run-length encodes bytes: runs of up to 63 equal bytes, and any byte of 0xC0
// or more as a run of one.
void Encode(const Bytes& data, Bytes& out)
{
    std::size_t i = 0;
    while (i < data.size()) {
        std::size_t run = 1;
        while (i + run < data.size() && run < 63 && data[i + run] == data[i]) {
            ++run;
        }
        if (run > 1 || data[i] >= 0xC0) {
            out.push_back(static_cast<std::uint8_t>(0xC0 | run));
        }
        out.push_back(data[i]);
        i += run;
    }
}

Bytes MakePcx(const PcxRecipe& recipe, const Bytes& trailer = {})
{
    Bytes file(128, 0);
    file[0] = 0x0A;
    file[1] = 5;
    file[2] = 1;
    file[3] = static_cast<std::uint8_t>(recipe.bitsPerPlane);
    auto put16 = [&](int offset, int value) {
        file[offset] = static_cast<std::uint8_t>(value);
        file[offset + 1] = static_cast<std::uint8_t>(value >> 8);
    };
    put16(4, 10);
    put16(6, 20);
    put16(8, 10 + recipe.width - 1);
    put16(10, 20 + recipe.height - 1);
    std::copy(recipe.headerPalette.begin(), recipe.headerPalette.end(), file.begin() + 16);
    file[65] = static_cast<std::uint8_t>(recipe.planes);
    put16(66, recipe.bytesPerLine);
    if (recipe.runsAcrossLines) {
        Bytes all;
        for (const Bytes& line : recipe.lines) {
            all.insert(all.end(), line.begin(), line.end());
        }
        Encode(all, file);
    } else {
        for (const Bytes& line : recipe.lines) {
            Encode(line, file);
        }
    }
    file.insert(file.end(), trailer.begin(), trailer.end());
    return file;
}

Bytes VgaPalette(const Bytes& rgb)
{
    Bytes trailer = {12};
    trailer.insert(trailer.end(), rgb.begin(), rgb.end());
    return trailer;
}

TEST(PcxReader, EightBitsWithTheTrailingPalette)
{
    std::mt19937 random(1);
    PcxRecipe recipe{9, 4, 8, 1, 10};
    for (int r = 0; r < recipe.height; ++r) {
        Bytes line = test::RandomBytes(random, 10, 4);
        line.insert(line.begin() + 2, 5, 0xC3); // a run, and values that need a count
        line.resize(10);
        recipe.lines.push_back(line);
    }
    const Bytes rgb = test::RandomBytes(random, 768);
    const Bytes file = MakePcx(recipe, VgaPalette(rgb));
    test::KeepAsSeed("pcx", "8bit", file);
    TFullDib dib;
    ASSERT_TRUE(test::LoadBytes(dib, file)) << dib.ErrorText();
    EXPECT_EQ(dib.Format(), PictureFormat::pcx);
    ASSERT_EQ(dib.Depth(), 8);
    ASSERT_EQ(dib.Width(), 9);
    for (int n = 0; n < recipe.height; ++n) {
        for (int x = 0; x < recipe.width; ++x) {
            const int index = recipe.lines[n][x];
            ASSERT_EQ(test::ColourAt(dib, x, recipe.height - 1 - n),
                      (Rgb{rgb[3 * index + 2], rgb[3 * index + 1], rgb[3 * index]}));
        }
    }
}

TEST(PcxReader, EightBitsWithoutPaletteMarkerStayBlack)
{
    PcxRecipe recipe{2, 1, 8, 1, 2};
    recipe.lines = {{1, 2}};
    TFullDib dib;
    ASSERT_TRUE(test::LoadBytes(dib, MakePcx(recipe, Bytes(769, 7))));
    EXPECT_EQ(test::IndexAt(dib, 1, 0), 2);
    EXPECT_EQ(test::ColourAt(dib, 1, 0), (Rgb{0, 0, 0}));
}

TEST(PcxReader, OneAndFourBitsPacked)
{
    PcxRecipe recipe{10, 2, 1, 1, 2};
    recipe.headerPalette[3] = 200; // entry 1 red
    recipe.lines = {{0b10000000, 0b01000000}, {0b00000001, 0}};
    const Bytes file = MakePcx(recipe);
    test::KeepAsSeed("pcx", "1bit", file);
    TFullDib dib;
    ASSERT_TRUE(test::LoadBytes(dib, file)) << dib.ErrorText();
    ASSERT_EQ(dib.Depth(), 1);
    EXPECT_EQ(test::IndexAt(dib, 0, 1), 1);
    EXPECT_EQ(test::IndexAt(dib, 9, 1), 1);
    EXPECT_EQ(test::IndexAt(dib, 7, 0), 1);
    EXPECT_EQ(test::ColourAt(dib, 0, 1), (Rgb{0, 0, 200}));

    PcxRecipe four{3, 1, 4, 1, 2};
    four.headerPalette[3 * 9 + 1] = 99;
    four.lines = {{0x9A, 0x90}};
    ASSERT_TRUE(test::LoadBytes(dib, MakePcx(four))) << dib.ErrorText();
    ASSERT_EQ(dib.Depth(), 4);
    EXPECT_EQ(test::IndexAt(dib, 0, 0), 9);
    EXPECT_EQ(test::IndexAt(dib, 1, 0), 10);
    EXPECT_EQ(test::ColourAt(dib, 2, 0), (Rgb{0, 99, 0}));
}

TEST(PcxReader, FourPlanesOfOneBit)
{
    std::mt19937 random(2);
    const int width = 13;
    PcxRecipe recipe{width, 3, 1, 4, 2};
    std::vector<std::vector<int>> indices(3, std::vector<int>(width));
    for (int n = 0; n < 3; ++n) {
        Bytes line(8, 0);
        for (int x = 0; x < width; ++x) {
            indices[n][x] = static_cast<int>(random() % 16);
            for (int plane = 0; plane < 4; ++plane) {
                if ((indices[n][x] >> plane) & 1) {
                    line[plane * 2 + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
                }
            }
        }
        recipe.lines.push_back(line);
    }
    for (int i = 0; i < 48; ++i) {
        recipe.headerPalette[i] = static_cast<std::uint8_t>(i * 5);
    }
    const Bytes file = MakePcx(recipe);
    test::KeepAsSeed("pcx", "4planes", file);
    TFullDib dib;
    ASSERT_TRUE(test::LoadBytes(dib, file)) << dib.ErrorText();
    ASSERT_EQ(dib.Depth(), 4);
    for (int n = 0; n < 3; ++n) {
        for (int x = 0; x < width; ++x) {
            ASSERT_EQ(test::IndexAt(dib, x, 2 - n), indices[n][x]) << x << "," << n;
        }
    }
    const int i = indices[0][0];
    EXPECT_EQ(test::ColourAt(dib, 0, 2), (Rgb{static_cast<std::uint8_t>((3 * i + 2) * 5),
                                              static_cast<std::uint8_t>((3 * i + 1) * 5),
                                              static_cast<std::uint8_t>(3 * i * 5)}));
}

TEST(PcxReader, TwentyFourBitsInThreePlanes)
{
    std::mt19937 random(3);
    PcxRecipe recipe{5, 2, 8, 3, 6, true};
    for (int n = 0; n < 2; ++n) {
        recipe.lines.push_back(test::RandomBytes(random, 18, 3));
    }
    const Bytes file = MakePcx(recipe);
    test::KeepAsSeed("pcx", "24bit", file);
    TFullDib dib;
    ASSERT_TRUE(test::LoadBytes(dib, file)) << dib.ErrorText();
    ASSERT_EQ(dib.Depth(), 24);
    for (int n = 0; n < 2; ++n) {
        const Bytes& line = recipe.lines[n];
        for (int x = 0; x < 5; ++x) {
            ASSERT_EQ(test::ColourAt(dib, x, 1 - n), (Rgb{line[12 + x], line[6 + x], line[x]}));
        }
    }
}

TEST(PcxReader, BlackHeaderPalettesGetTheStandardColours)
{
    PcxRecipe four{2, 1, 4, 1, 1};
    four.lines = {{0x18}};
    TFullDib dib;
    ASSERT_TRUE(test::LoadBytes(dib, MakePcx(four)));
    EXPECT_EQ(test::ColourAt(dib, 0, 0), (Rgb{255, 0, 0}));  // index 1: red 0, green 0, blue 255
    EXPECT_EQ(test::ColourAt(dib, 1, 0), (Rgb{255, 85, 85})); // index 8

    PcxRecipe one{2, 1, 1, 1, 1};
    one.lines = {{0x80}};
    ASSERT_TRUE(test::LoadBytes(dib, MakePcx(one)));
    EXPECT_EQ(test::ColourAt(dib, 0, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(test::ColourAt(dib, 1, 0), (Rgb{0, 0, 0}));
}

TEST(PcxReader, EarlyEndKeepsTheRowsDone)
{
    PcxRecipe recipe{2, 3, 4, 1, 1};
    recipe.lines = {{0x45}, {0x67}, {0x89}};
    Bytes file = MakePcx(recipe);
    file.resize(128 + 1);
    TFullDib dib;
    EXPECT_TRUE(test::LoadBytes(dib, file));
    EXPECT_STREQ(dib.ErrorText(), picture_message::prematureEnd);
    EXPECT_EQ(dib.CurrentRow(), 1);
    EXPECT_EQ(test::IndexAt(dib, 1, 2), 5);
    EXPECT_EQ(test::IndexAt(dib, 0, 1), 0);

    file.resize(128);
    EXPECT_FALSE(test::LoadBytes(dib, file));

    // An 8-bit file too short to hold its palette block fails at once.
    PcxRecipe eight{2, 1, 8, 1, 2};
    eight.lines = {{1, 2}};
    EXPECT_FALSE(test::LoadBytes(dib, MakePcx(eight)));
    EXPECT_STREQ(dib.ErrorText(), picture_message::prematureEnd);
}

TEST(PcxReader, Refusals)
{
    TFullDib dib;
    EXPECT_FALSE(test::LoadBytes(dib, MakePcx({2, 2, 2, 1, 1})));
    EXPECT_STREQ(dib.ErrorText(), picture_message::unsupportedDepth);
    EXPECT_FALSE(test::LoadBytes(dib, MakePcx({2, 2, 1, 8, 1})));
    EXPECT_STREQ(dib.ErrorText(), picture_message::unsupportedPlanes);
    EXPECT_FALSE(test::LoadBytes(dib, MakePcx({0, 2, 8, 1, 1})));
    EXPECT_STREQ(dib.ErrorText(), picture_message::unsupportedHeader);
    Bytes cut = MakePcx({2, 2, 8, 1, 1});
    cut.resize(100);
    EXPECT_FALSE(test::LoadBytes(dib, cut));
    EXPECT_STREQ(dib.ErrorText(), picture_message::prematureEnd);
    EXPECT_FALSE(test::LoadBytes(dib, MakePcx({60000, 60000, 8, 1, 1})));
    EXPECT_STREQ(dib.ErrorText(), "it declares 60000 \u00d7 60000 pixels, more than 200 megapixels");
    EXPECT_FALSE(test::LoadBytes(dib, MakePcx({14000, 14000, 8, 3, 1})));
    EXPECT_STREQ(dib.ErrorText(), picture_message::outOfMemory);
}

} // namespace
} // namespace discforge
