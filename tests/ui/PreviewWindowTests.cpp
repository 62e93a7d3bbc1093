// The previews in the window: the position bars the skin places, scrubbing,
// the panels' pixels on the screen, and playback that waits for each frame's
// deadline asleep in the event loop.
#include "UiTestSupport.h"

#include "core/ControlIds.h"
#include "mediagen/MediaGen.h"
#include "pattern/FramePattern.h"
#include "picture/TPreviewDib.h"
#include "support/StreamChecks.h"
#include "ui/SkinGrowth.h"
#include "ui/TMainWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTimer>

#include <cmath>
#include <ctime>
#include <stdexcept>

namespace discforge::test {
namespace {

std::string LayoutWithBars()
{
    return FullLayout() + "InputPositionBar=20,192,260,8;\nOutputPositionBar=320,192,260,8;\n";
}

QScrollBar* Bar(WindowRig& rig, const char* name) { return rig.Window().findChild<QScrollBar*>(name); }

// The number the window shows in a panel, read from the window's own pixels
// inside `inset` pixels of the panel (a frame line). The window draws the panel's
// picture as large as its preview box allows, at the picture's shape.
std::int64_t NumberOnScreen(WindowRig& rig, const TPreviewDib& panel, int inset = 0)
{
    const QImage shown = rig.Window().grab().toImage().convertToFormat(QImage::Format_RGB32);
    const PanelFit& fit = panel.Shown();
    const bool input = &panel == rig.Core().PreviewPictures().InputPanel();
    const QRect box = input ? rig.Window().InputPreviewRect() : rig.Window().OutputPreviewRect();
    const QRect drawn = ui::FittedRect(QSize(fit.shownWidth, fit.shownHeight), box);
    const double scale = static_cast<double>(drawn.width()) / fit.shownWidth;
    const int edge = static_cast<int>(std::lround(inset * scale));
    const pattern::PatternRegion region{
        drawn.left() + edge, drawn.top() + edge, drawn.width() - 2 * edge, drawn.height() - 2 * edge};
    return pattern::ReadFrameNumber(pattern::ConstPatternImage{shown.constBits(), shown.width(), shown.height(),
                                        static_cast<int>(shown.bytesPerLine()), 4, false},
        region);
}

double CpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Two seconds of numbered 320 x 240 frames at 25 per second, made into H.264 by
// the ffmpeg tool as users make their clips, in the test's own folder.
std::string H264Clip(WindowRig& rig)
{
    mediagen::AviRecipe recipe;
    recipe.path = rig.folder.File("source.avi");
    recipe.video = mediagen::VideoCodec::Mjpeg;
    recipe.audio = mediagen::AudioForm::None;
    recipe.width = 320;
    recipe.height = 240;
    recipe.frames = 50;
    std::string error;
    if (!mediagen::WriteAvi(recipe, error)) {
        throw std::runtime_error(error);
    }
    const std::string clip = rig.folder.File("clip.mp4");
    const CommandResult made = RunCommand("ffmpeg -nostdin -v error -y -i " + Quoted(recipe.path)
        + " -c:v libx264 -preset veryfast -pix_fmt yuv420p " + Quoted(clip));
    if (made.exitCode != 0) {
        throw std::runtime_error(made.output);
    }
    return clip;
}

void Open(WindowRig& rig, const std::string& path)
{
    rig.files.mediaAnswers.push_back(path);
    ASSERT_TRUE(rig.Command(control::openInput));
    rig.Settle();
    ASSERT_EQ(rig.Core().Inputs().inputCount, 1);
}

TEST(PreviewWindow, ThePositionBarsShowWhereTheSkinPlacesThem)
{
    {
        WindowRig rig(LayoutWithBars());
        ASSERT_NE(Bar(rig, "inputPositionBar"), nullptr);
        EXPECT_TRUE(Bar(rig, "inputPositionBar")->isVisible());
        EXPECT_EQ(Bar(rig, "inputPositionBar")->geometry(), QRect(20, 192, 260, 8));
        EXPECT_TRUE(Bar(rig, "outputPositionBar")->isVisible());
        EXPECT_EQ(Bar(rig, "outputPositionBar")->geometry(), QRect(320, 192, 260, 8));
    }
    WindowRig rig; // a skin without the keys
    EXPECT_FALSE(Bar(rig, "inputPositionBar")->isVisible());
    EXPECT_FALSE(Bar(rig, "outputPositionBar")->isVisible());
    EXPECT_TRUE(rig.messages.shown.empty());
}

// The input preview's box as the window shows it now.
QImage InputBoxOnScreen(WindowRig& rig)
{
    return rig.Window().grab().toImage().convertToFormat(QImage::Format_RGB32).copy(rig.Window().InputPreviewRect());
}

TEST(PreviewWindow, ADraggedBarShowsTheFramesItPassesAndAClickAtOnce)
{
    WindowRig rig(LayoutWithBars());
    Open(rig, rig.MakeList("clip.lst", 3));
    // Filled in, the output picture covers its frame, inside the white frame line.
    rig.Window().Controls().SetChecked(control::fillRadio, true);
    ASSERT_TRUE(rig.Command(control::fillRadio));
    const Previews& previews = rig.Core().PreviewPictures();
    EXPECT_EQ(NumberOnScreen(rig, *previews.InputPanel()), 0);
    const QImage first = InputBoxOnScreen(rig);

    // The thumb held and moved, as a mouse drag moves it: the frame under it
    // is on the screen before the button is let go.
    QScrollBar* input = Bar(rig, "inputPositionBar");
    EXPECT_EQ(input->maximum(), 2);
    input->setSliderDown(true);
    input->setSliderPosition(1);
    rig.Settle();
    EXPECT_EQ(NumberOnScreen(rig, *previews.InputPanel()), 1);
    const QImage passing = InputBoxOnScreen(rig);
    EXPECT_NE(passing, first) << "the preview was drawn again during the drag";
    input->setSliderPosition(2);
    rig.Settle();
    EXPECT_EQ(NumberOnScreen(rig, *previews.InputPanel()), 2);
    EXPECT_NE(InputBoxOnScreen(rig), passing);
    input->setSliderDown(false);
    rig.Settle();
    EXPECT_EQ(rig.Core().Inputs().inputTable[0].position, 2);
    EXPECT_EQ(NumberOnScreen(rig, *previews.InputPanel()), 2);

    // A click in the trough of the output bar: one second of output frames shows the second picture.
    QScrollBar* output = Bar(rig, "outputPositionBar");
    const int frame = output->maximum() / 2;
    output->setValue(frame);
    rig.Settle();
    EXPECT_EQ(rig.Core().Inputs().framePosition, frame);
    EXPECT_EQ(NumberOnScreen(rig, *previews.OutputPanel(), 1), 1);
    EXPECT_TRUE(rig.messages.shown.empty());
}

TEST(PreviewWindow, TheExitButtonStopsAPlayingPreviewAndTheWindowStays)
{
    WindowRig rig(LayoutWithBars());
    Open(rig, H264Clip(rig));
    bool stopShown = false;
    bool playShown = true;
    QTimer::singleShot(300, &rig.Window(), [&] {
        stopShown = rig.Window().Controls().StopButtonShown(control::inputPlay);
        playShown = rig.Window().findChild<QWidget*>("button1181")->isVisible();
        rig.Command(control::exitButton);
    });
    ASSERT_TRUE(rig.Command(control::inputPlay));
    EXPECT_TRUE(stopShown);
    EXPECT_FALSE(playShown);
    EXPECT_FALSE(rig.Core().Preview().previewPlaying());
    EXPECT_FALSE(rig.Window().Controls().StopButtonShown(control::inputPlay));
    EXPECT_GT(rig.Core().Inputs().inputTable[0].position, 0) << "stopped where it was";
    rig.Settle();
    EXPECT_TRUE(rig.FrameOpen());
}

// Playback sleeps until each frame's deadline: over the clip the process uses
// about what rendering its frames costs, not a whole processor.
TEST(PreviewWindow, PlayingUsesTheProcessorForRenderingOnly)
{
    WindowRig rig(LayoutWithBars());
    Open(rig, H264Clip(rig));
    QScrollBar* input = Bar(rig, "inputPositionBar");
    const int frames = input->maximum() + 1;
    ASSERT_EQ(frames, 50);

    const double renderStart = CpuSeconds();
    for (int frame = 0; frame < frames; ++frame) {
        rig.Window().Controls().SetScrollPosition(control::inputPosition, frame);
        rig.Core().RenderInputPreview();
        QApplication::processEvents();
    }
    const double render = CpuSeconds() - renderStart;
    input->setValue(0);
    rig.Settle();

    QElapsedTimer wall;
    wall.start();
    const double playStart = CpuSeconds();
    ASSERT_TRUE(rig.Command(control::inputPlay));
    const double played = CpuSeconds() - playStart;
    const double seconds = static_cast<double>(wall.elapsed()) / 1000;
    EXPECT_EQ(rig.Core().Inputs().inputTable[0].position, 0) << "played to the end and rewound";
    EXPECT_LT(played, 2 * render + 0.3 * seconds)
        << "processor seconds " << played << " over " << seconds << " s; rendering the frames took " << render;
}

} // namespace
} // namespace discforge::test
