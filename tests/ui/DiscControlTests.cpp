// The window's disc controls: the input list's "Author disc…" entry, offered
// once a stream has been written, and the skin's "make a disc after
// converting" check box with its folder button, kept in the profile.
#include "UiTestSupport.h"

#include "app/FrameProfile.h"
#include "core/ControlIds.h"
#include "support/StandInTool.h"
#include "ui/ResponseTable.h"

#include <QAbstractButton>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace discforge::test {
namespace {

const QString authorDisc = QStringLiteral("Author disc\u2026");

class DiscControls : public ::testing::Test {
protected:
    void OpenLists(int count)
    {
        for (int i = 0; i < count; ++i) {
            rig_.files.mediaAnswers.push_back(rig_.MakeList("list" + std::to_string(i) + ".lst", 2 + i));
            ASSERT_TRUE(rig_.Command(command::addInput));
        }
    }
    std::map<QString, bool> MenuEntries() { return rig_.InputListMenuEntries(); }
    QAbstractButton* Button(const char* name) { return rig_.Window().findChild<QAbstractButton*>(name); }

    WindowRig rig_;
};

TEST_F(DiscControls, AuthorDiscIsOfferedOnceAStreamIsWrittenAndMakesTheDiscInTheChosenFolder)
{
    OpenLists(2);
    std::map<QString, bool> offered = MenuEntries();
    ASSERT_TRUE(offered.contains(authorDisc));
    EXPECT_FALSE(offered[authorDisc]) << "no stream is written yet";

    const std::string stream = rig_.Core().Inputs().inputTable[1].outputPath;
    std::ofstream(stream) << "converted";
    EXPECT_TRUE(MenuEntries()[authorDisc]);

    // Declining the folder makes nothing.
    rig_.files.folderAnswers.push_back(std::nullopt);
    ASSERT_TRUE(rig_.Command(command::authorDisc));
    const StandInTool tool(rig_.folder.File("tools"), "dvdauthor", standInDvdauthor);
    ASSERT_TRUE(rig_.Core().ChooseFormat(formatDvd));
    const std::string disc = rig_.folder.File("disc");
    rig_.files.folderAnswers.push_back(disc);
    ASSERT_TRUE(rig_.Command(command::authorDisc));
    EXPECT_EQ(rig_.files.asked, 4) << "two inputs and two folders";
    EXPECT_TRUE(std::filesystem::is_directory(disc + "/VIDEO_TS"));
    EXPECT_NE(rig_.Core().Log().Text().find("stand-in dvdauthor wrote the disc"), std::string::npos);
    EXPECT_TRUE(rig_.messages.shown.empty());
}

TEST_F(DiscControls, TheCheckBoxSitsWhereTheSkinPutsItAndAsksForAFolderWhenTicked)
{
    QAbstractButton* check = Button("discCheck");
    ASSERT_NE(check, nullptr);
    EXPECT_TRUE(check->isVisible());
    EXPECT_EQ(check->geometry(), QRect(20, 375, 180, 20));
    QAbstractButton* folderButton = Button("button1403");
    ASSERT_NE(folderButton, nullptr);
    EXPECT_EQ(folderButton->geometry(), QRect(220, 375, 60, 20));

    // Ticked without an answer, the box clears again.
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(100, 10));
    rig_.Settle();
    EXPECT_EQ(rig_.files.asked, 1);
    EXPECT_FALSE(check->isChecked());
    EXPECT_FALSE(rig_.Core().Settings().discAfterConverting);

    const std::string disc = rig_.folder.File("disc");
    rig_.files.folderAnswers.push_back(disc);
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(100, 10));
    rig_.Settle();
    EXPECT_TRUE(check->isChecked());
    EXPECT_TRUE(rig_.Core().Settings().discAfterConverting);
    EXPECT_TRUE(folderButton->toolTip().contains(QString::fromStdString(disc)));

    // The folder button changes the folder and leaves the box as it is.
    rig_.files.folderAnswers.push_back(rig_.folder.File("other"));
    QTest::mouseClick(folderButton, Qt::LeftButton);
    rig_.Settle();
    EXPECT_EQ(rig_.Core().Settings().discFolder, rig_.folder.File("other"));
    EXPECT_TRUE(check->isChecked());

    // Both are kept in the profile when the window closes.
    rig_.Frame().close();
    rig_.Settle();
    const DiscProfile kept = ReadDiscProfile(*rig_.profile);
    EXPECT_TRUE(kept.afterConverting);
    EXPECT_EQ(kept.folder, rig_.folder.File("other"));
}

TEST(DiscControlsOfAnOlderSkin, StayHiddenWhileTheWindowWorks)
{
    std::string layout = FullLayout();
    for (const std::string key : {"discfolder=220,375,60,20;\n", "DiscCheck=20,375,180,20;\n"}) {
        layout.erase(layout.find(key), key.size());
    }
    WindowRig rig(layout);
    EXPECT_TRUE(rig.FrameOpen());
    auto* check = rig.Window().findChild<QAbstractButton*>("discCheck");
    ASSERT_NE(check, nullptr);
    EXPECT_FALSE(check->isVisible());
    EXPECT_EQ(rig.Window().findChild<QAbstractButton*>("button1403"), nullptr);
    EXPECT_TRUE(rig.messages.shown.empty());
}

} // namespace
} // namespace discforge::test
