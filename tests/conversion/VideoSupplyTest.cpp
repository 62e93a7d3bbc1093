#include "ConversionRig.h"

#include <gtest/gtest.h>

#include "SampleMedia.h"
#include "app/ConversionRun.h"
#include "input/StreamGraph.h"
#include "input/StreamObjects.h"
#include "mediagen/MediaGen.h"
#include "pattern/FramePattern.h"
#include "picture/PictureFitting.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace discforge::test {
namespace {

class VideoSupplyTest : public ::testing::Test {
protected:
    Supplied Supply(int frame)
    {
        Supplied supplied;
        supplied.result = rig_.core.videoSupply.SupplyVideoFrame(frame, &supplied.rowBytes, &supplied.pixels);
        return supplied;
    }

    // A silent AVI of numbered frames at 25 frames per second.
    static std::string SilentAvi(mediagen::VideoCodec codec, int width, int height, int frames)
    {
        mediagen::AviRecipe recipe;
        recipe.video = codec;
        recipe.audio = mediagen::AudioForm::None;
        recipe.width = width;
        recipe.height = height;
        recipe.frames = frames;
        return SampleAvi(recipe);
    }

    // At PAL a list shows picture k from output frame 25 x k on.
    void UseList(int width, int height, int outputWidth, int outputHeight)
    {
        ASSERT_TRUE(rig_.AddInput(SampleList(10, width, height)));
        rig_.MakeCurrent(0);
        rig_.core.settings.tvStandard = standardPal;
        rig_.Entry(0).pictureOptions.outputWidth = outputWidth;
        rig_.Entry(0).pictureOptions.outputHeight = outputHeight;
    }

    ConversionRig rig_;
};

TEST_F(VideoSupplyTest, AListPlaysOnePicturePerSecondAndHoldsItsLastPictureToTheEnd)
{
    UseList(96, 64, 96, 64);
    struct Case {
        int standard;
        int lastFrame; // of the run: ten seconds
        std::vector<int> changes; // the frames that show the next picture
    };
    const Case cases[] = {
        {standardNtsc, 298, {30, 60, 90, 120, 150, 180, 210, 240, 270}},
        {standardPal, 249, {25, 50, 75, 100, 125, 150, 175, 200, 225}},
    };
    for (const Case& c : cases) {
        rig_.core.settings.tvStandard = c.standard;
        EXPECT_EQ(LastOutputFrame(rig_.Entry(0).selectedFrames, rig_.Entry(0).frameRate, c.standard), c.lastFrame);
        std::vector<int> changes;
        std::int64_t shown = 0;
        // A few frames past the end too: the last picture holds.
        for (int frame = 0; frame <= c.lastFrame + 3; ++frame) {
            const Supplied supplied = Supply(frame);
            ASSERT_EQ(supplied.result, 0) << frame;
            ASSERT_EQ(supplied.rowBytes, 96 * 4);
            const std::int64_t number = NumberInPicture(supplied.pixels, supplied.rowBytes, 64);
            if (number != shown) {
                EXPECT_EQ(number, shown + 1) << "frame " << frame;
                changes.push_back(frame);
                shown = number;
            }
        }
        EXPECT_EQ(changes, c.changes) << "standard " << c.standard;
        EXPECT_EQ(rig_.core.videoSupply.ShownFrame(), 9);
    }
}

TEST_F(VideoSupplyTest, AListAfterAnInputOfTheAviReaderShowsItsOwnPictures)
{
    ASSERT_TRUE(rig_.AddInput(SilentAvi(mediagen::VideoCodec::Mjpeg, 176, 144, 10)));
    ASSERT_TRUE(rig_.AddInput(SampleList(3, 96, 64)));
    rig_.MakeCurrent(1);
    // The kind stays that of the video file activated last.
    ASSERT_EQ(rig_.core.inputs.decoderKind, kindAviReader);
    rig_.core.settings.tvStandard = standardPal;
    const Supplied supplied = Supply(50);
    ASSERT_EQ(supplied.result, 0);
    ASSERT_EQ(supplied.rowBytes, 96 * 4);
    EXPECT_EQ(NumberInPicture(supplied.pixels, supplied.rowBytes, 64), 2);
}

TEST_F(VideoSupplyTest, BareNamesComeFromTheListsFolderAndFullPathsAsWritten)
{
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path("/");
    ASSERT_TRUE(rig_.AddInput(SampleList(3, 96, 64)));
    ASSERT_TRUE(rig_.AddInput(SampleList(3, 96, 64, true)));
    rig_.core.settings.tvStandard = standardPal;
    for (int input = 0; input < 2; ++input) {
        rig_.MakeCurrent(input);
        const Supplied supplied = Supply(50);
        EXPECT_EQ(supplied.result, 0) << input;
        EXPECT_EQ(NumberInPicture(supplied.pixels, supplied.rowBytes, 64), 2) << input;
    }
    std::filesystem::current_path(before);
}

// The disc frames show 4:3 on the TV whatever their pixel counts.
TEST_F(VideoSupplyTest, ProportionalFitForNtscDvdFillsTheFrameWithAFourByThreePicture)
{
    UseList(640, 480, 720, 480);
    rig_.core.settings.tvStandard = standardNtsc;
    rig_.core.settings.outputFormat = formatDvd;
    const Supplied supplied = Supply(0);
    ASSERT_EQ(supplied.result, 0);
    ASSERT_EQ(supplied.rowBytes, 720 * 4);
    EXPECT_EQ(BlackColumnsOnTheLeft(supplied, 480), 0);
    EXPECT_EQ(NumberInPicture(supplied.pixels, supplied.rowBytes, 480), 0);
}

TEST_F(VideoSupplyTest, ProportionalFitForNtscSvcdKeepsASquarePictureSquareOnTheScreen)
{
    UseList(480, 480, 480, 480);
    rig_.core.settings.tvStandard = standardNtsc;
    rig_.core.settings.outputFormat = formatSvcd;
    const Supplied supplied = Supply(0);
    ASSERT_EQ(supplied.result, 0);
    ASSERT_EQ(supplied.rowBytes, 480 * 4);
    // A square on a 4:3 screen is three quarters of its width: 360 of the 480 columns.
    EXPECT_EQ(BlackColumnsOnTheLeft(supplied, 480), 60);
}

TEST_F(VideoSupplyTest, FillInStretchesToTheWholeFrame)
{
    UseList(640, 480, 720, 576);
    rig_.Entry(0).pictureOptions.fitting = FitMode::fillIn;
    const Supplied supplied = Supply(0);
    ASSERT_EQ(supplied.result, 0);
    ASSERT_EQ(supplied.rowBytes, 720 * 4);
    EXPECT_EQ(BlackColumnsOnTheLeft(supplied, 576), 0);
}

TEST_F(VideoSupplyTest, ACropWithoutWidthIsIgnoredAndARealCropCuts)
{
    UseList(320, 240, 320, 240);
    rig_.Entry(0).pictureOptions.cropX = 10;
    rig_.Entry(0).pictureOptions.cropHeight = 100;
    EXPECT_EQ(NumberInPicture(Supply(75).pixels, 320 * 4, 240), 3);

    rig_.Entry(0).pictureOptions.cropWidth = 160;
    rig_.Entry(0).pictureOptions.cropHeight = 120;
    rig_.Entry(0).pictureOptions.cropX = 0;
    rig_.Entry(0).pictureOptions.cropY = 0;
    rig_.Entry(0).pictureOptions.fitting = FitMode::fillIn;
    const Supplied supplied = Supply(75);
    ASSERT_EQ(supplied.result, 0);
    EXPECT_EQ(supplied.rowBytes, 320 * 4);
}

TEST_F(VideoSupplyTest, InvertTurnsThePictureUpsideDown)
{
    UseList(320, 240, 320, 240);
    rig_.Entry(0).pictureOptions.invert = true;
    const Supplied supplied = Supply(100);
    ASSERT_EQ(supplied.result, 0);
    EXPECT_NE(NumberInPicture(supplied.pixels, supplied.rowBytes, 240), 4);
    // Read as a top-down picture it shows its number again.
    EXPECT_EQ(pattern::ReadFrameNumber(pattern::ConstPatternImage{supplied.pixels, 320, 240, 320 * 4, 4, false}), 4);
}

TEST_F(VideoSupplyTest, AVideoFramesNumberFollowsTheRates)
{
    ASSERT_TRUE(rig_.AddInput(SilentAvi(mediagen::VideoCodec::Mjpeg, 176, 144, 60)));
    rig_.Entry(0).pictureOptions.outputWidth = 176;
    rig_.Entry(0).pictureOptions.outputHeight = 144;
    rig_.core.settings.tvStandard = standardNtsc;
    // Output frame 30 at 29.97 is source frame 25 of a 25 frames-per-second input.
    for (int frame : {0, 1, 30, 59, 70}) {
        const Supplied supplied = Supply(frame);
        ASSERT_EQ(supplied.result, 0) << frame;
        const int source = std::min(static_cast<int>(frame * 25.0 * 0.0333667000333667), 59);
        EXPECT_EQ(NumberInPicture(supplied.pixels, supplied.rowBytes, 144), source) << frame;
    }
}

TEST_F(VideoSupplyTest, AVideoFrameIsTheFittedPictureOfItsSurfaceWithOrWithoutOptions)
{
    ASSERT_TRUE(rig_.AddInput(SilentAvi(mediagen::VideoCodec::Mpeg4, 176, 144, 12)));
    rig_.MakeCurrent(0);
    rig_.Entry(0).pictureOptions.outputWidth = 720;
    rig_.Entry(0).pictureOptions.outputHeight = 576;
    // Not a size of the chosen disc: its pixels count as square.
    FitRequest request{720, 576, FitMode::proportional, {}, {}, FitRounding::up};
    for (bool invert : {false, true}) {
        rig_.Entry(0).pictureOptions.invert = invert;
        const Supplied supplied = Supply(5);
        ASSERT_EQ(supplied.result, 0);
        ASSERT_EQ(supplied.rowBytes, 720 * 4);
        // The same frame copied and fitted step by step, as the supply did before
        // it learnt to scale straight from the surface.
        SampleStream& video = *rig_.Entry(0).streams->videoStream;
        MmSurfaceLock lock;
        ASSERT_TRUE(video.LockSurface(lock));
        TFullDib expected;
        const bool copied = expected.CopyFromSurface(lock.width, lock.height, lock.pitch, lock.pixels);
        video.UnlockSurface();
        ASSERT_TRUE(copied);
        ASSERT_TRUE(!invert || expected.FlipVertical());
        ASSERT_TRUE(FitPicture(expected, request));
        EXPECT_EQ(0, std::memcmp(supplied.pixels, expected.Pixels(), static_cast<std::size_t>(720) * 576 * 4))
            << "invert " << invert;
        EXPECT_EQ(BlackColumnsOnTheLeft(supplied, 576), 8);
    }
}

// A frame scaled down comes from the stream as decoded, a few frames after the
// first: the pictures match those fitted from the surface, made afresh.
TEST_F(VideoSupplyTest, AFrameScaledDownFromItsBandsIsTheFittedPictureOfItsSurface)
{
    ASSERT_TRUE(rig_.AddInput(SilentAvi(mediagen::VideoCodec::Mpeg4, 704, 576, 12)));
    rig_.MakeCurrent(0);
    rig_.core.settings.tvStandard = standardPal;
    rig_.Entry(0).pictureOptions.outputWidth = 352;
    rig_.Entry(0).pictureOptions.outputHeight = 288;
    constexpr int frames = 8;
    constexpr std::size_t pictureBytes = std::size_t{352} * 288 * 4;
    SampleStream& video = *rig_.Entry(0).streams->videoStream;
    std::vector<std::vector<std::uint8_t>> pictures;
    int framesAsBands = 0;
    for (int frame = 0; frame < frames; ++frame) {
        const Supplied supplied = Supply(frame);
        ASSERT_EQ(supplied.result, 0) << frame;
        pictures.emplace_back(supplied.pixels, supplied.pixels + pictureBytes);
        const PictureBands* bands = nullptr;
        if (video.LockBands(bands)) {
            ++framesAsBands;
            video.UnlockSurface();
        }
    }
    EXPECT_GE(framesAsBands, frames / 2);

    const FitRequest request{352, 288, FitMode::proportional, {12, 11}, {}, FitRounding::up};
    for (int frame = 0; frame < frames; ++frame) {
        ASSERT_EQ(Supply(frame).result, 0) << frame;
        MmSurfaceLock lock;
        ASSERT_TRUE(video.LockSurface(lock));
        TFullDib expected;
        const bool copied = expected.CopyFromSurface(lock.width, lock.height, lock.pitch, lock.pixels);
        video.UnlockSurface();
        ASSERT_TRUE(copied && FitPicture(expected, request));
        EXPECT_EQ(0, std::memcmp(pictures[static_cast<std::size_t>(frame)].data(), expected.Pixels(), pictureBytes))
            << "frame " << frame;
    }
}

// The picture is marked where the supply never writes: the fitting leaves X 0.
TEST_F(VideoSupplyTest, InARunAFrameShownTwiceIsHandedOutAgainAndEverythingElseIsMadeAfresh)
{
    ASSERT_TRUE(rig_.AddInput(SilentAvi(mediagen::VideoCodec::Mjpeg, 176, 144, 12)));
    ASSERT_EQ(rig_.core.inputs.decoderKind, kindAviReader);
    rig_.core.settings.tvStandard = standardNtsc;
    rig_.core.encodeParameters.width = 176;
    rig_.core.encodeParameters.height = 144;
    rig_.core.media.run.encoderBusy = true;
    rig_.core.settings.videoSettingsChanged = true;
    const auto supplyMarked = [&](int frame) {
        const Supplied supplied = Supply(frame);
        EXPECT_EQ(supplied.result, 0) << frame;
        std::uint8_t& mark = rig_.core.workPicture.Pixels()[3];
        const bool wasMarked = mark == 0x5A;
        mark = 0x5A;
        return std::pair{NumberInPicture(supplied.pixels, supplied.rowBytes, 144), wasMarked};
    };
    // At 29.97 output frames 6 and 7 both show frame 5 of a 25 frames-per-second input.
    EXPECT_EQ(supplyMarked(6), std::pair(5L, false));
    EXPECT_EQ(supplyMarked(7), std::pair(5L, true));
    EXPECT_EQ(supplyMarked(8), std::pair(6L, false));
    rig_.core.settings.videoSettingsChanged = true;
    EXPECT_FALSE(supplyMarked(8).second);
    rig_.Entry(0).pictureOptions.fitting = FitMode::fillIn;
    EXPECT_FALSE(supplyMarked(8).second);
    rig_.core.media.run.encoderBusy = false;
    rig_.Entry(0).pictureOptions.outputWidth = 176;
    rig_.Entry(0).pictureOptions.outputHeight = 144;
    EXPECT_FALSE(supplyMarked(8).second);
    EXPECT_FALSE(supplyMarked(8).second);
}

TEST_F(VideoSupplyTest, AMissingListPictureFailsWithItsCode)
{
    UseList(64, 48, 64, 48);
    std::filesystem::path folder = std::filesystem::path(rig_.Entry(0).listDirectory);
    const std::filesystem::path picture = folder / "picture00005.bmp";
    const std::filesystem::path aside = folder / "picture00005.bak";
    std::filesystem::rename(picture, aside);
    EXPECT_EQ(Supply(125).result, videoPictureLoadFailed);
    std::filesystem::rename(aside, picture);
    EXPECT_EQ(Supply(125).result, 0);
}

TEST_F(VideoSupplyTest, AnInputRemovedWhileMessagesArePumpedFailsItsFrame)
{
    // A Remove command handled during the supply's message pump.
    rig_.window.onPump = [this] { rig_.core.inputTable.RemoveInput(rig_.core.inputs.currentInput); };
    ASSERT_TRUE(rig_.AddInput(SampleList(3, 64, 48)));
    EXPECT_EQ(Supply(0).result, videoFetchFailed);
    ASSERT_EQ(rig_.core.inputs.inputCount, 0);

    ASSERT_TRUE(rig_.AddInput(SilentAvi(mediagen::VideoCodec::Mjpeg, 64, 48, 10)));
    ASSERT_EQ(rig_.core.inputs.decoderKind, kindAviReader);
    EXPECT_EQ(Supply(0).result, videoLockFailed);
    EXPECT_EQ(rig_.core.inputs.inputCount, 0);
}

TEST_F(VideoSupplyTest, ClampingKeepsThePositionInsideTheSelection)
{
    UseList(64, 48, 64, 48);
    rig_.core.inputs.framePosition = -5;
    rig_.core.videoSupply.ClampFramePosition();
    EXPECT_EQ(rig_.core.inputs.framePosition, 0);
    rig_.core.inputs.framePosition = 10;
    rig_.core.videoSupply.ClampFramePosition();
    EXPECT_EQ(rig_.core.inputs.framePosition, 9);
    EXPECT_EQ(rig_.core.videoSupply.ShownFrame(), 9);
}

} // namespace
} // namespace discforge::test
