// Recognition of picture files by their content.
#include <gtest/gtest.h>

#include <filesystem>

#include "PictureFiles.h"
#include "picture/PictureMessages.h"
#include "picture/TFullDib.h"

namespace discforge {
namespace {

using test::Bytes;

// A 2 x 1 24-bit JPEG made by libjpeg.
Bytes TinyJpeg()
{
    return test::MakeJpeg(2, 1, 3, {255, 0, 0, 0, 0, 255}, false);
}

TEST(LoadFile, MissingFileSaysSo)
{
    TFullDib dib;
    EXPECT_FALSE(dib.LoadFile("/nonexistent/picture.bmp"));
    EXPECT_STREQ(dib.ErrorText(), "Error opening file /nonexistent/picture.bmp");
    EXPECT_EQ(dib.Format(), PictureFormat::none);
}

TEST(LoadFile, FewerThanEightBytesIsEmptyOrInvalid)
{
    TFullDib dib;
    const std::string path = test::WriteTempFile("short.gif", {'G', 'I', 'F', '8', '9', 'a', 0});
    EXPECT_FALSE(dib.LoadFile(path));
    EXPECT_EQ(std::string(dib.ErrorText()), path + " is an empty or invalid file");
    std::filesystem::remove(path);
}

TEST(LoadFile, UnknownContentIsAnUnknownFileType)
{
    TFullDib dib;
    const std::string path = test::WriteTempFile("text.bmp", Bytes(40, 'x'));
    EXPECT_FALSE(dib.LoadFile(path));
    EXPECT_EQ(std::string(dib.ErrorText()), path + " is an unknown file type");
    std::filesystem::remove(path);
}

TEST(LoadFile, RecognisesByContentNotByName)
{
    TFullDib dib;
    ASSERT_TRUE(test::LoadBytes(dib, TinyJpeg(), "picture.gif"));
    EXPECT_EQ(dib.Format(), PictureFormat::jpeg);
    EXPECT_EQ(dib.Width(), 2);
    EXPECT_EQ(dib.Depth(), 24);
}

TEST(LoadFile, AFirstByteOf0x0AIsAlwaysPcx)
{
    TFullDib dib;
    Bytes notPcx(200, 0);
    notPcx[0] = 0x0A;
    EXPECT_FALSE(test::LoadBytes(dib, notPcx));
    EXPECT_EQ(dib.Format(), PictureFormat::pcx);
}

TEST(LoadFile, JpegBehindOtherDataIsFoundInTheFirst1024Bytes)
{
    Bytes file(100, 0x11);
    file[10] = 0xFF; // 0xFF followed by another 0xFF does not start a match
    file[11] = 0xFF;
    file[12] = 0xD8;
    const Bytes jpeg = TinyJpeg();
    file.insert(file.end(), jpeg.begin(), jpeg.end());
    file.resize(std::max<std::size_t>(file.size(), 1100), 0);
    TFullDib dib;
    ASSERT_TRUE(test::LoadBytes(dib, file));
    EXPECT_EQ(dib.Format(), PictureFormat::jpeg);
    EXPECT_EQ(dib.Width(), 2);

    // Shorter than 1024 bytes: not searched.
    Bytes shortFile(100, 0x11);
    shortFile.insert(shortFile.end(), jpeg.begin(), jpeg.end());
    ASSERT_LT(shortFile.size(), 1024u);
    EXPECT_FALSE(test::LoadBytes(dib, shortFile));
    EXPECT_NE(std::string(dib.ErrorText()).find("is an unknown file type"), std::string::npos);
}

TEST(LoadFile, JpegWithAFourthByteBelow0xE0NeedsTheSearch)
{
    Bytes jpeg = TinyJpeg();
    ASSERT_GE(jpeg[3], 0xE0);
    jpeg[3] = 0xDB; // a table marker straight after the start
    TFullDib dib;
    EXPECT_FALSE(test::LoadBytes(dib, jpeg));
    jpeg.resize(1100, 0);
    test::LoadBytes(dib, jpeg); // the damaged segment may or may not decode
    EXPECT_EQ(dib.Format(), PictureFormat::jpeg);
}

} // namespace
} // namespace discforge
