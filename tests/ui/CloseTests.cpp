// Starting where the user left the window, and closing: a playing preview is
// stopped first, a running conversion is cancelled only when the user agrees,
// the position is kept, and the encoder is shut down with the log written.
#include "UiTestSupport.h"

#include "app/FrameProfile.h"
#include "core/ControlIds.h"
#include "platform/UserFiles.h"

#include <QListWidget>
#include <QSettings>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace discforge::test {
namespace {

std::vector<std::string> CallsStartingWith(const FakeEncoder& fake, const std::string& start)
{
    std::vector<std::string> found;
    for (const std::string& call : fake.Calls()) {
        if (call.rfind(start, 0) == 0) {
            found.push_back(call);
        }
    }
    return found;
}

std::string FileText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(FramePosition, TheFrameOpensWhereTheProfileSaysWithinItsRange)
{
    const auto openedAt = [](int left, int top) {
        TestFolder folder;
        {
            ProfileStore profile(folder.File("profile.ini"));
            WriteFrameProfile(profile, left, top, true, false);
        }
        WriteSkin(folder.Path(), FullLayout());
        ProfileStore profile(folder.File("profile.ini"));
        ScriptedFileChooser files;
        RecordingMessagePort messages;
        HeadlessShell shell;
        HeadlessPower power;
        HeadlessFilterDialog filterDialog;
        TestApplication();
        ui::TMordaxApp app(
            {{messages, shell, power, filterDialog, files, FakeEncoderPath("full"), folder.Path()}, profile});
        app.InitMainWindow();
        return app.Frame()->pos();
    };
    EXPECT_EQ(openedAt(801, 50), QPoint(0, 50));
    EXPECT_EQ(openedAt(-1, 50), QPoint(0, 50));
    EXPECT_EQ(openedAt(100, 601), QPoint(100, 0));
    EXPECT_EQ(openedAt(800, 600), QPoint(800, 600));
}

TEST(FramePosition, ClosingKeepsThePositionAndTheTwoSwitches)
{
    WindowRig rig;
    rig.Frame().move(321, 123);
    ASSERT_TRUE(rig.Frame().close());
    QSettings written(QString::fromStdString(rig.folder.File("profile.ini")), QSettings::IniFormat);
    written.beginGroup(QStringLiteral("Ferrowick Discforge"));
    EXPECT_EQ(written.value("left").toString(), "321");
    EXPECT_EQ(written.value("top").toString(), "123");
    EXPECT_EQ(written.value("batch").toString(), "1");
    EXPECT_EQ(written.value("editFilters").toString(), "0");
}

TEST(Closing, APlayingPreviewIsStoppedFirstAndTheNextRequestCloses)
{
    WindowRig rig;
    rig.files.mediaAnswers.push_back(rig.MakeList("clip.lst", 3));
    ASSERT_TRUE(rig.Command(control::openInput));
    rig.Core().BeginPlayback(PlayingSide::input);
    ASSERT_TRUE(rig.Command(control::exitButton));
    rig.Settle();
    EXPECT_TRUE(rig.FrameOpen());
    EXPECT_TRUE(rig.Core().Preview().playbackStopRequest);

    EXPECT_FALSE(rig.Frame().close());
    EXPECT_TRUE(rig.FrameOpen());
    rig.Core().EndPlayback();
    ASSERT_TRUE(rig.Command(control::exitButton));
    EXPECT_TRUE(rig.WaitFor([&] { return !rig.FrameOpen(); }, 5));
}

class ClosingWhileConverting : public ::testing::Test {
protected:
    void SetUp() override
    {
        rig_.files.mediaAnswers.push_back(rig_.MakeList("one.lst", 3));
        ASSERT_TRUE(rig_.Command(command::addInput));
        rig_.files.mediaAnswers.push_back(rig_.MakeList("two.lst", 3));
        ASSERT_TRUE(rig_.Command(command::addInput));
        rig_.fake.PullFirstFrame();
    }
    // Starts the conversion and asks to close from inside it, as a click on
    // Exit or the window's close button does while the encoder pumps events.
    void CloseDuringTheRun(bool exitButton)
    {
        QMetaObject::invokeMethod(
            &rig_.Window(),
            [this, exitButton] {
                ASSERT_TRUE(rig_.Core().IsConverting());
                if (exitButton) {
                    rig_.Command(control::exitButton);
                    rig_.Settle();
                } else {
                    closedDuringRun_ = rig_.Frame().close();
                }
                openDuringRun_ = rig_.FrameOpen();
            },
            Qt::QueuedConnection);
        rig_.Command(control::startConversion);
        rig_.Settle();
    }

    WindowRig rig_;
    bool closedDuringRun_ = false;
    bool openDuringRun_ = false;
};

TEST_F(ClosingWhileConverting, ExitAsksAndOnYesTheRunIsCancelledThenTheWindowCloses)
{
    rig_.messages.answerYes = true;
    CloseDuringTheRun(true);
    ASSERT_EQ(rig_.messages.asked.size(), 1u);
    EXPECT_EQ(rig_.messages.asked[0].caption, "Ferrowick Discforge - conversion running");
    EXPECT_TRUE(openDuringRun_) << "nothing is torn down under the running encode";
    const std::vector<std::string> makes = CallsStartingWith(rig_.fake, "make");
    const std::vector<std::string> frames = CallsStartingWith(rig_.fake, "frame");
    ASSERT_EQ(makes.size(), 1u) << "the second input is not converted";
    EXPECT_EQ(CallsStartingWith(rig_.fake, "shutdown").size(), 1u) << "the running encode was stopped";
    EXPECT_TRUE(rig_.WaitFor([&] { return !rig_.FrameOpen(); }, 5)) << "the window closes once the run has ended";
    EXPECT_FALSE(rig_.Core().IsConverting());
}

TEST_F(ClosingWhileConverting, ClosingTheWindowAsksAndOnNoTheRunGoesOn)
{
    rig_.messages.answerYes = false;
    CloseDuringTheRun(false);
    ASSERT_EQ(rig_.messages.asked.size(), 1u);
    EXPECT_FALSE(closedDuringRun_);
    EXPECT_EQ(CallsStartingWith(rig_.fake, "make").size(), 2u);
    EXPECT_EQ(CallsStartingWith(rig_.fake, "frame"), (std::vector<std::string>(2, "frame 0 rowBytes 1408")));
    rig_.Settle();
    EXPECT_TRUE(rig_.FrameOpen());
    EXPECT_TRUE(rig_.Core().LastEncodeCompleted());
}

TEST(Teardown, ClosingShutsTheEncoderDownAndWritesTheLog)
{
    auto rig = std::make_unique<WindowRig>();
    rig->files.mediaAnswers.push_back(rig->MakeList("clip.lst", 3));
    ASSERT_TRUE(rig->Command(control::openInput));
    const std::string log = RunLogFilePath();
    std::filesystem::remove(log);
    ASSERT_TRUE(rig->Frame().close());
    rig->app.reset();
    EXPECT_EQ(CallsStartingWith(rig->fake, "shutdown").size(), 1u);
    const std::string text = FileText(log);
    EXPECT_EQ(text.rfind("Ferrowick Discforge - v3.60\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("clip.lst"), std::string::npos) << "the opened input is described";
}

TEST(OpenDialog, CancellingKeepsTheSelectedInput)
{
    WindowRig rig;
    const std::string list = rig.MakeList("Keep Me.LST", 3);
    rig.files.mediaAnswers.push_back(list);
    ASSERT_TRUE(rig.Command(control::openInput));
    rig.files.mediaAnswers.push_back(std::nullopt);
    ASSERT_TRUE(rig.Command(control::openInput));
    EXPECT_EQ(rig.Core().Inputs().inputCount, 1);
    EXPECT_EQ(rig.Core().Inputs().selectedInput, 0);
    EXPECT_EQ(rig.Window().InputList()->count(), 1);
    EXPECT_EQ(rig.Window().InputList()->item(0)->text().toStdString(), "Keep Me.LST")
        << "the line shows the file's name";
    EXPECT_EQ(rig.Window().InputList()->item(0)->toolTip().toStdString(), list) << "its tool tip the whole path";
    EXPECT_EQ(rig.Core().Inputs().inputTable[0].outputPath, rig.folder.File("Keep Me.mpg"))
        << "the path keeps its case";
}

TEST(OpenDialog, AFileThatCannotBeOpenedLeavesTheSelectedOneInPlace)
{
    WindowRig rig;
    const std::string first = rig.MakeList("first.lst", 3);
    rig.files.mediaAnswers.push_back(first);
    ASSERT_TRUE(rig.Command(control::openInput));
    rig.files.mediaAnswers.push_back(rig.folder.File("missing.lst"));
    ASSERT_TRUE(rig.Command(control::openInput));
    ASSERT_EQ(rig.Core().Inputs().inputCount, 1);
    EXPECT_EQ(rig.Core().Inputs().inputTable[0].path, first);
    EXPECT_EQ(rig.Core().Inputs().selectedInput, 0);
    EXPECT_FALSE(rig.messages.shown.empty()) << "the reader says why";
}

} // namespace
} // namespace discforge::test
