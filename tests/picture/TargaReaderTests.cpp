// Targa files: colour-mapped, true colour and grey, plain and run-length, both
// row orders.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "PictureFiles.h"
#include "picture/PictureMessages.h"
#include "picture/TFullDib.h"

namespace discforge {
namespace {

using test::Bytes;
using test::Rgb;

struct TargaRecipe {
    TargaRecipe(int w, int h, int type, int pixelDepth, bool top = false)
        : width(w), height(h), imageType(type), depth(pixelDepth), topDown(top)
    {
    }
    int width;
    int height;
    int imageType;
    int depth;
    bool topDown;
    int mapType = 0;
    int mapFirst = 0;
    int mapLength = 0;
    int mapEntryBits = 0;
    std::string identifier;
    Bytes map;
    Bytes data; // as stored after the map
};

Bytes MakeTarga(const TargaRecipe& recipe)
{
    Bytes file = {static_cast<std::uint8_t>(recipe.identifier.size()), static_cast<std::uint8_t>(recipe.mapType),
                  static_cast<std::uint8_t>(recipe.imageType)};
    test::PutLe16(file, recipe.mapFirst);
    test::PutLe16(file, recipe.mapLength);
    file.push_back(static_cast<std::uint8_t>(recipe.mapEntryBits));
    test::PutLe16(file, 0);
    test::PutLe16(file, 0);
    test::PutLe16(file, recipe.width);
    test::PutLe16(file, recipe.height);
    file.push_back(static_cast<std::uint8_t>(recipe.depth));
    file.push_back(recipe.topDown ? 0x20 : 0x00);
    file.insert(file.end(), recipe.identifier.begin(), recipe.identifier.end());
    file.insert(file.end(), recipe.map.begin(), recipe.map.end());
    file.insert(file.end(), recipe.data.begin(), recipe.data.end());
    return file;
}

// Packs `pixels` (pixelBytes each) into repeat packets where values repeat and
// raw packets elsewhere, running on across rows.
Bytes EncodeRunLength(const Bytes& pixels, int pixelBytes)
{
    const std::size_t count = pixels.size() / pixelBytes;
    auto same = [&](std::size_t a, std::size_t b) {
        return std::equal(pixels.begin() + a * pixelBytes, pixels.begin() + (a + 1) * pixelBytes,
                          pixels.begin() + b * pixelBytes);
    };
    Bytes out;
    std::size_t i = 0;
    while (i < count) {
        std::size_t run = 1;
        while (i + run < count && run < 128 && same(i, i + run)) {
            ++run;
        }
        if (run >= 2) {
            out.push_back(static_cast<std::uint8_t>(0x80 | (run - 1)));
            out.insert(out.end(), pixels.begin() + i * pixelBytes, pixels.begin() + (i + 1) * pixelBytes);
        } else {
            std::size_t raw = 1;
            while (i + raw < count && raw < 128 && !(i + raw + 1 < count && same(i + raw, i + raw + 1))) {
                ++raw;
            }
            out.push_back(static_cast<std::uint8_t>(raw - 1));
            out.insert(out.end(), pixels.begin() + i * pixelBytes, pixels.begin() + (i + raw) * pixelBytes);
            run = raw;
        }
        i += run;
    }
    return out;
}

// Random pixels with some repeats, in file order.
Bytes RandomPixels(std::mt19937& random, int count, int pixelBytes, int limit = 256)
{
    Bytes pixels = test::RandomBytes(random, static_cast<std::size_t>(count) * pixelBytes, limit);
    for (int i = 3; i + 5 < count; i += 11) {
        for (int k = 1; k < 5; ++k) {
            std::copy_n(pixels.begin() + i * pixelBytes, pixelBytes, pixels.begin() + (i + k) * pixelBytes);
        }
    }
    return pixels;
}

// The memory row of file row n.
int MemoryRow(const TargaRecipe& recipe, int n)
{
    return recipe.topDown ? recipe.height - 1 - n : n;
}

TEST(TargaReader, TrueColourEveryDepthPlainAndRunLengthBothOrders)
{
    std::mt19937 random(1);
    for (int depth : {15, 16, 24, 32}) {
        for (bool runLength : {false, true}) {
            for (bool topDown : {false, true}) {
                const int pixelBytes = (depth + 7) / 8;
                TargaRecipe recipe{7, 5, runLength ? 10 : 2, depth, topDown};
                recipe.identifier = "test picture";
                const Bytes pixels = RandomPixels(random, 35, pixelBytes);
                recipe.data = runLength ? EncodeRunLength(pixels, pixelBytes) : pixels;
                const Bytes file = MakeTarga(recipe);
                test::KeepAsSeed("targa", "type" + std::to_string(recipe.imageType) + "-" + std::to_string(depth) +
                                              (topDown ? "-top" : "-bottom"), file);
                TFullDib dib;
                ASSERT_TRUE(test::LoadBytes(dib, file)) << dib.ErrorText();
                EXPECT_EQ(dib.Format(), PictureFormat::targa);
                ASSERT_EQ(dib.Depth(), depth);
                EXPECT_EQ(dib.Reader().targaImageId, "test picture");
                for (int n = 0; n < recipe.height; ++n) {
                    ASSERT_EQ(0, std::memcmp(dib.Row(MemoryRow(recipe, n)), pixels.data() + n * 7 * pixelBytes,
                                             7 * pixelBytes))
                        << depth << " " << runLength << " " << topDown << " row " << n;
                }
            }
        }
    }
}

TEST(TargaReader, ColourMappedWithEachEntrySize)
{
    std::mt19937 random(2);
    for (int entryBits : {16, 24, 32}) {
        for (bool runLength : {false, true}) {
            const int entries = 20;
            TargaRecipe recipe{6, 4, runLength ? 9 : 1, 8};
            recipe.mapType = 1;
            recipe.mapLength = entries;
            recipe.mapEntryBits = entryBits;
            const int entryBytes = entryBits / 8;
            recipe.map = test::RandomBytes(random, static_cast<std::size_t>(entries) * entryBytes);
            const Bytes indices = RandomPixels(random, 24, 1, entries);
            recipe.data = runLength ? EncodeRunLength(indices, 1) : indices;
            const Bytes file = MakeTarga(recipe);
            test::KeepAsSeed("targa", "mapped" + std::to_string(entryBits) + (runLength ? "-rle" : ""), file);
            TFullDib dib;
            ASSERT_TRUE(test::LoadBytes(dib, file)) << dib.ErrorText();
            ASSERT_EQ(dib.Depth(), 8);
            for (int n = 0; n < 4; ++n) {
                for (int x = 0; x < 6; ++x) {
                    const std::uint8_t* entry = recipe.map.data() + indices[n * 6 + x] * entryBytes;
                    auto expand = [](int v) { return static_cast<std::uint8_t>((v * 255 + 15) / 31); };
                    const int word = entry[0] | entry[1] << 8;
                    const Rgb expected = entryBits == 16
                                             ? Rgb{expand(word & 31), expand((word >> 5) & 31), expand((word >> 10) & 31)}
                                             : Rgb{entry[0], entry[1], entry[2]};
                    ASSERT_EQ(test::ColourAt(dib, x, n), expected) << entryBits << " " << x << "," << n;
                }
            }
        }
    }
}

TEST(TargaReader, GreyGetsARampAndSkipsAnyColourMap)
{
    TargaRecipe recipe{3, 1, 3, 8};
    recipe.mapType = 1;
    recipe.mapLength = 2;
    recipe.mapEntryBits = 24;
    recipe.map = Bytes(6, 0xEE);
    recipe.data = {0, 128, 255};
    TFullDib dib;
    ASSERT_TRUE(test::LoadBytes(dib, MakeTarga(recipe))) << dib.ErrorText();
    EXPECT_EQ(test::ColourAt(dib, 1, 0), (Rgb{128, 128, 128}));
    EXPECT_EQ(test::ColourAt(dib, 2, 0), (Rgb{255, 255, 255}));

    TargaRecipe grey{2, 2, 11, 8, true};
    grey.data = {0x83, 9};
    ASSERT_TRUE(test::LoadBytes(dib, MakeTarga(grey))) << dib.ErrorText();
    EXPECT_EQ(test::ColourAt(dib, 1, 0), (Rgb{9, 9, 9}));
}

TEST(TargaReader, PacketsRunOnAcrossRowsAndAShortFileKeepsItsRows)
{
    TargaRecipe recipe{2, 3, 11, 8};
    recipe.data = {0x82, 5, 0x00, 6};
    TFullDib dib;
    EXPECT_TRUE(test::LoadBytes(dib, MakeTarga(recipe)));
    EXPECT_STREQ(dib.ErrorText(), picture_message::prematureEnd);
    EXPECT_EQ(dib.CurrentRow(), 2);
    EXPECT_EQ(dib.Row(1)[0], 5);
    EXPECT_EQ(dib.Row(1)[1], 6);
    EXPECT_EQ(dib.Row(2)[0], 0);

    recipe.data = {0x00};
    EXPECT_FALSE(test::LoadBytes(dib, MakeTarga(recipe)));
}

TEST(TargaReader, Refusals)
{
    TFullDib dib;
    TargaRecipe longMap{1, 1, 1, 8};
    longMap.mapType = 1;
    longMap.mapLength = 257;
    longMap.mapEntryBits = 24;
    longMap.map = Bytes(257 * 3, 0);
    longMap.data = {0};
    EXPECT_FALSE(test::LoadBytes(dib, MakeTarga(longMap)));
    EXPECT_NE(std::string(dib.ErrorText()).find("is an unknown file type"), std::string::npos);

    TargaRecipe oddEntries{1, 1, 1, 8};
    oddEntries.mapType = 1;
    oddEntries.mapLength = 2;
    oddEntries.mapEntryBits = 8;
    oddEntries.map = {1, 2};
    oddEntries.data = {0};
    EXPECT_FALSE(test::LoadBytes(dib, MakeTarga(oddEntries)));
    EXPECT_STREQ(dib.ErrorText(), picture_message::unsupportedTargaMap);

    TargaRecipe missingMap = oddEntries;
    missingMap.mapEntryBits = 24;
    missingMap.map = {1, 2};
    missingMap.data = {};
    EXPECT_FALSE(test::LoadBytes(dib, MakeTarga(missingMap)));
    EXPECT_STREQ(dib.ErrorText(), picture_message::prematureEnd);

    EXPECT_FALSE(test::LoadBytes(dib, MakeTarga({2, 2, 4, 24})));
    EXPECT_NE(std::string(dib.ErrorText()).find("is an unknown file type"), std::string::npos);

    TargaRecipe huge{65535, 65535, 2, 32};
    huge.data = Bytes(8, 0);
    EXPECT_FALSE(test::LoadBytes(dib, MakeTarga(huge)));
    EXPECT_STREQ(dib.ErrorText(), "it declares 65535 \u00d7 65535 pixels, more than 200 megapixels");
    TargaRecipe large{12000, 12000, 2, 32};
    large.data = Bytes(8, 0);
    EXPECT_FALSE(test::LoadBytes(dib, MakeTarga(large)));
    EXPECT_STREQ(dib.ErrorText(), picture_message::outOfMemory);
}

} // namespace
} // namespace discforge
