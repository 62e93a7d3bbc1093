// Every command of the response table reaches its handler: posted by id, as
// a button or a key sends it, and each shows its effect.
#include "UiTestSupport.h"

#include "core/ControlIds.h"
#include "ui/ResponseTable.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

namespace discforge::test {
namespace {

using ui::msg::command;

int MakeCalls(const FakeEncoder& fake)
{
    int makes = 0;
    for (const std::string& call : fake.Calls()) {
        makes += call.rfind("make", 0) == 0 ? 1 : 0;
    }
    return makes;
}

class Commands : public ::testing::Test {
protected:
    void OpenLists(int count)
    {
        for (int i = 0; i < count; ++i) {
            rig_.files.mediaAnswers.push_back(rig_.MakeList("list" + std::to_string(i) + ".lst", 2 + i));
            ASSERT_TRUE(rig_.Command(command::addInput));
        }
    }
    // Posts the command as a button or key would and lets it run.
    void Post(int id, unsigned notification = 0)
    {
        rig_.Window().PostCommand(id, notification);
        rig_.Settle();
    }
    const InputTableState& Inputs() { return rig_.Core().Inputs(); }
    // The whole path of each line, which its tool tip shows.
    std::vector<std::string> ListLines()
    {
        std::vector<std::string> lines;
        for (int row = 0; row < rig_.Window().InputList()->count(); ++row) {
            lines.push_back(rig_.Window().InputList()->item(row)->toolTip().toStdString());
        }
        return lines;
    }

    WindowRig rig_;
};

TEST_F(Commands, EveryEntryOfTheTableIsDispatchedAndTheFirstMatchWins)
{
    std::set<std::tuple<unsigned, unsigned, int>> seen;
    for (const auto& entry : ui::TMainWindow::ResponseTable()) {
        EXPECT_TRUE(seen.insert({entry.message, entry.notification, entry.id}).second)
            << "entry " << entry.id << " would never be reached";
    }
    // Commands without an effect here (no preview yet, a cancelled dialog) still reach their handlers.
    for (const int id :
        {1164, 1165, 1176, 1188, 1195, command::letterN, command::letterT, command::openProject, command::saveProject,
            command::renderInputPreview, command::renderOutputPreview, control::inputPlay, control::outputPlay}) {
        EXPECT_TRUE(rig_.Command(id)) << id;
    }
    for (const int id : {1130, 1127, 1126, 1141, 1151, 1173, 1170, 1180, 1177}) {
        EXPECT_TRUE(rig_.Command(id, ui::notify::focusLost)) << id;
    }
    EXPECT_FALSE(rig_.Command(4242)) << "an id without an entry";
    EXPECT_FALSE(rig_.Command(control::widthEdit)) << "the width field answers to focus lost only";
}

TEST_F(Commands, OpenRemoveAndMoveChangeTheInputsAndTheList)
{
    const std::string first = rig_.MakeList("First.LST", 2);
    rig_.files.mediaAnswers.push_back(first);
    Post(control::openInput);
    ASSERT_EQ(Inputs().inputCount, 1);
    EXPECT_EQ(ListLines(), std::vector<std::string>{first}) << "the path keeps its case";
    OpenLists(2);
    ASSERT_EQ(Inputs().inputCount, 3);

    rig_.Window().InputList()->setCurrentRow(1); // the user clicks the second line
    EXPECT_EQ(Inputs().selectedInput, 1);
    EXPECT_EQ(Inputs().currentInput, 1);
    const std::string second = ListLines()[1];
    Post(command::moveInputUp);
    EXPECT_EQ(ListLines()[0], second);
    EXPECT_EQ(Inputs().selectedInput, 0);
    EXPECT_EQ(rig_.Window().InputList()->currentRow(), 0);
    Post(command::moveInputDown);
    EXPECT_EQ(ListLines()[1], second);
    Post(command::removeInput);
    EXPECT_EQ(Inputs().inputCount, 2);
    const std::vector<std::string> afterRemove = ListLines();
    EXPECT_EQ(afterRemove.size(), 2u);
    EXPECT_EQ(std::count(afterRemove.begin(), afterRemove.end(), second), 0);

    // The open command replaces the selected input.
    const std::string replacement = rig_.MakeList("replacement.lst", 4);
    rig_.files.mediaAnswers.push_back(replacement);
    const std::string selected = ListLines()[static_cast<std::size_t>(Inputs().selectedInput)];
    Post(control::openInput);
    EXPECT_EQ(Inputs().inputCount, 2);
    const std::vector<std::string> afterReplace = ListLines();
    EXPECT_EQ(std::count(afterReplace.begin(), afterReplace.end(), selected), 0);
    EXPECT_EQ(afterReplace.back(), replacement);
}

TEST_F(Commands, TheKeysOfTheInputListPostTheirCommands)
{
    OpenLists(3);
    const std::vector<std::string> opened = ListLines();
    // The keys are the window's shortcuts: they fire only in the active window, as the user has it.
    QWidget* top = rig_.Window().window();
    top->show();
    QApplication::setActiveWindow(top);
    ASSERT_EQ(QApplication::activeWindow(), top);
    QListWidget& list = *rig_.Window().InputList();
    list.setFocus();
    list.setCurrentRow(0);
    rig_.Settle();
    ASSERT_EQ(Inputs().selectedInput, 0);
    const auto key = [&](Qt::Key pressed, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(&list, pressed, modifiers);
        rig_.Settle();
    };

    // Moving the list's cursor alone never changes the order: only the move commands do.
    key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(ListLines(), (std::vector<std::string>{opened[1], opened[0], opened[2]}));
    EXPECT_EQ(Inputs().inputTable[1].path, rig_.folder.File("list0.lst"));
    EXPECT_EQ(Inputs().selectedInput, 1);
    key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(Inputs().inputTable[2].path, rig_.folder.File("list0.lst"));
    key(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(ListLines(), (std::vector<std::string>{opened[1], opened[0], opened[2]}));
    EXPECT_EQ(Inputs().selectedInput, 1);

    key(Qt::Key_Delete);
    EXPECT_EQ(Inputs().inputCount, 2);
    EXPECT_EQ(ListLines(), (std::vector<std::string>{opened[1], opened[2]}));

    const int askedBefore = rig_.files.asked;
    key(Qt::Key_Insert);
    EXPECT_EQ(rig_.files.asked, askedBefore + 1) << "Insert asks for a file to add";
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(rig_.files.asked, askedBefore + 2) << "Ctrl+S asks where to save the project";
    EXPECT_EQ(Inputs().inputCount, 2) << "the cancelled dialogs changed nothing";
}

TEST_F(Commands, OutputFileSettingsAndStandardReachTheCore)
{
    OpenLists(1);
    rig_.files.outputAnswers.push_back("/discs/Holiday.M2P");
    Post(control::chooseOutput);
    EXPECT_EQ(Inputs().inputTable[0].outputPath, "/discs/Holiday.M2P");
    EXPECT_EQ(rig_.Window().Controls().Text(control::outputName), "/discs/Holiday.M2P");

    QTest::mouseClick(rig_.Window().Controls().Find(control::dvdRadio), Qt::LeftButton);
    EXPECT_EQ(rig_.Core().Settings().outputFormat, formatDvd);
    EXPECT_FALSE(rig_.Window().Controls().IsChecked(control::vcdRadio)) << "one radio of a group at a time";
    QTest::mouseClick(rig_.Window().Controls().Find(control::palRadio), Qt::LeftButton);
    EXPECT_EQ(rig_.Core().Settings().tvStandard, standardPal);
    EXPECT_EQ(rig_.Window().Controls().Text(control::widthEdit), "720");
    EXPECT_EQ(rig_.Window().Controls().Text(control::heightEdit), "576");
    QTest::mouseClick(rig_.Window().Controls().Find(control::svcdRadio), Qt::LeftButton);
    EXPECT_EQ(rig_.Core().Settings().outputFormat, formatSvcd);
    QTest::mouseClick(rig_.Window().Controls().Find(control::vcdRadio), Qt::LeftButton);
    QTest::mouseClick(rig_.Window().Controls().Find(control::ntscRadio), Qt::LeftButton);
    EXPECT_EQ(rig_.Core().Settings().encoderFormatCode(), 1);

    QTest::mouseClick(rig_.Window().Controls().Find(control::fillRadio), Qt::LeftButton);
    EXPECT_EQ(Inputs().inputTable[0].pictureOptions.fitting, FitMode::fillIn);
    EXPECT_FALSE(rig_.Window().Controls().IsChecked(control::proportionalRadio));
    QTest::mouseClick(rig_.Window().Controls().Find(control::proportionalRadio), Qt::LeftButton);
    EXPECT_EQ(Inputs().inputTable[0].pictureOptions.fitting, FitMode::proportional);
    QTest::mouseClick(rig_.Window().Controls().Find(control::invertCheck), Qt::LeftButton);
    EXPECT_TRUE(Inputs().inputTable[0].pictureOptions.invert);
    QTest::mouseClick(rig_.Window().Controls().Find(control::shutdownCheck), Qt::LeftButton);
    EXPECT_TRUE(rig_.Core().Settings().shutdownWhenDone);
    QTest::mouseClick(rig_.Window().Controls().Find(control::splitCheck), Qt::LeftButton);
    EXPECT_TRUE(rig_.Core().Settings().splitOutput);
    EXPECT_TRUE(rig_.Window().Controls().IsEnabled(control::maxSizeEdit));
}

TEST_F(Commands, AProjectSavedAndOpenedBringsBackTheInputsTheirChoicesAndTheirControls)
{
    OpenLists(2);
    QTest::mouseClick(rig_.Window().Controls().Find(control::fillRadio), Qt::LeftButton);
    QTest::mouseClick(rig_.Window().Controls().Find(control::invertCheck), Qt::LeftButton);
    const std::vector<std::string> savedLines = ListLines();
    const std::string project = rig_.folder.File("work.mdp");
    rig_.files.projectAnswers.push_back(project);
    Post(command::saveProject);
    ASSERT_TRUE(std::filesystem::exists(project));
    EXPECT_GT(std::filesystem::file_size(project), 285u + 2u * 1104u) << "the records and the extension block";

    Post(command::removeInput);
    ASSERT_EQ(Inputs().inputCount, 1);
    rig_.files.projectAnswers.push_back(std::nullopt);
    Post(command::openProject);
    EXPECT_EQ(Inputs().inputCount, 1) << "a cancelled dialog changes nothing";

    rig_.files.projectAnswers.push_back(project);
    Post(command::openProject);
    EXPECT_TRUE(rig_.messages.shown.empty()) << rig_.messages.shown[0].text;
    ASSERT_EQ(Inputs().inputCount, 2);
    EXPECT_EQ(ListLines(), savedLines);
    EXPECT_EQ(Inputs().selectedInput, 1);
    EXPECT_EQ(rig_.Window().InputList()->currentRow(), 1);
    EXPECT_EQ(Inputs().inputTable[1].pictureOptions.fitting, FitMode::fillIn);
    EXPECT_TRUE(Inputs().inputTable[1].pictureOptions.invert);
    EXPECT_EQ(Inputs().inputTable[0].pictureOptions.fitting, FitMode::proportional);
    EXPECT_TRUE(rig_.Window().Controls().IsChecked(control::fillRadio));
    EXPECT_FALSE(rig_.Window().Controls().IsChecked(control::proportionalRadio));
    EXPECT_TRUE(rig_.Window().Controls().IsChecked(control::invertCheck));
    EXPECT_EQ(rig_.Window().Controls().Text(control::outputName), Inputs().inputTable[1].outputPath);

    // A file that is no project leaves the inputs as they are and says why.
    const std::string shortFile = rig_.folder.File("short.mdp");
    std::ofstream(shortFile) << "short";
    rig_.files.projectAnswers.push_back(shortFile);
    Post(command::openProject);
    EXPECT_EQ(Inputs().inputCount, 2);
    ASSERT_EQ(rig_.messages.shown.size(), 1u);
    EXPECT_EQ(rig_.messages.shown[0].text, "Can not read from file " + shortFile + ".");
}

TEST_F(Commands, TheInputListMenuOffersTheProjectCommands)
{
    OpenLists(2);
    std::map<QString, bool> offered = rig_.InputListMenuEntries();
    EXPECT_TRUE(offered["Open project..."]);
    EXPECT_TRUE(offered["Save project..."]);
    EXPECT_TRUE(offered["Remove"]);
    EXPECT_FALSE(offered["Move down"]) << "the last input is selected";
}

TEST_F(Commands, TheDesktopCommandsOpenTheGuideThePageAndTheLog)
{
    Post(control::help);
    Post(control::homePage);
    Post(control::checkLog);
    ASSERT_EQ(rig_.shell.openedDocuments.size(), 3u);
    EXPECT_EQ(rig_.shell.openedDocuments[0], rig_.folder.File("help/index.html"));
    EXPECT_EQ(rig_.shell.openedDocuments[1].rfind("https://", 0), 0u);
    EXPECT_NE(rig_.shell.openedDocuments[2].find("avi_log.txt"), std::string::npos);

    Post(control::about);
    ASSERT_EQ(rig_.messages.shown.size(), 1u);
    EXPECT_EQ(rig_.messages.shown[0].caption, "Ferrowick Discforge - About");
    EXPECT_EQ(rig_.messages.shown[0].text.rfind("Ferrowick Discforge v3.60", 0), 0u);
}

TEST_F(Commands, EnterAndTheConvertButtonStartTheConversion)
{
    OpenLists(1);
    Post(control::startConversion);
    EXPECT_EQ(MakeCalls(rig_.fake), 1);
    QTest::keyClick(rig_.Window().InputList(), Qt::Key_Return);
    rig_.Settle();
    EXPECT_EQ(MakeCalls(rig_.fake), 2) << "Enter posts the start command";
}

TEST_F(Commands, PlayingStateAnswersTheStopCommandsAndEnter)
{
    OpenLists(1);
    rig_.Core().BeginPlayback(PlayingSide::input);
    Post(command::stopPlayback);
    EXPECT_TRUE(rig_.Core().Preview().playbackStopRequest);
    Post(command::stopStream);
    EXPECT_TRUE(rig_.Core().Preview().streamStopRequest);
    rig_.Core().BeginPlayback(PlayingSide::input);
    Post(command::stopPlaybackAlias);
    Post(command::stopStreamAlias);
    EXPECT_TRUE(rig_.Core().Preview().playbackStopRequest);
    EXPECT_TRUE(rig_.Core().Preview().streamStopRequest);

    rig_.Core().BeginPlayback(PlayingSide::output);
    Post(command::enterKey);
    EXPECT_TRUE(rig_.Core().Preview().playbackStopRequest) << "Enter stops the preview";
    EXPECT_EQ(MakeCalls(rig_.fake), 0) << "and converts nothing";
    rig_.Core().EndPlayback();
}

TEST_F(Commands, TheTimersEndTheTopmostStateAndStartTheTipsOnlyWithTheMarker)
{
    ASSERT_TRUE(rig_.WaitFor([&] { return !rig_.Window().TimerRunning(ui::timer::endTopmost); }, 5));
    EXPECT_TRUE(rig_.shell.startedPrograms.empty()) << "no show.flg, no tips";

    // An older version's marker beside the program is taken over into the user's config folder.
    std::ofstream(rig_.folder.File("show.flg")) << "";
    ui::MessageArgs args;
    args.value = ui::timer::startTips;
    rig_.Window().Dispatch(ui::msg::timer, 0, 0, args);
    ASSERT_EQ(rig_.shell.startedPrograms.size(), 1u);
    EXPECT_EQ(rig_.shell.startedPrograms[0], rig_.folder.File("ShowTips"));
    const std::string userMarker = rig_.Window().Paths().userTipsMarkerPath;
    ASSERT_FALSE(userMarker.empty());
    EXPECT_NE(userMarker.find(std::getenv("XDG_CONFIG_HOME")), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(userMarker));
    std::filesystem::remove(userMarker);
    std::filesystem::remove(userMarker + ".taken");
}

} // namespace
} // namespace discforge::test
