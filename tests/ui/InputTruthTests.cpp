// The window keeps its inputs and tells the truth about them: moving, replacing
// and selecting inputs made by the ffmpeg tool lose none, each input shows its
// own options, every option click redraws the output preview, and the batch has
// one television standard, shown and written alike.
#include "UiTestSupport.h"

#include "core/ControlIds.h"
#include "mediagen/MediaGen.h"
#include "picture/TPreviewDib.h"
#include "support/StreamChecks.h"
#include "ui/TMainWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QTest>

#include <stdexcept>
#include <string>
#include <vector>

namespace discforge::test {
namespace {

// Two seconds of numbered frames, made into `name` by the ffmpeg tool with
// `codec` arguments, from a lossless clip at `rate` written by the generator.
std::string ClipByFfmpeg(WindowRig& rig, const std::string& name, mediagen::FrameRate rate, int width, int height,
    const std::string& codec)
{
    mediagen::AviRecipe recipe;
    recipe.path = rig.folder.File(name + ".source.avi");
    recipe.video = mediagen::VideoCodec::Mjpeg;
    recipe.rate = rate;
    recipe.width = width;
    recipe.height = height;
    recipe.frames = 30;
    std::string error;
    if (!mediagen::WriteAvi(recipe, error)) {
        throw std::runtime_error(error);
    }
    const std::string clip = rig.folder.File(name);
    const CommandResult made
        = RunCommand("ffmpeg -nostdin -v error -y -i " + Quoted(recipe.path) + " " + codec + " " + Quoted(clip));
    if (made.exitCode != 0) {
        throw std::runtime_error(made.output);
    }
    return clip;
}

const std::string h264 = "-c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac";

class InputTruth : public ::testing::Test {
protected:
    void Add(const std::string& path)
    {
        const int before = rig_.Core().Inputs().inputCount;
        rig_.files.mediaAnswers.push_back(path);
        Post(command::addInput);
        ASSERT_EQ(rig_.Core().Inputs().inputCount, before + 1) << path;
    }
    void Post(int id)
    {
        rig_.Command(id);
        rig_.Settle();
    }
    void Select(int row)
    {
        rig_.Window().InputList()->setCurrentRow(row);
        rig_.Settle();
    }
    // Ctrl and `key` pressed in the input list of the active window, as the user does.
    void Key(Qt::Key key)
    {
        QWidget* top = rig_.Window().window();
        top->show();
        QApplication::setActiveWindow(top);
        QListWidget& list = *rig_.Window().InputList();
        list.setFocus();
        QTest::keyClick(&list, key, Qt::ControlModifier);
        rig_.Settle();
    }
    std::vector<std::string> TablePaths()
    {
        std::vector<std::string> paths;
        for (int i = 0; i < rig_.Core().Inputs().inputCount; ++i) {
            paths.push_back(rig_.Core().Inputs().inputTable[static_cast<std::size_t>(i)].path);
        }
        return paths;
    }
    // The whole path of each line, which its tool tip shows.
    std::vector<std::string> ListLines()
    {
        std::vector<std::string> lines;
        QListWidget& list = *rig_.Window().InputList();
        for (int i = 0; i < list.count(); ++i) {
            lines.push_back(list.item(i)->toolTip().toStdString());
        }
        return lines;
    }
    // The output panel's pixels as the preview last drew them.
    std::vector<std::uint8_t> OutputPixels()
    {
        const TPreviewDib& panel = *rig_.Core().PreviewPictures().OutputPanel();
        const std::uint8_t* pixels = panel.Pixels();
        return {pixels, pixels + static_cast<std::ptrdiff_t>(panel.Stride()) * panel.Height()};
    }
    // Clicks a check box or radio button as the user does: its state flips, then its command runs.
    void Click(int id, bool checked)
    {
        rig_.Window().Controls().SetChecked(id, checked);
        Post(id);
    }

    WindowRig rig_;
};

TEST_F(InputTruth, MovingMp4MkvAndListInputsLosesNoneAndKeepsListAndTableAlike)
{
    const std::string mp4 = ClipByFfmpeg(rig_, "a.mp4", mediagen::FrameRate::Ntsc2997, 320, 240, h264);
    const std::string mkv = ClipByFfmpeg(rig_, "b.mkv", mediagen::FrameRate::Ntsc2997, 320, 240, h264);
    const std::string list = rig_.MakeList("c.lst", 3);
    Add(mp4);
    Add(mkv);
    Add(list);

    Select(1);
    Key(Qt::Key_Up);
    EXPECT_EQ(TablePaths(), (std::vector<std::string>{mkv, mp4, list}));
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    EXPECT_EQ(TablePaths(), (std::vector<std::string>{mp4, list, mkv}));
    Select(0);
    Key(Qt::Key_Down);
    EXPECT_EQ(TablePaths(), (std::vector<std::string>{list, mp4, mkv}));
    Key(Qt::Key_Up);
    EXPECT_EQ(TablePaths(), (std::vector<std::string>{mp4, list, mkv}));
    Select(1);
    Key(Qt::Key_Up); // the list input moves too
    EXPECT_EQ(TablePaths(), (std::vector<std::string>{list, mp4, mkv}));

    EXPECT_EQ(ListLines(), TablePaths());
    EXPECT_EQ(rig_.Core().Inputs().selectedInput, 0);
    EXPECT_EQ(rig_.Window().InputList()->currentRow(), 0);
    EXPECT_TRUE(rig_.messages.shown.empty()) << (rig_.messages.shown.empty() ? "" : rig_.messages.shown.front().text);

    // Every input still shows its own pictures once selected.
    for (int row : {1, 2, 0}) {
        Select(row);
        EXPECT_EQ(rig_.Core().Inputs().selectedInput, row);
    }
    EXPECT_EQ(rig_.Core().Inputs().inputCount, 3);
    EXPECT_TRUE(rig_.messages.shown.empty());
}

TEST_F(InputTruth, AReplacementThatDoesNotOpenKeepsTheSelectedInput)
{
    const std::string mp4 = ClipByFfmpeg(rig_, "a.mp4", mediagen::FrameRate::Pal25, 320, 240, h264);
    const std::string list = rig_.MakeList("b.lst", 3);
    Add(mp4);
    Add(list);
    Select(0);
    const std::string notVideo = rig_.folder.File("letter.avi");
    {
        std::FILE* file = std::fopen(notVideo.c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fputs("Dear friend, this is a letter, not a film.\n", file);
        std::fclose(file);
    }
    rig_.files.mediaAnswers.push_back(notVideo);
    Post(control::openInput);

    EXPECT_EQ(TablePaths(), (std::vector<std::string>{mp4, list}));
    EXPECT_EQ(ListLines(), TablePaths());
    EXPECT_EQ(rig_.Core().Inputs().selectedInput, 0);
    EXPECT_FALSE(rig_.messages.shown.empty()) << "the user is told";
    // The kept input still works: its frames show and it can be moved.
    const std::size_t told = rig_.messages.shown.size();
    Key(Qt::Key_Down);
    EXPECT_EQ(TablePaths(), (std::vector<std::string>{list, mp4}));
    EXPECT_EQ(rig_.messages.shown.size(), told);
}

TEST_F(InputTruth, EachInputShowsItsOwnInvertAndFittingAfterTheSelectionMoves)
{
    Add(rig_.MakeList("a.lst", 3));
    Add(rig_.MakeList("b.lst", 3));
    Select(0);
    Click(control::invertCheck, true);
    Click(control::fillRadio, true);
    Select(1);
    EXPECT_FALSE(rig_.Window().Controls().IsChecked(control::invertCheck));
    EXPECT_FALSE(rig_.Window().Controls().IsChecked(control::fillRadio));
    Select(0);
    EXPECT_TRUE(rig_.Window().Controls().IsChecked(control::invertCheck));
    EXPECT_TRUE(rig_.Window().Controls().IsChecked(control::fillRadio));
    EXPECT_TRUE(rig_.Core().Inputs().inputTable[0].pictureOptions.invert);
    EXPECT_FALSE(rig_.Core().Inputs().inputTable[1].pictureOptions.invert);
}

TEST_F(InputTruth, AVideoKeepsTheUsersInvertWhenSelectedAgain)
{
    Add(ClipByFfmpeg(rig_, "a.mp4", mediagen::FrameRate::Pal25, 320, 240, h264));
    Add(rig_.MakeList("b.lst", 3));
    Select(0);
    Click(control::invertCheck, true);
    Select(1);
    Select(0);
    EXPECT_TRUE(rig_.Core().Inputs().inputTable[0].pictureOptions.invert);
    EXPECT_TRUE(rig_.Window().Controls().IsChecked(control::invertCheck));
}

TEST_F(InputTruth, EveryOptionClickRedrawsTheOutputPreviewAtOnce)
{
    // A wide clip: fitted proportionally it has black bands, filled in none.
    Add(ClipByFfmpeg(rig_, "wide.mp4", mediagen::FrameRate::Pal25, 640, 240, h264));
    Click(control::proportionalRadio, true);
    const std::vector<std::uint8_t> proportional = OutputPixels();

    Click(control::fillRadio, true);
    const std::vector<std::uint8_t> filled = OutputPixels();
    EXPECT_NE(filled, proportional) << "fill in shows at once";

    Click(control::invertCheck, true);
    const std::vector<std::uint8_t> inverted = OutputPixels();
    EXPECT_NE(inverted, filled) << "invert shows at once";
    Click(control::invertCheck, false);
    EXPECT_EQ(OutputPixels(), filled) << "and goes at once";

    Click(control::proportionalRadio, true);
    EXPECT_EQ(OutputPixels(), proportional);
    EXPECT_TRUE(rig_.messages.shown.empty());
}

TEST_F(InputTruth, AnOpenedInputShowsInTheOutputPreviewAsItWillBeEncoded)
{
    // 640 x 240 fitted proportionally into a 352 x 288 frame: black bands above and below.
    Add(ClipByFfmpeg(rig_, "wide.mp4", mediagen::FrameRate::Pal25, 640, 240, h264));
    const TFullDib& work = rig_.Core().PreviewPictures().OutputWorkPicture();
    EXPECT_EQ(work.Width(), 352);
    EXPECT_EQ(work.Height(), 288);
    EXPECT_EQ(rig_.Core().Settings().tvStandard, standardPal);
}

TEST_F(InputTruth, OneStandardForTheBatchShownAndWrittenAlike)
{
    const std::string pal = ClipByFfmpeg(rig_, "pal.mp4", mediagen::FrameRate::Pal25, 320, 240, h264);
    const std::string ntsc = ClipByFfmpeg(rig_, "ntsc.mp4", mediagen::FrameRate::Ntsc2997, 320, 240, h264);
    Add(pal);
    EXPECT_EQ(rig_.Core().Settings().tvStandard, standardPal) << "the first video proposes the standard";
    Add(ntsc);
    EXPECT_EQ(rig_.Core().Settings().tvStandard, standardPal) << "a later one does not change it";
    ASSERT_EQ(rig_.messages.shown.size(), 1u);
    const std::string told = rig_.messages.shown[0].text;
    EXPECT_NE(told.find(ntsc), std::string::npos) << told;
    EXPECT_NE(told.find("PAL"), std::string::npos) << told;

    Select(0);
    Select(1);
    const ControlSurface& controls = rig_.Window().Controls();
    EXPECT_TRUE(controls.IsChecked(control::palRadio));
    EXPECT_FALSE(controls.IsChecked(control::ntscRadio));
    EXPECT_EQ(controls.Text(control::widthEdit), "352");
    EXPECT_EQ(controls.Text(control::heightEdit), "288");
    EXPECT_EQ(rig_.Core().PreviewPictures().OutputWorkPicture().Height(), 288);

    // The user's choice wins, and later inputs keep it.
    Click(control::ntscRadio, true);
    EXPECT_EQ(rig_.Core().Settings().tvStandard, standardNtsc);
    Add(rig_.MakeList("after.lst", 2));
    Add(ClipByFfmpeg(rig_, "pal2.mp4", mediagen::FrameRate::Pal25, 320, 240, h264));
    EXPECT_EQ(rig_.Core().Settings().tvStandard, standardNtsc);
    EXPECT_EQ(controls.Text(control::heightEdit), "240");
    ASSERT_EQ(rig_.messages.shown.size(), 2u);
    EXPECT_NE(rig_.messages.shown[1].text.find("you chose"), std::string::npos) << rig_.messages.shown[1].text;

    // What is written is what is shown: the encoder is set up for NTSC VCD
    // (code 0 * 16 + 1) and every input is fitted into an NTSC picture.
    for (int i = 0; i < rig_.Core().Inputs().inputCount; ++i) {
        EXPECT_EQ(rig_.Core().Inputs().inputTable[static_cast<std::size_t>(i)].pictureOptions.outputHeight, 240) << i;
    }
    Post(control::startConversion);
    std::string lastInit;
    int makes = 0;
    for (const std::string& call : rig_.fake.Calls()) {
        if (call.rfind("init ", 0) == 0 && makes == 0) {
            lastInit = call;
        }
        if (call.rfind("make ", 0) == 0) {
            ++makes;
            EXPECT_NE(call.find(" 352x240 "), std::string::npos) << call;
        }
    }
    EXPECT_EQ(lastInit, "init 1");
    EXPECT_EQ(makes, 4);
}

} // namespace
} // namespace discforge::test
