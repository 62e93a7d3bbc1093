// The two previews over the real core: what the output preview shows is what
// the encoder gets, the worked examples of playback, the position bars and a
// failed render. Inputs come from the sample generator and the ffmpeg tool.
#include "ConversionRig.h"

#include "SampleMedia.h"
#include "app/PreviewMessages.h"
#include "core/ControlIds.h"
#include "core/ShowMessage.h"
#include "input/StreamGraph.h"
#include "mediagen/MediaGen.h"
#include "pattern/FramePattern.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <vector>

namespace discforge::test {
namespace {

constexpr PanelRect inputRect{0, 0, 160, 120};
constexpr PanelRect outputRect{200, 0, 360, 120};

// The number a panel shows where its picture lies.
std::int64_t NumberInPanel(const TPreviewDib& panel)
{
    const PanelFit& fit = panel.Shown();
    const pattern::PatternRegion region{
        fit.horizontalOffset, panel.Height() - fit.verticalOffset - fit.shownHeight, fit.shownWidth, fit.shownHeight};
    return pattern::ReadFrameNumber(
        pattern::ConstPatternImage{panel.Pixels(), panel.Width(), panel.Height(), panel.Stride(), 3, true}, region);
}

bool IsBlack(const std::uint8_t* pixel) { return pixel[0] == 0 && pixel[1] == 0 && pixel[2] == 0; }

// Black pixels from the left and from the right of the middle row, and from
// the top of the middle column, of a bottom-up 32-bit picture.
struct Border {
    int left = 0;
    int right = 0;
    int top = 0;
};

Border BlackBorder(const std::uint8_t* pixels, int width, int height)
{
    const auto at
        = [&](int x, int y) { return pixels + (static_cast<std::ptrdiff_t>(height - 1 - y) * width + x) * 4; };
    Border border;
    while (border.left < width && IsBlack(at(border.left, height / 2))) {
        ++border.left;
    }
    while (border.right < width && IsBlack(at(width - 1 - border.right, height / 2))) {
        ++border.right;
    }
    while (border.top < height && IsBlack(at(width / 2, border.top))) {
        ++border.top;
    }
    return border;
}

class PreviewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(rig_.core.previews.CreatePreviewPictures(nullptr, inputRect, nullptr, outputRect));
    }

    Previews& Panels() { return rig_.core.previews; }
    ControlSurface& Controls() { return rig_.controls; }
    const TFullDib& OutputWork() { return rig_.core.previews.OutputWorkPicture(); }

    void AddList(int pictures, int width, int height)
    {
        ASSERT_TRUE(rig_.AddInput(SampleList(pictures, width, height)));
        rig_.core.settings.tvStandard = standardPal;
    }

    void SetOutputSize(int width, int height)
    {
        rig_.Entry(0).pictureOptions.outputWidth = width;
        rig_.Entry(0).pictureOptions.outputHeight = height;
    }

    void ShowOutputFrame(int frame)
    {
        rig_.core.inputs.framePosition = frame;
        rig_.core.previews.ClampOutputPosition();
        Panels().RenderOutputPreview();
    }

    ConversionRig rig_;
};

TEST_F(PreviewTest, WithoutInputsBothBarsHoldOnlyZeroAndBothSizesShowZero)
{
    rig_.core.windowRefresh.RefreshWindow();
    for (const int bar : {control::inputPosition, control::outputPosition}) {
        EXPECT_EQ(Controls().GetScrollRange(bar), (ScrollRange{0, 0, 1, 1})) << bar;
        EXPECT_EQ(Controls().ScrollPosition(bar), 0) << bar;
    }
    EXPECT_EQ(Controls().Text(control::widthEdit), "0");
    EXPECT_EQ(Controls().Text(control::heightEdit), "0");
}

TEST_F(PreviewTest, TheBarsSpanTheFramesWithATwentiethAsTheirPage)
{
    // 45 frames of a 25 frames-per-second clip.
    mediagen::AviRecipe recipe;
    recipe.video = mediagen::VideoCodec::Mjpeg;
    recipe.audio = mediagen::AudioForm::None;
    recipe.width = 96;
    recipe.height = 64;
    recipe.frames = 45;
    ASSERT_TRUE(rig_.AddInput(SampleAvi(recipe)));
    rig_.core.windowRefresh.RefreshWindow();
    // Page 2: the input bar reaches 0 .. 44, the output bar 0 .. selected frames - 1.
    EXPECT_EQ(Controls().GetScrollRange(control::inputPosition), (ScrollRange{0, 45, 1, 2}));
    EXPECT_EQ(Controls().GetScrollRange(control::outputPosition), (ScrollRange{0, 45, 1, 2}));
    EXPECT_EQ(NumberInPanel(*Panels().InputPanel()), 0);
    EXPECT_EQ(NumberInPanel(*Panels().OutputPanel()), 0);
}

TEST_F(PreviewTest, ThePositionBarsChooseTheFramesShown)
{
    AddList(3, 96, 64);
    rig_.core.windowRefresh.RefreshWindow();
    EXPECT_EQ(NumberInPanel(*Panels().InputPanel()), 0);
    // Input frame 2 is the list's third picture.
    rig_.Entry(0).position = 2;
    rig_.core.windowRefresh.RefreshInputSide();
    EXPECT_EQ(Controls().ScrollPosition(control::inputPosition), 2);
    EXPECT_EQ(NumberInPanel(*Panels().InputPanel()), 2);
    // The output preview plays the list as a slideshow: output frame 50 at PAL is its third second.
    ShowOutputFrame(49);
    EXPECT_EQ(NumberInPanel(*Panels().OutputPanel()), 1);
    ShowOutputFrame(50);
    EXPECT_EQ(NumberInPanel(*Panels().OutputPanel()), 2);
    EXPECT_TRUE(rig_.messages.shown.empty());
}

TEST_F(PreviewTest, ThePanelsOnlyShowTheirPixelsWithInputsAndWhileNothingPlays)
{
    struct CountingPainter : PanelPainter {
        void PaintPanelRows(const TPreviewDib&, int, int rowCount) override { rows += rowCount; }
        int rows = 0;
    } painter;
    ASSERT_TRUE(Panels().CreatePreviewPictures(&painter, inputRect, &painter, outputRect));
    painter.rows = 0;
    Panels().ShowInputPreview();
    EXPECT_EQ(painter.rows, 0);
    AddList(3, 96, 64);
    Panels().ShowInputPreview();
    Panels().ShowOutputPreview();
    EXPECT_EQ(painter.rows, 2 * 120);
    rig_.core.preview.playing = PlayingSide::output;
    Panels().ShowInputPreview();
    EXPECT_EQ(painter.rows, 2 * 120);
}

// An SVCD frame shows 4:3 on the TV: a 4:3 picture fills it, a 16:9 one keeps three
// quarters of its 576 lines.
TEST_F(PreviewTest, OnAPalSvcdFrameAFourByThreePictureFillsItAndASixteenByNineOneIsLetterboxed)
{
    AddList(2, 640, 480);
    AddList(2, 640, 360);
    rig_.core.settings.outputFormat = formatSvcd;
    rig_.core.settings.tvStandard = standardPal;
    for (const int input : {0, 1}) {
        rig_.MakeCurrent(input);
        rig_.Entry(input).pictureOptions.outputWidth = 480;
        rig_.Entry(input).pictureOptions.outputHeight = 576;
        ShowOutputFrame(0);
        ASSERT_TRUE(rig_.messages.shown.empty());
        ASSERT_EQ(OutputWork().Width(), 480);
        ASSERT_EQ(OutputWork().Height(), 576);
        const Border border = BlackBorder(OutputWork().Pixels(), 480, 576);
        EXPECT_EQ(border.left + border.right, 0) << input;
        EXPECT_EQ(border.top, input == 0 ? 0 : 72) << input;
    }
}

// The supply rounds the proportional size up, the preview truncates it: 176 x 144 (11:9)
// on the 4:3 screen of VCD NTSC takes 11/12 of its 352 columns, 322.67.
TEST_F(PreviewTest, ThePreviewTruncatesTheProportionalWidthWhereTheSupplyRoundsItUp)
{
    AddList(2, 176, 144);
    rig_.core.settings.tvStandard = standardNtsc;
    SetOutputSize(352, 240);
    ShowOutputFrame(0);
    const Border preview = BlackBorder(OutputWork().Pixels(), 352, 240);
    Supplied supplied;
    supplied.result = rig_.core.videoSupply.SupplyVideoFrame(0, &supplied.rowBytes, &supplied.pixels);
    ASSERT_EQ(supplied.result, 0);
    const Border supply = BlackBorder(supplied.pixels, 352, 240);
    EXPECT_EQ(352 - preview.left - preview.right, 322);
    EXPECT_EQ(352 - supply.left - supply.right, 323);
}

TEST_F(PreviewTest, WithoutLivePreviewTheOutputPanelShowsTheDecodedFrame)
{
    AddList(3, 96, 64);
    rig_.core.liveOutputPreview = false;
    SetOutputSize(720, 576);
    rig_.Entry(0).pictureOptions.invert = true;
    ShowOutputFrame(50);
    EXPECT_EQ(NumberInPanel(*Panels().OutputPanel()), 2);
    EXPECT_EQ(Panels().OutputPanel()->Shown().shownWidth, 96);
}

TEST_F(PreviewTest, AMissingListPictureShowsItsMessageAndRemovesTheInput)
{
    AddList(3, 96, 64);
    const std::string list = rig_.Entry(0).path;
    const std::string listCopy = list + ".kept";
    // The list names a picture that is not there.
    std::filesystem::copy_file(list, listCopy, std::filesystem::copy_options::overwrite_existing);
    {
        std::ofstream(list, std::ios::app) << "missing.bmp\n";
    }
    rig_.core.inputTable.DeactivateInput(0);
    ASSERT_TRUE(rig_.core.inputTable.ActivateInput(0));
    rig_.Entry(0).selectedFrames = 4;
    rig_.Entry(0).lastFrame = 3;
    rig_.Entry(0).position = 3;
    rig_.core.preview.playing = PlayingSide::output; // keeps the refresh from rendering
    rig_.core.windowRefresh.RefreshInputSide();
    rig_.core.preview.playing = PlayingSide::none;
    Panels().RenderInputPreview();
    std::filesystem::rename(listCopy, list);
    ASSERT_EQ(rig_.messages.shown.size(), 1u);
    EXPECT_EQ(rig_.messages.shown[0].caption, ComposeCaption(preview_message::inputListCaption));
    EXPECT_NE(rig_.messages.shown[0].text.find("missing.bmp"), std::string::npos) << rig_.messages.shown[0].text;
    EXPECT_EQ(rig_.core.inputs.inputCount, 0);
}

TEST_F(PreviewTest, AListThatGrewShorterShowsWhichFrameIsMissingAndRemovesTheInput)
{
    AddList(3, 96, 64);
    const std::string list = rig_.Entry(0).path;
    const std::string listCopy = list + ".kept";
    std::filesystem::copy_file(list, listCopy, std::filesystem::copy_options::overwrite_existing);
    std::string first;
    std::getline(std::ifstream(list), first);
    {
        std::ofstream(list, std::ios::trunc) << first << "\n";
    }
    ShowOutputFrame(75); // the third picture
    std::filesystem::rename(listCopy, list);
    ASSERT_EQ(rig_.messages.shown.size(), 1u);
    EXPECT_EQ(rig_.messages.shown[0].text, "Can not get frame # 2 from file " + list + ".");
    EXPECT_EQ(rig_.messages.shown[0].caption, ComposeCaption(preview_message::outputFileCaption));
    EXPECT_EQ(rig_.core.inputs.inputCount, 0);
}

TEST_F(PreviewTest, NothingIsRenderedWhileAConversionReadsTheInput)
{
    AddList(3, 96, 64);
    rig_.core.windowRefresh.RefreshWindow();
    rig_.core.media.run.conversionActive = true;
    Controls().SetScrollPosition(control::inputPosition, 2);
    Panels().RenderInputPreview();
    ShowOutputFrame(75);
    rig_.core.media.run.conversionActive = false;
    EXPECT_EQ(NumberInPanel(*Panels().InputPanel()), 0);
    EXPECT_EQ(NumberInPanel(*Panels().OutputPanel()), 0);
}

// A decoder that goes forward only must still show an earlier frame when the
// bar goes back; the AVI reader hands out any frame asked for.
TEST_F(PreviewTest, ScrubbingBackShowsTheEarlierFrameWhateverTheDecoder)
{
    mediagen::AviRecipe recipe;
    recipe.video = mediagen::VideoCodec::Mpeg4;
    recipe.audio = mediagen::AudioForm::None;
    recipe.width = 176;
    recipe.height = 144;
    recipe.frames = 12;
    const std::string sequential = SampleAvi(recipe);
    recipe.video = mediagen::VideoCodec::RawRgb;
    const std::string seekEveryFrame
        = FfmpegCopy(SampleAvi(recipe), "-c:v rawvideo -pix_fmt yuyv422", "ffmpeg-yuy2.avi");
    recipe.video = mediagen::VideoCodec::Mjpeg;
    const std::string aviReader = SampleAvi(recipe);
    struct Case {
        std::string path;
        int kind;
    };
    for (const Case& c :
        {Case{sequential, kindSequential}, Case{seekEveryFrame, kindSeekEveryFrame}, Case{aviReader, kindAviReader}}) {
        if (rig_.core.inputs.inputCount > 0) {
            rig_.core.inputTable.RemoveInput(0);
        }
        ASSERT_TRUE(rig_.AddInput(c.path));
        ASSERT_EQ(rig_.core.inputs.decoderKind, c.kind);
        rig_.core.windowRefresh.RefreshWindow();
        for (const int frame : {7, 8, 3, 0, 5}) {
            Controls().SetScrollPosition(control::inputPosition, frame);
            Panels().RenderInputPreview();
            EXPECT_EQ(NumberInPanel(*Panels().InputPanel()), frame) << c.kind;
        }
    }
}

// --- Playback, with the window's clock moving only while a frame waits.

class PlaybackTest : public PreviewTest {
protected:
    // Input positions shown at each wait, and the bar's position then.
    std::vector<int> positions_;
    std::vector<int> bars_;

    void RecordWaits(int pressStopAtWait)
    {
        rig_.window.onPump = [this, pressStopAtWait] {
            positions_.push_back(rig_.Entry(0).position);
            bars_.push_back(Controls().ScrollPosition(control::inputPosition));
            EXPECT_TRUE(Controls().StopButtonShown(control::inputPlay));
            EXPECT_FALSE(Controls().IsEnabled(control::startConversion));
            EXPECT_TRUE(Controls().IsEnabled(control::inputPlay));
            if (static_cast<int>(positions_.size()) == pressStopAtWait) {
                Panels().PlayInput(); // the stop button
            }
        };
    }
};

TEST_F(PlaybackTest, PlayingAnInputToItsEndRewindsToItsFirstFrame)
{
    AddList(4, 96, 64);
    rig_.core.windowRefresh.RefreshWindow();
    RecordWaits(0);
    const std::uint32_t start = rig_.window.ticks;
    Panels().PlayInput();
    EXPECT_EQ(positions_, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(bars_, (std::vector<int>{1, 2, 3, 3}));
    // One second a picture: the list's rate.
    EXPECT_EQ(rig_.window.ticks - start, 4000u);
    EXPECT_EQ(rig_.Entry(0).position, 0);
    EXPECT_EQ(Controls().ScrollPosition(control::inputPosition), 0);
    EXPECT_EQ(NumberInPanel(*Panels().InputPanel()), 0);
    EXPECT_FALSE(rig_.core.preview.previewPlaying());
    EXPECT_FALSE(Controls().StopButtonShown(control::inputPlay));
    EXPECT_EQ(Controls().Text(control::inputPlay), "Play");
    EXPECT_TRUE(Controls().IsEnabled(control::startConversion));
}

TEST_F(PlaybackTest, StoppingKeepsTheFrameWhenEveryFrameIsSoughtAndRewindsOtherwise)
{
    AddList(4, 96, 64);
    struct Case {
        int decoderKind;
        int positionAfter;
    };
    for (const Case c : {Case{kindSeekEveryFrame, 2}, Case{kindSequential, 0}, Case{kindUpsideDown, 0}}) {
        positions_.clear();
        bars_.clear();
        rig_.Entry(0).position = 0;
        rig_.core.inputs.decoderKind = c.decoderKind;
        rig_.core.windowRefresh.RefreshWindow();
        RecordWaits(2);
        Panels().PlayInput();
        EXPECT_EQ(positions_, (std::vector<int>{1, 2})) << c.decoderKind;
        EXPECT_EQ(rig_.Entry(0).position, c.positionAfter) << c.decoderKind;
        EXPECT_EQ(Controls().ScrollPosition(control::inputPosition), c.positionAfter) << c.decoderKind;
        EXPECT_FALSE(rig_.core.preview.previewPlaying());
    }
}

TEST_F(PlaybackTest, PressingAPlayButtonWhilePlayingStopsInsteadOfPlayingAgain)
{
    AddList(4, 96, 64);
    rig_.core.inputs.decoderKind = kindSeekEveryFrame;
    rig_.core.windowRefresh.RefreshWindow();
    int waits = 0;
    rig_.window.onPump = [&] {
        ++waits;
        EXPECT_EQ(rig_.core.preview.playing, PlayingSide::input);
        Panels().PlayOutput(); // the other side's button, while the input plays
    };
    Panels().PlayInput();
    EXPECT_EQ(waits, 1);
    EXPECT_EQ(rig_.Entry(0).position, 1);
    EXPECT_FALSE(rig_.core.preview.previewPlaying());
}

TEST_F(PlaybackTest, TheOutputPreviewPlaysTheSelectedFramesAndRewinds)
{
    AddList(2, 96, 64);
    rig_.core.windowRefresh.RefreshWindow();
    std::vector<std::int64_t> shown;
    rig_.window.onPump = [&] { shown.push_back(NumberInPanel(*Panels().OutputPanel())); };
    Panels().PlayOutput();
    // Two pictures, a second each at PAL: 50 frames, the second picture from frame 25.
    ASSERT_EQ(shown.size(), 50u);
    EXPECT_EQ(shown[24], 0);
    EXPECT_EQ(shown[25], 1);
    EXPECT_EQ(shown[49], 1);
    EXPECT_EQ(rig_.core.inputs.framePosition, 0);
    EXPECT_EQ(Controls().ScrollPosition(control::outputPosition), 0);
    EXPECT_EQ(NumberInPanel(*Panels().OutputPanel()), 0);
}

TEST(PreviewFramePeriod, IsAThousandMillisecondsOverTheRateTruncated)
{
    EXPECT_EQ(Previews::FramePeriod(25.0), 40u);
    EXPECT_EQ(Previews::FramePeriod(29.97), 33u);
    EXPECT_EQ(Previews::FramePeriod(1.0), 1000u);
    EXPECT_EQ(Previews::FramePeriod(2000.0), 0u);
    EXPECT_EQ(Previews::FramePeriod(0.0), 0u);
}

} // namespace
} // namespace discforge::test
