// JPEG files through libjpeg: grey, colour, progressive, truncated, and ones
// the library refuses. The expected pixels come from libjpeg decoding the same
// bytes on its own.
#include <gtest/gtest.h>

#include <jpeglib.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <random>

#include "PictureFiles.h"
#include "picture/PictureMessages.h"
#include "picture/TFullDib.h"
#include "picture/TPreviewDib.h"

namespace discforge {
namespace {

using test::Bytes;
using test::Rgb;

Bytes Gradient(int width, int height, int components)
{
    Bytes pixels(static_cast<std::size_t>(width) * height * components);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < components; ++c) {
                pixels[(static_cast<std::size_t>(y) * width + x) * components + c] =
                    static_cast<std::uint8_t>((x * 7 + y * 3 + c * 80) % 256);
            }
        }
    }
    return pixels;
}

// Compares every pixel with libjpeg's own decoding of the same file.
void ExpectSameAsLibjpeg(const TFullDib& dib, const Bytes& jpeg)
{
    int width = 0;
    int height = 0;
    int components = 0;
    const Bytes plain = test::DecodeJpegPlain(jpeg, width, height, components);
    ASSERT_EQ(dib.Width(), width);
    ASSERT_EQ(dib.Height(), height);
    ASSERT_EQ(dib.Depth(), components == 1 ? 8 : 24);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = plain.data() + (static_cast<std::size_t>(y) * width + x) * components;
            const Rgb expected = components == 1 ? Rgb{p[0], p[0], p[0]} : Rgb{p[2], p[1], p[0]};
            ASSERT_EQ(test::ColourAt(dib, x, height - 1 - y), expected) << x << "," << y;
        }
    }
}

TEST(JpegReader, GreyGivesEightBitsWithAGreyTable)
{
    const Bytes jpeg = test::MakeJpeg(33, 17, 1, Gradient(33, 17, 1), false);
    test::KeepAsSeed("jpeg", "grey", jpeg);
    TFullDib dib;
    ASSERT_TRUE(test::LoadBytes(dib, jpeg)) << dib.ErrorText();
    EXPECT_EQ(dib.Format(), PictureFormat::jpeg);
    EXPECT_EQ(dib.ColourCount(), 256);
    EXPECT_EQ(test::ColourAt(dib, 0, 0).green, test::IndexAt(dib, 0, 0));
    EXPECT_EQ(dib.Reader().jpegColourSpace, JCS_GRAYSCALE);
    EXPECT_FALSE(dib.Reader().jpegProgressive);
    ExpectSameAsLibjpeg(dib, jpeg);
}

TEST(JpegReader, ColourGivesBlueGreenRed)
{
    const Bytes jpeg = test::MakeJpeg(41, 29, 3, Gradient(41, 29, 3), false);
    test::KeepAsSeed("jpeg", "colour", jpeg);
    TFullDib dib;
    ASSERT_TRUE(test::LoadBytes(dib, jpeg)) << dib.ErrorText();
    EXPECT_EQ(dib.Reader().jpegColourSpace, JCS_YCbCr);
    ExpectSameAsLibjpeg(dib, jpeg);

    // Pure red stays red: the channels are not swapped twice.
    Bytes red(8 * 8 * 3, 0);
    for (std::size_t i = 0; i < red.size(); i += 3) {
        red[i] = 255;
    }
    ASSERT_TRUE(test::LoadBytes(dib, test::MakeJpeg(8, 8, 3, red, false, 100)));
    const Rgb pixel = test::ColourAt(dib, 4, 4);
    EXPECT_GT(pixel.red, 240);
    EXPECT_LT(pixel.blue, 16);
}

TEST(JpegReader, ProgressiveFilesDecodeWhole)
{
    const Bytes jpeg = test::MakeJpeg(50, 40, 3, Gradient(50, 40, 3), true);
    test::KeepAsSeed("jpeg", "progressive", jpeg);
    TFullDib dib;
    ASSERT_TRUE(test::LoadBytes(dib, jpeg)) << dib.ErrorText();
    EXPECT_TRUE(dib.Reader().jpegProgressive);
    ExpectSameAsLibjpeg(dib, jpeg);
}

TEST(JpegReader, TruncatedFileKeepsWhatArrivedWithTheLibrarysWarning)
{
    std::mt19937 random(1);
    Bytes pixels = test::RandomBytes(random, 64 * 64 * 3);
    Bytes jpeg = test::MakeJpeg(64, 64, 3, pixels, false);
    const Bytes whole = jpeg;
    jpeg.resize(jpeg.size() * 2 / 3);
    test::KeepAsSeed("jpeg", "truncated", jpeg);
    TFullDib dib;
    ASSERT_TRUE(test::LoadBytes(dib, jpeg)) << dib.ErrorText();
    EXPECT_NE(std::string(dib.ErrorText()).find("Premature end of JPEG file"), std::string::npos) << dib.ErrorText();
    EXPECT_EQ(dib.Height(), 64);
    TFullDib full;
    ASSERT_TRUE(test::LoadBytes(full, whole));
    EXPECT_EQ(0, std::memcmp(dib.Row(63), full.Row(63), 64 * 3)); // the top row arrived
}

TEST(JpegReader, FailureBeforeTheFirstRowIsAFailureWithTheLibrarysMessage)
{
    Bytes jpeg = test::MakeJpeg(16, 16, 3, Gradient(16, 16, 3), false);
    jpeg.resize(30);
    TFullDib dib;
    EXPECT_FALSE(test::LoadBytes(dib, jpeg));
    EXPECT_EQ(dib.Format(), PictureFormat::jpeg);
    EXPECT_NE(std::string(dib.ErrorText()), "");
    EXPECT_EQ(dib.CurrentRow(), 0);
}

TEST(JpegReader, ColourSpacesWithoutAnRgbConversionFail)
{
    // A four-component (CMYK) file: libjpeg cannot make RGB of it.
    jpeg_compress_struct compressor;
    jpeg_error_mgr errors;
    compressor.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compressor);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&compressor, &buffer, &size);
    compressor.image_width = 8;
    compressor.image_height = 8;
    compressor.input_components = 4;
    compressor.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&compressor);
    jpeg_start_compress(&compressor, TRUE);
    Bytes row(8 * 4, 100);
    while (compressor.next_scanline < 8) {
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&compressor, &pointer, 1);
    }
    jpeg_finish_compress(&compressor);
    jpeg_destroy_compress(&compressor);
    const Bytes cmyk(buffer, buffer + size);
    std::free(buffer);
    test::KeepAsSeed("jpeg", "cmyk", cmyk);

    TFullDib dib;
    EXPECT_FALSE(test::LoadBytes(dib, cmyk));
    EXPECT_NE(std::string(dib.ErrorText()).find("color conversion"), std::string::npos) << dib.ErrorText();
}

TEST(JpegReader, OversizedPicturesAreRefusedBeforeAllocation)
{
    Bytes jpeg = test::MakeJpeg(16, 16, 3, Gradient(16, 16, 3), false);
    // Patch the frame header's height and width to 60000 x 60000.
    for (std::size_t i = 0; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = 0xEA;
            jpeg[i + 6] = 0x60;
            jpeg[i + 7] = 0xEA;
            jpeg[i + 8] = 0x60;
            break;
        }
    }
    TFullDib dib;
    EXPECT_FALSE(test::LoadBytes(dib, jpeg));
    EXPECT_STREQ(dib.ErrorText(), "it declares 60000 \u00d7 60000 pixels, more than 200 megapixels");
    EXPECT_EQ(dib.DeclaredWidth(), 60000);
    EXPECT_FALSE(dib.HasPicture());
}

// A JPEG of several scans with its colour at full size, 8 x 8 pixels, whose
// frame header is then made to declare `width` x `height`.
Bytes FullColourProgressive(int width, int height)
{
    jpeg_compress_struct compressor;
    jpeg_error_mgr errors;
    compressor.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compressor);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&compressor, &out, &size);
    compressor.image_width = 8;
    compressor.image_height = 8;
    compressor.input_components = 3;
    compressor.in_color_space = JCS_RGB;
    jpeg_set_defaults(&compressor);
    for (int c = 0; c < 3; ++c) {
        compressor.comp_info[c].h_samp_factor = 1;
        compressor.comp_info[c].v_samp_factor = 1;
    }
    jpeg_simple_progression(&compressor);
    jpeg_start_compress(&compressor, TRUE);
    std::uint8_t row[8 * 3] = {};
    JSAMPROW rows[1] = {row};
    for (int y = 0; y < 8; ++y) {
        jpeg_write_scanlines(&compressor, rows, 1);
    }
    jpeg_finish_compress(&compressor);
    Bytes jpeg(out, out + size);
    std::free(out);
    jpeg_destroy_compress(&compressor);
    for (std::size_t i = 0; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC2) {
            jpeg[i + 5] = static_cast<std::uint8_t>(height >> 8);
            jpeg[i + 6] = static_cast<std::uint8_t>(height & 0xFF);
            jpeg[i + 7] = static_cast<std::uint8_t>(width >> 8);
            jpeg[i + 8] = static_cast<std::uint8_t>(width & 0xFF);
            break;
        }
    }
    return jpeg;
}

// Under the pixel limit, but the library would keep 3 x 2375 x 1250 blocks of
// 128 bytes (1087 MB) of coefficients for it; a 108-megapixel one (12000 x 9000,
// 648 MB) may be read, and is only cut short by its missing data.
TEST(JpegReader, AFileOfSeveralScansIsRefusedWhenItsCoefficientsWouldNotFit)
{
    TFullDib dib;
    EXPECT_FALSE(test::LoadBytes(dib, FullColourProgressive(19000, 10000)));
    EXPECT_STREQ(dib.ErrorText(), "it declares 19000 \u00d7 10000 pixels in several scans, which need 1087 MB to decode");
    TPreviewDib panel(nullptr, {0, 0, 160, 120});
    EXPECT_FALSE(test::LoadBytes(panel, FullColourProgressive(19000, 10000)));
    EXPECT_STREQ(panel.ErrorText(), "it declares 19000 \u00d7 10000 pixels in several scans, which need 1087 MB to decode");

    TFullDib phone;
    phone.SetLeastSize([](int, int) { return ReadSize{720, 480}; });
    test::LoadBytes(phone, FullColourProgressive(12000, 9000));
    EXPECT_EQ(phone.DeclaredWidth(), 12000);
    EXPECT_EQ(std::string(phone.ErrorText()).find("it declares"), std::string::npos) << phone.ErrorText();
}

} // namespace
} // namespace discforge
