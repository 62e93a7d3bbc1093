// A camera's Exif orientation on a picture with two marked corners: after the
// full-size reader and the panel's, each mark sits where a viewer shows it.
#include <gtest/gtest.h>

#include <string>

#include "PictureFiles.h"
#include "picture/ExifOrientation.h"
#include "picture/TFullDib.h"
#include "picture/TPreviewDib.h"

namespace discforge {
namespace {

using test::Bytes;
using test::Rgb;

constexpr int storedWidth = 64;
constexpr int storedHeight = 32;
constexpr int mark = 16;

// Grey, with red in the stored top-left corner and green in the top-right.
Bytes MarkedCorners()
{
    Bytes pixels(static_cast<std::size_t>(storedWidth) * storedHeight * 3, 128);
    for (int y = 0; y < mark; ++y) {
        for (int x = 0; x < mark; ++x) {
            std::uint8_t* red = pixels.data() + (static_cast<std::size_t>(y) * storedWidth + x) * 3;
            red[0] = 255, red[1] = 0, red[2] = 0;
            std::uint8_t* green = pixels.data() + (static_cast<std::size_t>(y) * storedWidth + storedWidth - mark + x) * 3;
            green[0] = 0, green[1] = 255, green[2] = 0;
        }
    }
    return test::MakeJpeg(storedWidth, storedHeight, 3, pixels, false, 95);
}

void Put16(Bytes& out, unsigned value, bool big)
{
    out.push_back(static_cast<std::uint8_t>(big ? value >> 8 : value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(big ? value & 0xFF : value >> 8));
}

void Put32(Bytes& out, std::uint32_t value, bool big)
{
    Put16(out, big ? value >> 16 : value & 0xFFFF, big);
    Put16(out, big ? value & 0xFFFF : value >> 16, big);
}

// The contents of an APP1 block: "Exif\0\0", a TIFF header and one directory
// whose entries are (tag, type, count, value).
Bytes ExifBlock(std::initializer_list<std::array<unsigned, 4>> entries, bool big)
{
    Bytes out = {'E', 'x', 'i', 'f', 0, 0};
    out.push_back(big ? 'M' : 'I');
    out.push_back(big ? 'M' : 'I');
    Put16(out, 42, big);
    Put32(out, 8, big);
    Put16(out, static_cast<unsigned>(entries.size()), big);
    for (const auto& entry : entries) {
        Put16(out, entry[0], big);
        Put16(out, entry[1], big);
        Put32(out, entry[2], big);
        Put16(out, entry[3], big);
        Put16(out, 0, big);
    }
    Put32(out, 0, big);
    return out;
}

// The JPEG with an APP1 block right after its start marker.
Bytes WithExif(const Bytes& jpeg, const Bytes& block)
{
    Bytes out(jpeg.begin(), jpeg.begin() + 2);
    out.push_back(0xFF);
    out.push_back(0xE1);
    const std::size_t length = block.size() + 2;
    out.push_back(static_cast<std::uint8_t>(length >> 8));
    out.push_back(static_cast<std::uint8_t>(length & 0xFF));
    out.insert(out.end(), block.begin(), block.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

enum Corner { topLeft, topRight, bottomRight, bottomLeft };

struct Expected {
    int orientation;
    Corner red;
    Corner green;
};

// Where a viewer shows the stored top-left (red) and top-right (green) corners.
constexpr Expected expectations[] = {
    {1, topLeft, topRight},
    {2, topRight, topLeft},
    {3, bottomRight, bottomLeft},
    {4, bottomLeft, bottomRight},
    {5, topLeft, bottomLeft},
    {6, topRight, bottomRight},
    {7, bottomRight, topRight},
    {8, bottomLeft, topLeft},
};

// Pixel (x, y from the top) near a corner of a width x height picture.
void CornerPoint(Corner corner, int width, int height, int& x, int& y)
{
    constexpr int inset = mark / 2;
    x = corner == topLeft || corner == bottomLeft ? inset : width - 1 - inset;
    y = corner == topLeft || corner == topRight ? inset : height - 1 - inset;
}

bool IsRed(const Rgb& c)
{
    return c.red > 200 && c.green < 60 && c.blue < 60;
}

bool IsGreen(const Rgb& c)
{
    return c.green > 200 && c.red < 60 && c.blue < 60;
}

TEST(JpegOrientation, EachOfTheEightOrientationsPutsTheMarkedCornersWhereAViewerShowsThem)
{
    const Bytes plain = MarkedCorners();
    for (bool big : {false, true}) {
        for (const Expected& e : expectations) {
            const Bytes jpeg = WithExif(plain, ExifBlock({{0x010F, 2, 1, 0}, {0x0112, 3, 1, static_cast<unsigned>(e.orientation)}}, big));
            TFullDib dib;
            ASSERT_TRUE(test::LoadBytes(dib, jpeg)) << dib.ErrorText();
            const bool swapped = e.orientation >= 5;
            ASSERT_EQ(dib.Width(), swapped ? storedHeight : storedWidth) << e.orientation;
            ASSERT_EQ(dib.Height(), swapped ? storedWidth : storedHeight) << e.orientation;
            EXPECT_EQ(dib.DeclaredWidth(), dib.Width());
            int x = 0;
            int y = 0;
            CornerPoint(e.red, dib.Width(), dib.Height(), x, y);
            EXPECT_TRUE(IsRed(test::ColourAt(dib, x, dib.Height() - 1 - y))) << "orientation " << e.orientation << (big ? " MM" : " II");
            CornerPoint(e.green, dib.Width(), dib.Height(), x, y);
            EXPECT_TRUE(IsGreen(test::ColourAt(dib, x, dib.Height() - 1 - y))) << "orientation " << e.orientation;
        }
    }
}

// The panel's picture, at the place it shows the file.
Rgb PanelPixel(const TPreviewDib& panel, int x, int y)
{
    const PanelFit& fit = panel.Shown();
    const int row = fit.verticalOffset + fit.shownHeight - 1 - y;
    const std::uint8_t* p = panel.Row(row) + 3 * (fit.horizontalOffset + x);
    return Rgb{p[0], p[1], p[2]};
}

TEST(JpegOrientation, ThePanelShowsThePictureUprightToo)
{
    const Bytes plain = MarkedCorners();
    for (const Expected& e : expectations) {
        const std::string path = test::WriteTempFile("upright" + std::to_string(e.orientation) + ".jpg",
            WithExif(plain, ExifBlock({{0x0112, 3, 1, static_cast<unsigned>(e.orientation)}}, true)));
        TPreviewDib panel(nullptr, {0, 0, 160, 120});
        ASSERT_TRUE(panel.LoadFile(path)) << panel.ErrorText();
        const bool swapped = e.orientation >= 5;
        const PanelFit& fit = panel.Shown();
        ASSERT_EQ(fit.shownWidth * (swapped ? 2 : 1), fit.shownHeight * (swapped ? 1 : 2)) << e.orientation;
        int x = 0;
        int y = 0;
        CornerPoint(e.red, fit.shownWidth, fit.shownHeight, x, y);
        EXPECT_TRUE(IsRed(PanelPixel(panel, x, y))) << "orientation " << e.orientation;
        CornerPoint(e.green, fit.shownWidth, fit.shownHeight, x, y);
        EXPECT_TRUE(IsGreen(PanelPixel(panel, x, y))) << "orientation " << e.orientation;
    }
}

TEST(JpegOrientation, DamagedOrStrangeExifBlocksLeaveThePictureAsStored)
{
    const Bytes tagOf6 = ExifBlock({{0x0112, 3, 1, 6}}, false);
    EXPECT_EQ(ExifOrientation(tagOf6.data(), tagOf6.size()), 6);
    for (std::size_t cut = 0; cut < tagOf6.size() - 4; ++cut) {
        EXPECT_EQ(ExifOrientation(tagOf6.data(), cut), 1) << cut;
    }
    const Bytes asLong = ExifBlock({{0x0112, 4, 1, 6}}, false);
    EXPECT_EQ(ExifOrientation(asLong.data(), asLong.size()), 1);
    const Bytes noCount = ExifBlock({{0x0112, 3, 0, 6}}, false);
    EXPECT_EQ(ExifOrientation(noCount.data(), noCount.size()), 1);
    const Bytes nine = ExifBlock({{0x0112, 3, 1, 9}}, true);
    EXPECT_EQ(ExifOrientation(nine.data(), nine.size()), 1);
    Bytes farDirectory = tagOf6;
    farDirectory[10] = 0xF0; // the directory's offset points past the block
    EXPECT_EQ(ExifOrientation(farDirectory.data(), farDirectory.size()), 1);
    Bytes notExif = tagOf6;
    notExif[0] = 'X';
    EXPECT_EQ(ExifOrientation(notExif.data(), notExif.size()), 1);
    // A directory announcing more entries than the block holds ends at the block.
    Bytes manyEntries = ExifBlock({{0x010F, 2, 1, 0}}, false);
    manyEntries[14] = 0xFF;
    manyEntries[15] = 0xFF;
    EXPECT_EQ(ExifOrientation(manyEntries.data(), manyEntries.size()), 1);

    TFullDib dib;
    ASSERT_TRUE(test::LoadBytes(dib, WithExif(MarkedCorners(), farDirectory)));
    EXPECT_EQ(dib.Width(), storedWidth);
    EXPECT_TRUE(IsRed(test::ColourAt(dib, 4, dib.Height() - 5)));
}

} // namespace
} // namespace discforge
