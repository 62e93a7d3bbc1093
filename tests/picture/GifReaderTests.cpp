// GIF files with and without colour tables, interlaced, transparent, smaller
// than their screen, and broken in the ways the reader must survive.
#include <gtest/gtest.h>

#include <random>

#include "PictureFiles.h"
#include "picture/PictureMessages.h"
#include "picture/TFullDib.h"

namespace discforge {
namespace {

using test::Bytes;
using test::Rgb;

struct GifImage {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool interlaced = false;
    Bytes localTable; // red, green, blue; empty: none
    std::vector<std::uint8_t> rows; // image rows in picture order, top first
    int codeSize = 8;
    bool transparent = false;
    int transparentIndex = 0;
};

int TableBits(std::size_t entries)
{
    int bits = 0;
    while ((2u << bits) < entries) {
        ++bits;
    }
    return bits;
}

// Rows in the order the file stores them.
std::vector<std::uint8_t> FileOrder(const GifImage& image)
{
    if (!image.interlaced) {
        return image.rows;
    }
    std::vector<std::uint8_t> out;
    const int starts[4] = {0, 4, 2, 1};
    const int steps[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int r = starts[pass]; r < image.height; r += steps[pass]) {
            out.insert(out.end(), image.rows.begin() + r * image.width, image.rows.begin() + (r + 1) * image.width);
        }
    }
    return out;
}

Bytes MakeGif(int screenWidth, int screenHeight, const Bytes& globalTable, int background, const GifImage& image,
              const Bytes& beforeImage = {})
{
    Bytes file = {'G', 'I', 'F', '8', '9', 'a'};
    test::PutLe16(file, screenWidth);
    test::PutLe16(file, screenHeight);
    file.push_back(globalTable.empty() ? 0x01 : static_cast<std::uint8_t>(0x80 | TableBits(globalTable.size() / 3)));
    file.push_back(static_cast<std::uint8_t>(background));
    file.push_back(0);
    file.insert(file.end(), globalTable.begin(), globalTable.end());
    file.insert(file.end(), beforeImage.begin(), beforeImage.end());
    // A comment extension to be skipped, then the graphic control.
    file.insert(file.end(), {0x21, 0xFE, 3, 'a', 'b', 'c', 0});
    if (image.transparent) {
        file.insert(file.end(), {0x21, 0xF9, 4, 1, 0, 0, static_cast<std::uint8_t>(image.transparentIndex), 0});
    }
    file.push_back(0x2C);
    test::PutLe16(file, image.left);
    test::PutLe16(file, image.top);
    test::PutLe16(file, image.width);
    test::PutLe16(file, image.height);
    std::uint8_t packed = image.interlaced ? 0x40 : 0;
    if (!image.localTable.empty()) {
        packed |= static_cast<std::uint8_t>(0x80 | TableBits(image.localTable.size() / 3));
    }
    file.push_back(packed);
    file.insert(file.end(), image.localTable.begin(), image.localTable.end());
    file.push_back(static_cast<std::uint8_t>(image.codeSize));
    const Bytes data = test::GifImageData(FileOrder(image), image.codeSize);
    file.insert(file.end(), data.begin(), data.end());
    file.push_back(0x3B);
    return file;
}

GifImage RandomImage(std::mt19937& random, int width, int height, int colours)
{
    GifImage image;
    image.width = width;
    image.height = height;
    image.rows = test::RandomBytes(random, static_cast<std::size_t>(width) * height, colours);
    for (std::size_t i = 0; i + 20 < image.rows.size(); i += 37) {
        std::fill_n(image.rows.begin() + static_cast<std::ptrdiff_t>(i), 15, image.rows[i]); // repeats to compress
    }
    return image;
}

void ExpectImage(const TFullDib& dib, const GifImage& image, int screenHeight)
{
    for (int r = 0; r < image.height; ++r) {
        for (int x = 0; x < image.width; ++x) {
            const int value = image.rows[r * image.width + x];
            if (image.transparent && value == image.transparentIndex) {
                continue;
            }
            ASSERT_EQ(test::IndexAt(dib, image.left + x, screenHeight - 1 - image.top - r), value)
                << x << "," << r;
        }
    }
}

TEST(GifReader, GlobalTableEveryTableSize)
{
    std::mt19937 random(1);
    for (int colours : {2, 16, 256, 4}) {
        const Bytes table = test::RandomBytes(random, static_cast<std::size_t>(colours) * 3);
        GifImage image = RandomImage(random, 37, 23, colours);
        image.codeSize = std::max(2, TableBits(colours) + 1);
        const Bytes file = MakeGif(37, 23, table, 0, image);
        test::KeepAsSeed("gif", "global" + std::to_string(colours), file);
        TFullDib dib;
        ASSERT_TRUE(test::LoadBytes(dib, file)) << dib.ErrorText();
        EXPECT_EQ(dib.Format(), PictureFormat::gif);
        EXPECT_EQ(dib.Depth(), colours == 2 ? 1 : colours == 16 ? 4 : 8);
        ExpectImage(dib, image, 23);
        const int index = image.rows[0];
        EXPECT_EQ(test::ColourAt(dib, 0, 22), (Rgb{table[3 * index + 2], table[3 * index + 1], table[3 * index]}));
    }
}

TEST(GifReader, LongImagesFillTheCodeTableAndStartAgain)
{
    std::mt19937 random(2);
    const GifImage image = RandomImage(random, 300, 200, 256);
    const Bytes file = MakeGif(300, 200, test::RandomBytes(random, 768), 0, image);
    TFullDib dib;
    ASSERT_TRUE(test::LoadBytes(dib, file)) << dib.ErrorText();
    ExpectImage(dib, image, 200);
}

TEST(GifReader, LocalTableAndInterlace)
{
    std::mt19937 random(3);
    for (int height : {1, 2, 3, 5, 9, 17, 40}) {
        GifImage image = RandomImage(random, 11, height, 16);
        image.interlaced = true;
        image.localTable = test::RandomBytes(random, 48);
        image.codeSize = 4;
        const Bytes file = MakeGif(11, height, test::RandomBytes(random, 6), 0, image);
        test::KeepAsSeed("gif", "interlaced" + std::to_string(height), file);
        TFullDib dib;
        ASSERT_TRUE(test::LoadBytes(dib, file)) << dib.ErrorText();
        EXPECT_EQ(dib.Depth(), 4);
        ExpectImage(dib, image, height);
        EXPECT_EQ(test::ColourAt(dib, 0, height - 1).blue, image.localTable[3 * image.rows[0] + 2]);
    }
}

TEST(GifReader, WithoutTablesTheColoursAreADarkRamp)
{
    std::mt19937 random(4);
    GifImage image = RandomImage(random, 5, 5, 4);
    image.codeSize = 2;
    TFullDib dib;
    ASSERT_TRUE(test::LoadBytes(dib, MakeGif(5, 5, {}, 0, image))) << dib.ErrorText();
    EXPECT_EQ(dib.Reader().gif.currentTableCount, 4);
    ExpectImage(dib, image, 5);
    for (int x = 0; x < 5; ++x) {
        const auto level = static_cast<std::uint8_t>(test::IndexAt(dib, x, 2));
        EXPECT_EQ(test::ColourAt(dib, x, 2), (Rgb{level, level, level}));
    }
}

TEST(GifReader, SmallerImageSitsOnTheBackgroundAndTransparencyShowsIt)
{
    std::mt19937 random(5);
    GifImage image = RandomImage(random, 6, 4, 8);
    image.left = 3;
    image.top = 2;
    image.transparent = true;
    image.transparentIndex = image.rows[5];
    image.codeSize = 3;
    const Bytes file = MakeGif(12, 9, test::RandomBytes(random, 24), 7, image);
    test::KeepAsSeed("gif", "offset-transparent", file);
    TFullDib dib;
    ASSERT_TRUE(test::LoadBytes(dib, file)) << dib.ErrorText();
    ASSERT_EQ(dib.Width(), 12);
    ASSERT_EQ(dib.Height(), 9);
    EXPECT_EQ(dib.DeclaredWidth(), 6);
    ExpectImage(dib, image, 9);
    EXPECT_EQ(test::IndexAt(dib, 0, 0), 7);
    EXPECT_EQ(test::IndexAt(dib, 11, 8), 7);
    EXPECT_EQ(test::IndexAt(dib, 3 + 5, 9 - 1 - 2), 7); // the transparent pixel
}

TEST(GifReader, OnlyTheFirstImageIsRead)
{
    std::mt19937 random(6);
    GifImage image = RandomImage(random, 4, 4, 4);
    image.codeSize = 2;
    Bytes file = MakeGif(4, 4, test::RandomBytes(random, 12), 0, image);
    file.pop_back(); // a second image instead of the trailer
    const Bytes second = MakeGif(4, 4, test::RandomBytes(random, 12), 0, RandomImage(random, 4, 4, 4));
    file.insert(file.end(), second.begin() + 13 + 12, second.end());
    TFullDib dib;
    ASSERT_TRUE(test::LoadBytes(dib, file)) << dib.ErrorText();
    ExpectImage(dib, image, 4);
}

TEST(GifReader, ShortDataLeavesTheRestIndexZero)
{
    std::mt19937 random(7);
    GifImage image = RandomImage(random, 8, 8, 256);
    for (auto& v : image.rows) {
        v = static_cast<std::uint8_t>(v | 1);
    }
    Bytes file = MakeGif(8, 8, test::RandomBytes(random, 768), 0, image);
    // The data in one short block closed properly: the decoder meets the end of
    // the blocks and gives 0 from there.
    const std::size_t dataStart = file.size() - 1 - (test::GifImageData(image.rows, 8).size());
    file.resize(dataStart + 1 + 20);
    file[dataStart] = 20;
    file.insert(file.end(), {0, 0x3B});
    TFullDib dib;
    ASSERT_TRUE(test::LoadBytes(dib, file)) << dib.ErrorText();
    EXPECT_EQ(dib.CurrentRow(), 8);
    EXPECT_EQ(test::IndexAt(dib, 0, 7), image.rows[0]);
    EXPECT_EQ(test::IndexAt(dib, 7, 0), 0);
}

TEST(GifReader, FileEndingAtABlockLengthKeepsTheRowsDone)
{
    std::mt19937 random(8);
    const GifImage image = RandomImage(random, 50, 50, 256);
    Bytes file = MakeGif(50, 50, test::RandomBytes(random, 768), 0, image);
    // Header, table, comment, descriptor and code size come before the blocks.
    const std::size_t dataStart = 13 + 768 + 7 + 10 + 1;
    file.resize(dataStart + 2 * 256);
    TFullDib dib;
    EXPECT_TRUE(test::LoadBytes(dib, file));
    EXPECT_STREQ(dib.ErrorText(), picture_message::prematureEnd);
    EXPECT_GT(dib.CurrentRow(), 0);
    EXPECT_LT(dib.CurrentRow(), 50);
    EXPECT_EQ(test::IndexAt(dib, 0, 49), image.rows[0]);

    file.resize(dataStart);
    EXPECT_FALSE(test::LoadBytes(dib, file));
    EXPECT_STREQ(dib.ErrorText(), picture_message::prematureEnd);

    // A block cut short is only the end of the data: the rest is index 0.
    file = MakeGif(50, 50, test::RandomBytes(random, 768), 0, image);
    file.resize(dataStart + 300);
    EXPECT_TRUE(test::LoadBytes(dib, file));
    EXPECT_EQ(dib.CurrentRow(), 50);
}

TEST(GifReader, Refusals)
{
    std::mt19937 random(9);
    TFullDib dib;
    for (int codeSize : {1, 12}) {
        GifImage image = RandomImage(random, 2, 2, 2);
        image.codeSize = codeSize;
        EXPECT_FALSE(test::LoadBytes(dib, MakeGif(2, 2, test::RandomBytes(random, 6), 0, image)));
        EXPECT_STREQ(dib.ErrorText(), picture_message::invalidGifCodeSize);
    }
    GifImage outside = RandomImage(random, 4, 4, 2);
    outside.left = 1;
    EXPECT_FALSE(test::LoadBytes(dib, MakeGif(4, 4, {}, 0, outside)));
    EXPECT_STREQ(dib.ErrorText(), picture_message::unsupportedHeader);

    EXPECT_FALSE(test::LoadBytes(dib, MakeGif(4, 4, {}, 0, RandomImage(random, 4, 4, 2), {0x3B})));
    EXPECT_STREQ(dib.ErrorText(), picture_message::notEnoughGifImages);

    Bytes header = MakeGif(4, 4, test::RandomBytes(random, 6), 0, RandomImage(random, 4, 4, 2));
    header.resize(16);
    EXPECT_FALSE(test::LoadBytes(dib, header));
    EXPECT_STREQ(dib.ErrorText(), picture_message::prematureEnd);
}

TEST(GifReader, MalformedCodesAreMendedNotFollowed)
{
    // Code size 2: clear 4, end 5. After the clear: 7 (beyond the next free
    // code 6) and then 4095-wide garbage; the picture must simply fill up.
    Bytes file = {'G', 'I', 'F', '8', '7', 'a', 4, 0, 2, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255};
    file.insert(file.end(), {0x2C, 0, 0, 0, 0, 4, 0, 2, 0, 0, 2});
    file.insert(file.end(), {6, 0x3C, 0x7E, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0x3B});
    TFullDib dib;
    EXPECT_TRUE(test::LoadBytes(dib, file)) << dib.ErrorText();
    EXPECT_EQ(dib.CurrentRow(), 2);
}

} // namespace
} // namespace discforge
