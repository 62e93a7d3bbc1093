#include "input/InputDescription.h"

#include "InputTestSupport.h"

#include "core/ControlIds.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace discforge {
namespace {

using test::InputTableRig;
using test::MediaFigures;
using Lines = std::vector<std::string>;

TEST(DescribeVideo, WritesEveryLineOfAVideoWithStereoSound)
{
    const test::ScratchFolder folder;
    const std::string path = folder.WriteText("clip.avi", std::string(12345, 'x'));
    InputTableRig rig;
    rig.state.fourCCText = "XVID/XVID";
    MediaFigures media;
    media.width = 640;
    media.height = 480;
    media.frameRate = 29.97;
    media.frames = 900;
    media.duration = 300300000;
    media.hasAudio = true;
    media.sampleRate = 48000;
    media.totalSamples = 1441440;
    ASSERT_TRUE(rig.AddVideo(path, media));

    EXPECT_EQ(rig.LogLines(), (Lines{"File Name: " + path, "File 4CC: XVID/XVID", "File size: 12345", " ", "Video:",
                                     "  Resolution: 640 x 480", "  Frame Rate: 29.97", "  Total Frames: 900",
                                     "  Total Time: 00:00:30.03", "  Selected Frames: 900", " ", "Audio:",
                                     "  Channels: Stereo", "  Sample Rate: 48.000 kHz", "  Bits per Sample: 16",
                                     "  Total samples: 1441440", "  Selected samples: 1441440"}));
}

TEST(DescribeVideo, MonoEightBitSoundIsDescribedWithItsConversions)
{
    InputTableRig rig;
    MediaFigures media;
    media.hasAudio = true;
    media.channels = 1;
    media.bitsPerSample = 8;
    media.sampleRate = 22050;
    media.totalSamples = 88200;
    ASSERT_TRUE(rig.AddVideo("/v/missing.avi", media));

    const Lines lines = rig.LogLines();
    ASSERT_EQ(lines.size(), 17u);
    EXPECT_EQ(lines[2], "File size: 0");
    EXPECT_EQ(lines[12], "  Channels: Mono (will be converted to stereo)");
    EXPECT_EQ(lines[13], "  Sample Rate: 22.05 kHz (will be converted to 44.1 kHz)");
    EXPECT_EQ(lines[14], "  Bits per Sample: 8 (will be converted to 16)");
    EXPECT_EQ(rig.state.inputTable[0].targetSampleRate, 44100);
}

TEST(DescribeVideo, ExactlyTwentyFiveFramesASecondSuitsPalAndDescribingChangesNoStandard)
{
    EXPECT_EQ(StandardOfFrameRate(25.0), standardPal);
    for (double rate : {29.97, 23.976, 24.999999, 30.0, 0.0}) {
        EXPECT_EQ(StandardOfFrameRate(rate), standardNtsc) << rate;
    }
    // The batch's standard is the application's choice: opening and describing leave it.
    InputTableRig rig;
    MediaFigures pal;
    pal.frameRate = 25.0;
    ASSERT_TRUE(rig.AddVideo("/v/pal.avi", pal));
    EXPECT_EQ(rig.settings.tvStandard, standardNtsc);
    EXPECT_FALSE(rig.controls.IsChecked(control::palRadio));
}

TEST(DescribeList, WritesTheListLinesWithoutRateAndTime)
{
    const test::ScratchFolder folder;
    test::WriteBmp(folder.Path("a.bmp"), 8, 6);
    const std::string list = folder.WriteText("show.lst", "a.bmp\na.bmp\na.bmp\n");
    InputTableRig rig;
    rig.state.fourCCText = "";
    rig.state.currentPictureName = "/pictures/shown.bmp";
    rig.settings.tvStandard = standardPal;
    ASSERT_TRUE(rig.AddList(list));

    EXPECT_EQ(rig.LogLines(),
              (Lines{"File List Name: " + list, "File 4CC: ", "File size: 18", " ", "Video:",
                     "  Filename: /pictures/shown.bmp", "  Resolution: 8 x 6", "  Total Frames: 3",
                     "  Selected Frames: 3", " ", " Audio: none"}));
    EXPECT_EQ(rig.settings.tvStandard, standardPal);
}

TEST(DescribeLines, FileSizeSwitchesToMegabytesAboveOneBillionBytes)
{
    EXPECT_EQ(FileSizeLine(1000000000), "File size: 1000000000");
    EXPECT_EQ(FileSizeLine(1000000001), "File size(M): 1000");
    EXPECT_EQ(FileSizeLine(5000000000ULL), "File size(M): 5000");
    EXPECT_EQ(FileSizeLine(std::nullopt), "File size: 0");

    // Measured on a real (sparse) file.
    const test::ScratchFolder folder;
    const std::string path = folder.Path("big.avi");
    folder.WriteText("big.avi", "");
    std::filesystem::resize_file(path, 1000000001);
    InputEntry entry;
    entry.path = path;
    EXPECT_EQ(DescribeInputLines(entry, {})[2], "File size(M): 1000");
    std::filesystem::resize_file(path, 1000000000);
    EXPECT_EQ(DescribeInputLines(entry, {})[2], "File size: 1000000000");
}

TEST(DescribeLines, TotalTimeKeepsTheSecondsUnpadded)
{
    EXPECT_EQ(TotalTimeLine(37255000000), "  Total Time: 01:02:5.50");
    EXPECT_EQ(TotalTimeLine(0), "  Total Time: 00:00:0.00");
    EXPECT_EQ(TotalTimeLine(36000000000), "  Total Time: 01:00:0.00");
    EXPECT_EQ(TotalTimeLine(1234500000), "  Total Time: 00:02:3.45");
}

TEST(DescribeLines, EverySampleRateLine)
{
    EXPECT_EQ(SampleRateLine(16000), "  Sample Rate: 16.000 kHz (will be converted to 32.0 kHz)");
    EXPECT_EQ(SampleRateLine(22050), "  Sample Rate: 22.05 kHz (will be converted to 44.1 kHz)");
    EXPECT_EQ(SampleRateLine(24000), "  Sample Rate: 24.00 kHz (will be converted to 48.0 kHz)");
    EXPECT_EQ(SampleRateLine(11025), "  Sample Rate: 11.025 kHz (will be converted to 44.1 kHz)");
    EXPECT_EQ(SampleRateLine(8000), "  Sample Rate:  8.000 kHz (will be converted to 32.0 kHz)");
    EXPECT_EQ(SampleRateLine(12000), "  Sample Rate: 12.000 kHz (will be converted to 48.0 kHz)");
    EXPECT_EQ(SampleRateLine(44100), "  Sample Rate: 44.100 kHz");
    EXPECT_EQ(SampleRateLine(48000), "  Sample Rate: 48.000 kHz");
    EXPECT_EQ(SampleRateLine(32000), "  Sample Rate: 32.000 kHz");
}

} // namespace
} // namespace discforge

namespace discforge {
namespace {

std::string SuffixOf(int width, int height, Ratio pixel)
{
    InputEntry entry;
    entry.width = width;
    entry.height = height;
    entry.sourcePixel = pixel;
    return ShownShapeSuffix(entry);
}

TEST(InputDescription, TheSizeOfASourceWithPixelsNotSquareSaysHowItIsShown)
{
    EXPECT_EQ(SuffixOf(720, 576, {64, 45}), ", shown 16:9"); // wide DV
    EXPECT_EQ(SuffixOf(1440, 1080, {4, 3}), ", shown 16:9"); // HDV
    EXPECT_EQ(SuffixOf(720, 480, {8, 9}), ", shown 4:3");
    EXPECT_EQ(SuffixOf(720, 576, {2, 1}), ", shown 2.50:1");
    EXPECT_EQ(SuffixOf(720, 576, {1, 1}), "");
    EXPECT_EQ(SuffixOf(720, 576, {0, 1}), "");
    EXPECT_EQ(SuffixOf(0, 576, {64, 45}), "");
}

} // namespace
} // namespace discforge
