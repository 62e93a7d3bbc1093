// Lists of camera-sized JPEGs made by the ffmpeg program: each picture is
// decoded once per run, at no more than the frame needs, every frame shows its
// own picture, and a list holding a picture no reader may use is refused when
// it opens, naming its line, file and why.
#include "ConversionRig.h"

#include <gtest/gtest.h>

#include "SampleMedia.h"
#include "app/AppMessages.h"
#include "picture/PictureFitting.h"
#include "support/StreamChecks.h"
#include "TestPaths.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace discforge::test {
namespace {

constexpr int frameWidth = 720;
constexpr int frameHeight = 576;
constexpr int picturesInList = 4;

class ListPictureSupplyTest : public ::testing::Test {
protected:
    // The numbered pictures of a sample list, each made a JPEG of `width` x
    // `height` by ffmpeg, in a list of their own; returns the list's path.
    static std::string JpegList(int width, int height)
    {
        const std::string source = SampleList(picturesInList, 96, 64, true);
        const std::string folder = std::filesystem::path(source).parent_path().string();
        const std::string size = std::to_string(width) + "x" + std::to_string(height);
        const std::string list = SampleFolder() + "/jpegs" + size + ".lst";
        std::ofstream out(list);
        for (int k = 0; k < picturesInList; ++k) {
            char name[32];
            std::snprintf(name, sizeof name, "picture%05d.bmp", k);
            const std::string jpeg = FfmpegCopy(folder + "/" + name,
                "-vf scale=" + std::to_string(width) + ":" + std::to_string(height) + ":flags=neighbor -q:v 2",
                "photo" + size + "_" + std::to_string(k) + ".jpg");
            out << jpeg << "\n";
        }
        return list;
    }

    void UseList(const std::string& list)
    {
        ASSERT_TRUE(rig_.AddInput(list));
        rig_.MakeCurrent(0);
        rig_.core.settings.tvStandard = standardPal;
        rig_.core.settings.outputFormat = formatDvd;
        rig_.core.encodeParameters.width = frameWidth;
        rig_.core.encodeParameters.height = frameHeight;
        rig_.core.media.run.encoderBusy = true;
    }

    Supplied Supply(int frame)
    {
        Supplied supplied;
        supplied.result = rig_.core.videoSupply.SupplyVideoFrame(frame, &supplied.rowBytes, &supplied.pixels);
        return supplied;
    }

    // The picture as it was made before pictures were kept and reduced: read
    // whole, made 32-bit and fitted to the frame.
    static std::vector<std::uint8_t> MadeWhole(const std::string& path)
    {
        TFullDib picture;
        EXPECT_TRUE(picture.LoadFile(path)) << picture.ErrorText();
        EXPECT_TRUE(picture.ConvertDepth(32));
        FitRequest request;
        request.targetWidth = frameWidth;
        request.targetHeight = frameHeight;
        // A 720 x 576 frame shown 4:3 has pixels 16:15 wide.
        request.framePixel = {16, 15};
        EXPECT_TRUE(FitPicture(picture, request));
        return {picture.Pixels(), picture.Pixels() + static_cast<std::size_t>(frameWidth) * 4 * frameHeight};
    }

    static std::string LineOf(const std::string& list, int k)
    {
        std::ifstream in(list);
        std::string line;
        for (int i = 0; i <= k; ++i) {
            std::getline(in, line);
        }
        return line;
    }

    ConversionRig rig_;
};

TEST_F(ListPictureSupplyTest, LargePhotosAreDecodedOnceEachAndEveryFrameShowsItsOwn)
{
    const std::string list = JpegList(3000, 2000);
    UseList(list);
    // Opening the list read its first picture small, but knows its whole size.
    EXPECT_EQ(rig_.Entry(0).width, 3000);
    EXPECT_EQ(rig_.Entry(0).height, 2000);
    const int loadsBefore = rig_.core.workPicture.LoadCount();
    // 3000 x 2000 (3:2) is 720 x 512 in a frame shown 4:3, 32 black rows above and below.
    for (int frame = 0; frame < picturesInList * 25; ++frame) {
        const Supplied supplied = Supply(frame);
        ASSERT_EQ(supplied.result, 0) << frame;
        ASSERT_EQ(supplied.rowBytes, frameWidth * 4);
        EXPECT_EQ(NumberInPicture(supplied.pixels + 32 * supplied.rowBytes, supplied.rowBytes, 512), frame / 25) << frame;
        EXPECT_EQ(PixelAt(supplied, frameHeight, 360, 10), 0u);
    }
    EXPECT_EQ(rig_.core.workPicture.LoadCount() - loadsBefore, picturesInList);
    // Read at 2/8 of its size (750 x 500), the picture stays close to the one read whole.
    const Supplied last = Supply(picturesInList * 25 - 1);
    const std::vector<std::uint8_t> whole = MadeWhole(LineOf(list, picturesInList - 1));
    double difference = 0;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        difference += std::abs(static_cast<int>(whole[i]) - static_cast<int>(last.pixels[i]));
    }
    EXPECT_LT(difference / whole.size(), 2.0);
}

TEST_F(ListPictureSupplyTest, PicturesAtOrBelowTheFrameSizeGiveTheBytesTheyAlwaysGave)
{
    const std::string list = JpegList(640, 480);
    UseList(list);
    const int loadsBefore = rig_.core.workPicture.LoadCount();
    for (int k = 0; k < picturesInList; ++k) {
        const std::vector<std::uint8_t> expected = MadeWhole(LineOf(list, k));
        for (int frame = 25 * k; frame < 25 * k + 25; frame += 8) {
            const Supplied supplied = Supply(frame);
            ASSERT_EQ(supplied.result, 0);
            ASSERT_EQ(std::memcmp(supplied.pixels, expected.data(), expected.size()), 0) << frame;
        }
    }
    EXPECT_EQ(rig_.core.workPicture.LoadCount() - loadsBefore, picturesInList);
}

TEST_F(ListPictureSupplyTest, OutsideARunOrWhenThePictureWasReadAgainTheListPictureIsMadeAgain)
{
    UseList(JpegList(640, 480));
    ASSERT_EQ(Supply(0).result, 0);
    const int loads = rig_.core.workPicture.LoadCount();
    ASSERT_EQ(Supply(1).result, 0);
    EXPECT_EQ(rig_.core.workPicture.LoadCount(), loads);
    // Something else read into the work picture meanwhile.
    ASSERT_TRUE(rig_.core.workPicture.LoadFile(LineOf(rig_.Entry(0).path, 3)));
    const Supplied again = Supply(2);
    ASSERT_EQ(again.result, 0);
    EXPECT_EQ(NumberInPicture(again.pixels, again.rowBytes, frameHeight), 0);
    rig_.core.media.run.encoderBusy = false;
    const int idle = rig_.core.workPicture.LoadCount();
    rig_.core.encodeParameters.width = 0;
    rig_.core.inputs.sharedWidth = frameWidth;
    rig_.core.inputs.sharedHeight = frameHeight;
    ASSERT_EQ(Supply(3).result, 0);
    ASSERT_EQ(Supply(4).result, 0);
    EXPECT_EQ(rig_.core.workPicture.LoadCount() - idle, 2);
}

TEST_F(ListPictureSupplyTest, AListWithAnUnusablePictureIsRefusedWhenItOpensNamingLineFileAndWhy)
{
    const std::string list = JpegList(640, 480);
    const std::string huge = std::string(DISCFORGE_MALFORMED_DIR) + "/jpeg-declares-65494-by-63458-in-several-scans.jpg";
    const std::string missing = SampleFolder() + "/no-such-photo.jpg";
    const std::string notAPicture = SampleFolder() + "/notes.jpg";
    std::ofstream(notAPicture) << "a text file someone named like a photo, long enough to hold any header\n";
    const std::string cutPng = SampleFolder() + "/cut.png";
    {
        const std::string whole = FfmpegCopy(LineOf(list, 1), "", "whole.png");
        std::ifstream in(whole, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
        std::ofstream(cutPng, std::ios::binary).write(bytes.data(), 20);
    }
    struct Case {
        std::string bad;
        std::string why;
    };
    const Case cases[] = {
        {huge, "it declares 65494 \u00d7 63458 pixels, more than 200 megapixels"},
        {missing, "Error opening file " + missing},
        {notAPicture, notAPicture + " is an unknown file type"},
        {cutPng, ""},
    };
    for (const Case& c : cases) {
        const std::string withBad = SampleFolder() + "/with-bad.lst";
        {
            std::ofstream out(withBad);
            out << LineOf(list, 0) << "\n" << LineOf(list, 1) << "\n" << c.bad << "\n" << LineOf(list, 2) << "\n";
        }
        rig_.messages.shown.clear();
        EXPECT_FALSE(rig_.AddInput(withBad)) << c.bad;
        EXPECT_EQ(rig_.core.inputs.inputCount, 0) << c.bad;
        ASSERT_EQ(rig_.messages.shown.size(), 1u) << c.bad;
        const std::string prefix = withBad + ", line 3: the picture " + c.bad + " cannot be used: ";
        const std::string& text = rig_.messages.shown[0].text;
        EXPECT_EQ(text.substr(0, prefix.size()), prefix) << text;
        if (c.why.empty()) {
            EXPECT_GT(text.size(), prefix.size()) << "a reason follows: " << text;
        } else {
            EXPECT_EQ(text.substr(std::min(prefix.size(), text.size())), c.why);
        }
    }
    // The same list without the bad line opens.
    EXPECT_TRUE(rig_.AddInput(list));
}

TEST_F(ListPictureSupplyTest, APictureSpoiledAfterTheListOpenedIsNamedWhenTheRunReachesIt)
{
    const std::string list = JpegList(640, 480);
    const std::string second = SampleFolder() + "/spoiled-later.jpg";
    std::filesystem::copy_file(LineOf(list, 1), second, std::filesystem::copy_options::overwrite_existing);
    const std::string spoiled = SampleFolder() + "/spoiled.lst";
    std::ofstream(spoiled) << LineOf(list, 0) << "\n" << second << "\n" << LineOf(list, 2) << "\n";
    UseList(spoiled);
    const std::string huge
        = std::string(DISCFORGE_MALFORMED_DIR) + "/jpeg-declares-65494-by-63458-in-several-scans.jpg";
    std::filesystem::copy_file(huge, second, std::filesystem::copy_options::overwrite_existing);
    ASSERT_EQ(Supply(0).result, 0);
    EXPECT_EQ(Supply(25).result, videoPictureLoadFailed);
    ASSERT_EQ(rig_.messages.shown.size(), 1u);
    EXPECT_EQ(rig_.messages.shown[0].text,
        spoiled + ", line 2: the picture " + second
            + " cannot be used: it declares 65494 \u00d7 63458 pixels, more than 200 megapixels");
    EXPECT_NE(rig_.messages.shown[0].caption.find(message::listPictureCaption), std::string::npos);
    const Supplied third = Supply(50);
    ASSERT_EQ(third.result, 0);
    EXPECT_EQ(NumberInPicture(third.pixels, third.rowBytes, frameHeight), 2);
}

// A JPEG made by ffmpeg, 640 x 320 with a red square in its top-left corner,
// given an Exif block that says "turn a quarter clockwise" (orientation 6).
std::string TurnedPhoto()
{
    const std::string made = SampleFolder() + "/turned-source.jpg";
    const CommandResult result = RunCommand("ffmpeg -nostdin -v error -y -f lavfi -i color=c=gray:s=640x320 "
                                            "-vf drawbox=x=0:y=0:w=80:h=80:c=red:t=fill -frames:v 1 -q:v 2 "
        + Quoted(made));
    EXPECT_EQ(result.exitCode, 0) << result.output;
    std::ifstream in(made, std::ios::binary);
    std::vector<std::uint8_t> jpeg((std::istreambuf_iterator<char>(in)), {});
    // "Exif\0\0", a little-endian TIFF header, one entry: orientation (0x0112), SHORT, 1, 6.
    const std::vector<std::uint8_t> app1 = {0xFF, 0xE1, 0, 34, 'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0,
        1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 0};
    jpeg.insert(jpeg.begin() + 2, app1.begin(), app1.end());
    const std::string turned = SampleFolder() + "/turned.jpg";
    std::ofstream(turned, std::ios::binary).write(reinterpret_cast<const char*>(jpeg.data()), static_cast<std::streamsize>(jpeg.size()));
    return turned;
}

TEST_F(ListPictureSupplyTest, APhotoTurnedByItsOrientationIsConvertedUpright)
{
    const std::string list = SampleFolder() + "/turned.lst";
    std::ofstream(list) << TurnedPhoto() << "\n";
    UseList(list);
    EXPECT_EQ(rig_.Entry(0).width, 320);
    EXPECT_EQ(rig_.Entry(0).height, 640);
    const Supplied supplied = Supply(0);
    ASSERT_EQ(supplied.result, 0);
    // Upright 320 x 640 (1:2) takes 3/8 of a frame shown 4:3: 270 x 576, from
    // column 225; the red square went to its top right.
    EXPECT_EQ(BlackColumnsOnTheLeft(supplied, frameHeight), 225);
    const std::uint32_t topRight = PixelAt(supplied, frameHeight, 225 + 270 - 20, 20);
    const std::uint32_t topLeft = PixelAt(supplied, frameHeight, 225 + 20, 20);
    EXPECT_GT((topRight >> 16) & 0xFF, 200u);
    EXPECT_LT((topRight >> 8) & 0xFF, 60u);
    EXPECT_LT((topLeft >> 16) & 0xFF, 160u) << "grey, not red";
}

} // namespace
} // namespace discforge::test
