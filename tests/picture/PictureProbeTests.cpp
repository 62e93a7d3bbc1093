// Reading a picture's header only, as a list does for each of its pictures when
// it opens: the kind and declared size of every format, the size limits, and
// nothing of the pixels read or changed.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "PictureFiles.h"
#include "picture/TFullDib.h"
#include "support/StreamChecks.h"
#include "TestPaths.h"

namespace discforge {
namespace {

using test::Bytes;

Bytes Bmp24(int width, int height)
{
    test::BmpRecipe recipe(width, height, 24);
    recipe.pixels.assign(static_cast<std::size_t>(test::StoredStride(width, 24)) * height, 0x40);
    return test::MakeBmp(recipe);
}

// A GIF whose logical screen is 65535 x 65535 and whose only image is one pixel.
Bytes GifWithHugeScreen()
{
    Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0, 0};
    gif.insert(gif.end(), {0, 0, 0, 0xFF, 0xFF, 0xFF});
    gif.insert(gif.end(), {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2});
    const Bytes data = test::GifImageData({1}, 2);
    gif.insert(gif.end(), data.begin(), data.end());
    gif.push_back(0x3B);
    return gif;
}

TEST(PictureProbe, ReadsKindAndDeclaredSizeOfEveryFormatWithoutThePixels)
{
    const std::string png = test::WriteTempFile("probe-source.png", {});
    const test::CommandResult made = test::RunCommand(
        "ffmpeg -nostdin -v error -y -f lavfi -i color=c=blue:s=1202x906 -frames:v 1 " + test::Quoted(png));
    ASSERT_EQ(made.exitCode, 0) << made.output;
    const std::vector<std::uint8_t> grey(static_cast<std::size_t>(640) * 424, 128);
    struct Case {
        std::string path;
        PictureFormat format;
        int width, height;
    };
    const Case cases[] = {
        {test::WriteTempFile("probe.bmp", Bmp24(321, 203)), PictureFormat::bmp, 321, 203},
        {test::WriteTempFile("probe.jpg", test::MakeJpeg(640, 424, 1, grey, true)), PictureFormat::jpeg, 640, 424},
        {png, PictureFormat::png, 1202, 906},
    };
    for (const Case& c : cases) {
        TFullDib picture;
        ASSERT_TRUE(picture.ProbeFile(c.path)) << c.path << ": " << picture.ErrorText();
        EXPECT_EQ(picture.Format(), c.format) << c.path;
        EXPECT_EQ(picture.DeclaredWidth(), c.width) << c.path;
        EXPECT_EQ(picture.DeclaredHeight(), c.height) << c.path;
        EXPECT_FALSE(picture.HasPicture()) << c.path;
        EXPECT_EQ(picture.LoadCount(), 0) << c.path;
        // The same picture still loads whole afterwards.
        ASSERT_TRUE(picture.LoadFile(c.path)) << c.path;
        EXPECT_EQ(picture.Width(), c.width) << c.path;
    }
}

TEST(PictureProbe, AHeaderIsEnoughButAPictureThatIsNoneOrTooLargeIsRefused)
{
    TFullDib picture;
    // Pixels cut off after the header: the header alone is readable.
    Bytes cut = Bmp24(400, 300);
    cut.resize(54 + 100);
    EXPECT_TRUE(picture.ProbeFile(test::WriteTempFile("cut-pixels.bmp", cut))) << picture.ErrorText();
    EXPECT_EQ(picture.DeclaredWidth(), 400);

    Bytes cutHeader = Bmp24(400, 300);
    cutHeader.resize(20);
    EXPECT_FALSE(picture.ProbeFile(test::WriteTempFile("cut-header.bmp", cutHeader)));
    EXPECT_STRNE(picture.ErrorText(), "");

    const std::string text = test::WriteTempFile("notes.jpg", Bytes(200, 'x'));
    EXPECT_FALSE(picture.ProbeFile(text));
    EXPECT_EQ(std::string(picture.ErrorText()), text + " is an unknown file type");

    const std::string missing = test::WriteTempFile("gone.bmp", {});
    std::filesystem::remove(missing);
    EXPECT_FALSE(picture.ProbeFile(missing));
    EXPECT_EQ(std::string(picture.ErrorText()), "Error opening file " + missing);

    EXPECT_FALSE(
        picture.ProbeFile(std::string(DISCFORGE_MALFORMED_DIR) + "/jpeg-declares-65494-by-63458-in-several-scans.jpg"));
    EXPECT_STREQ(picture.ErrorText(), "it declares 65494 \u00d7 63458 pixels, more than 200 megapixels");

    // The screen a GIF image is laid on counts too, not only the image.
    EXPECT_FALSE(picture.ProbeFile(test::WriteTempFile("huge-screen.gif", GifWithHugeScreen())));
    EXPECT_STREQ(picture.ErrorText(), "it declares 65535 \u00d7 65535 pixels, more than 200 megapixels");
    EXPECT_FALSE(picture.HasPicture());
}

TEST(PictureProbe, ThePicturesPixelsStayAsTheyWere)
{
    TFullDib picture;
    const Bytes small = Bmp24(16, 8);
    ASSERT_TRUE(test::LoadBytes(picture, small, "small.bmp"));
    const Bytes before(picture.Header(), picture.Header() + picture.BlockSize());
    ASSERT_TRUE(picture.ProbeFile(test::WriteTempFile("other.bmp", Bmp24(300, 200))));
    EXPECT_EQ(picture.Width(), 16);
    EXPECT_EQ(picture.Height(), 8);
    ASSERT_EQ(picture.BlockSize(), before.size());
    EXPECT_EQ(std::memcmp(picture.Header(), before.data(), before.size()), 0);
    EXPECT_EQ(picture.LoadCount(), 1);
}

} // namespace
} // namespace discforge
