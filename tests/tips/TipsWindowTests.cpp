// The start-up tips window: its check box mirrors the marker file that makes the
// converter start it, creating and removing that file; Next walks through every
// tip and comes round again; Close closes it.
#include "StartupFlag.h"
#include "TipTexts.h"
#include "TipsWindow.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include <filesystem>
#include <fstream>
#include <set>

namespace discforge::test {
namespace {

class TipsWindowTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "tips_tests";
        static char* argv[] = {name, nullptr};
        static QApplication application(argc, argv);
    }

    QCheckBox* Box(tips::TipsWindow& window) { return window.findChild<QCheckBox*>("showAtStart"); }
    QString Tip(tips::TipsWindow& window) { return window.findChild<QLabel*>("tipText")->text(); }

    TestFolder folder;
    std::string flag = folder.File("show.flg");
    QString flagPath = QString::fromStdString(flag);
};

TEST_F(TipsWindowTest, TheBoxShowsWhetherTheMarkerExists)
{
    {
        tips::TipsWindow window(flagPath, 0);
        EXPECT_FALSE(Box(window)->isChecked());
    }
    std::ofstream(flag).close();
    tips::TipsWindow window(flagPath, 0);
    EXPECT_TRUE(Box(window)->isChecked());
}

TEST_F(TipsWindowTest, UntickingRemovesTheMarkerAndTickingMakesItAgain)
{
    std::ofstream(flag) << "";
    tips::TipsWindow window(flagPath, 0);
    Box(window)->click();
    EXPECT_FALSE(Box(window)->isChecked());
    EXPECT_FALSE(std::filesystem::exists(flag));
    Box(window)->click();
    EXPECT_TRUE(Box(window)->isChecked());
    EXPECT_TRUE(std::filesystem::exists(flag));
}

TEST_F(TipsWindowTest, AMarkerThatCannotBeMadeLeavesTheBoxClear)
{
    // Its folder cannot be made: a file stands where it would be.
    std::ofstream(folder.File("not-a-folder")) << "";
    const QString unreachable = QString::fromStdString(folder.File("not-a-folder/show.flg"));
    tips::TipsWindow window(unreachable, 0);
    Box(window)->click();
    EXPECT_FALSE(Box(window)->isChecked());
    EXPECT_FALSE(tips::FlagExists(unreachable));
}

TEST_F(TipsWindowTest, NextShowsEveryTipOnceThenComesRound)
{
    const std::size_t count = tips::TipTexts().size();
    ASSERT_GE(count, 5u);
    tips::TipsWindow window(flagPath, 3);
    EXPECT_EQ(Tip(window), tips::TipTexts()[3]);
    std::set<QString> seen = {Tip(window)};
    auto* next = window.findChild<QPushButton*>("next");
    for (std::size_t i = 1; i < count; ++i) {
        next->click();
        seen.insert(Tip(window));
    }
    EXPECT_EQ(seen.size(), count);
    next->click();
    EXPECT_EQ(Tip(window), tips::TipTexts()[3]);
    EXPECT_EQ(window.findChild<QLabel*>("counter")->text(), QString("4 of %1").arg(count));
}

TEST_F(TipsWindowTest, AnyDayNumberPicksATip)
{
    const int count = static_cast<int>(tips::TipTexts().size());
    tips::TipsWindow late(flagPath, count + 1);
    EXPECT_EQ(Tip(late), tips::TipTexts()[1]);
    tips::TipsWindow negative(flagPath, -1);
    EXPECT_EQ(Tip(negative), tips::TipTexts()[static_cast<std::size_t>(count - 1)]);
}

TEST_F(TipsWindowTest, CloseClosesTheWindowAndLeavesTheMarkerAlone)
{
    std::ofstream(flag) << "";
    tips::TipsWindow window(flagPath, 0);
    window.show();
    window.findChild<QPushButton*>("close")->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(std::filesystem::exists(flag));
}

} // namespace
} // namespace discforge::test
