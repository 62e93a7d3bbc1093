// PNG files made by the ffmpeg program in the kinds users bring: 8 and 16 bits,
// palette, grey, with transparency, interlaced. The expected pixels come from
// ffmpeg decoding the same file, laid on black where it has transparency.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "PictureFiles.h"
#include "picture/TFullDib.h"
#include "picture/TPreviewDib.h"
#include "support/StreamChecks.h"

namespace discforge {
namespace {

using test::Bytes;
using test::Rgb;

constexpr int width = 62;
constexpr int height = 38;

Bytes ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// A folder of this test's own: the tests of this file run in parallel processes.
std::string Folder()
{
    const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    const std::string folder
        = (std::filesystem::temp_directory_path() / ("discforge-png-tests-" + std::to_string(getpid())) / test).string();
    std::filesystem::create_directories(folder);
    return folder;
}

// A picture of colour ramps whose left third is opaque and whose alpha grows
// downwards elsewhere, written by ffmpeg as `pixelFormat` (with `flags`).
std::string FfmpegPng(const std::string& pixelFormat, const std::string& flags = "")
{
    const std::string path = Folder() + "/" + pixelFormat + (flags.empty() ? "" : "-interlaced") + ".png";
    const std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i color=c=black:s=" + std::to_string(width)
        + "x" + std::to_string(height) + " -frames:v 1 -vf \"format=rgba,geq=r='X*4':g='Y*6':b='255-X*3':a='if(lt(X,20),255,Y*7)'\" "
        + flags + " -pix_fmt " + pixelFormat + " " + test::Quoted(path);
    const test::CommandResult made = test::RunCommand(command);
    if (made.exitCode != 0) {
        ADD_FAILURE() << made.output;
    }
    return path;
}

// ffmpeg's own decoding: rows top first, red, green, blue, alpha.
Bytes FfmpegRgba(const std::string& path)
{
    const std::string raw = path + ".rgba";
    const test::CommandResult decoded
        = test::RunCommand("ffmpeg -nostdin -v error -y -i " + test::Quoted(path) + " -f rawvideo -pix_fmt rgba " + test::Quoted(raw));
    EXPECT_EQ(decoded.exitCode, 0) << decoded.output;
    return ReadAll(raw);
}

struct Kind {
    const char* pixelFormat;
    const char* flags;
    int depth;     // of the picture read
    int tolerance; // 16-bit samples: the two ways to 8 bits may differ by one
};

TEST(PngReader, EveryKindUsersBringReadsAsFfmpegDecodesIt)
{
    const Kind kinds[] = {
        {"rgb24", "", 24, 0},
        {"rgb48be", "", 24, 1},
        {"pal8", "", 0, 0},
        {"gray", "", 8, 0},
        {"gray16be", "", 8, 1},
        {"monob", "", 8, 0},
        {"rgba", "", 32, 1},
        {"rgba64be", "", 32, 2},
        {"ya8", "", 32, 1},
        {"rgb24", "-flags +ildct", 24, 0},
        {"rgba", "-flags +ildct", 32, 1},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(std::string(kind.pixelFormat) + " " + kind.flags);
        const std::string path = FfmpegPng(kind.pixelFormat, kind.flags);
        const Bytes expected = FfmpegRgba(path);
        ASSERT_EQ(expected.size(), static_cast<std::size_t>(width) * height * 4);
        test::KeepAsSeed("png", std::string(kind.pixelFormat) + (*kind.flags ? "-interlaced" : ""), ReadAll(path));
        TFullDib dib;
        ASSERT_TRUE(dib.LoadFile(path)) << dib.ErrorText();
        EXPECT_EQ(dib.Format(), PictureFormat::png);
        ASSERT_EQ(dib.Width(), width);
        ASSERT_EQ(dib.Height(), height);
        if (kind.depth != 0) {
            EXPECT_EQ(dib.Depth(), kind.depth);
        }
        int worst = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const std::uint8_t* p = expected.data() + (static_cast<std::size_t>(y) * width + x) * 4;
                const auto onBlack = [alpha = p[3]](int c) { return (c * alpha + 127) / 255; };
                const Rgb got = test::ColourAt(dib, x, height - 1 - y);
                worst = std::max({worst, std::abs(got.red - onBlack(p[0])), std::abs(got.green - onBlack(p[1])),
                    std::abs(got.blue - onBlack(p[2]))});
            }
        }
        EXPECT_LE(worst, kind.tolerance);
        if (kind.depth == 32) {
            EXPECT_EQ(dib.Row(0)[3], 0) << "the fourth byte is not alpha any more";
        }
    }
}

TEST(PngReader, APngIsRecognisedByItsContentAndThePanelShowsIt)
{
    const Bytes png = ReadAll(FfmpegPng("rgb24"));
    TFullDib dib;
    ASSERT_TRUE(test::LoadBytes(dib, png, "named-as-a-bitmap.bmp")) << dib.ErrorText();
    EXPECT_EQ(dib.Format(), PictureFormat::png);

    const std::string path = test::WriteTempFile("panel.png", png);
    TPreviewDib panel(nullptr, {0, 0, 160, 120});
    ASSERT_TRUE(panel.LoadFile(path)) << panel.ErrorText();
    EXPECT_EQ(panel.Format(), PictureFormat::png);
    EXPECT_EQ(panel.DeclaredWidth(), width);
    const PanelFit& fit = panel.Shown();
    ASSERT_EQ(fit.shownWidth, width);
    // The top-right pixel: red 244 (61 x 4), green 0, blue 72 (255 - 61 x 3).
    const std::uint8_t* p = panel.Row(fit.verticalOffset + fit.shownHeight - 1) + 3 * (fit.horizontalOffset + width - 1);
    EXPECT_EQ(p[2], 244);
    EXPECT_EQ(p[1], 0);
    EXPECT_EQ(p[0], 72);
}

// The standard CRC of PNG chunks (polynomial 0xEDB88320), bit by bit.
std::uint32_t ChunkCrc(const std::uint8_t* data, std::size_t size)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return crc ^ 0xFFFFFFFFu;
}

// The header chunk declaring another size, with its CRC made right again.
Bytes WithSize(Bytes png, std::uint32_t w, std::uint32_t h)
{
    for (int i = 0; i < 4; ++i) {
        png[16 + i] = static_cast<std::uint8_t>(w >> (24 - 8 * i));
        png[20 + i] = static_cast<std::uint8_t>(h >> (24 - 8 * i));
    }
    const std::uint32_t crc = ChunkCrc(png.data() + 12, 17);
    for (int i = 0; i < 4; ++i) {
        png[29 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    }
    return png;
}

TEST(PngReader, DamagedFilesGiveTheirMessage)
{
    const Bytes png = ReadAll(FfmpegPng("rgb24"));
    ASSERT_GT(png.size(), 100u);
    TFullDib dib;

    Bytes badCrc = png;
    badCrc[29] ^= 0xFF;
    EXPECT_FALSE(test::LoadBytes(dib, badCrc));
    EXPECT_STREQ(dib.ErrorText(), "IHDR: CRC error");

    EXPECT_FALSE(test::LoadBytes(dib, Bytes(png.begin(), png.begin() + 20)));
    EXPECT_STRNE(dib.ErrorText(), "");
    EXPECT_FALSE(dib.HasPicture() && dib.CurrentRow() > 0);

    EXPECT_FALSE(test::LoadBytes(dib, WithSize(png, 30000, 30000)));
    EXPECT_STREQ(dib.ErrorText(), "it declares 30000 \u00d7 30000 pixels, more than 200 megapixels");
    TPreviewDib panel(nullptr, {0, 0, 160, 120});
    EXPECT_FALSE(test::LoadBytes(panel, WithSize(png, 30000, 30000)));
    EXPECT_STREQ(panel.ErrorText(), "it declares 30000 \u00d7 30000 pixels, more than 200 megapixels");

    EXPECT_FALSE(test::LoadBytes(dib, WithSize(png, 0, 10)));
    EXPECT_STREQ(dib.ErrorText(), "Invalid IHDR data");

    // Cut inside the pixels: the rows that came are kept, and the text says why it ended.
    const Bytes cut(png.begin(), png.begin() + static_cast<std::ptrdiff_t>(png.size() / 2));
    if (test::LoadBytes(dib, cut)) {
        EXPECT_GT(dib.CurrentRow(), 0);
        EXPECT_STRNE(dib.ErrorText(), "");
        EXPECT_EQ(dib.Height(), height);
    } else {
        EXPECT_STRNE(dib.ErrorText(), "");
    }
}

} // namespace
} // namespace discforge
