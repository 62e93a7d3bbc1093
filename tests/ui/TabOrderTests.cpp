// Tab goes through the window group by group as the skin draws them: the
// header, the previews, the inputs and the output file, then the option
// groups and the output options, ending on Convert; real Tab presses follow it.
#include "UiTestSupport.h"

#include "core/ControlIds.h"
#include "ui/TMainWindow.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace discforge::test {
namespace {

std::string LayoutWithBars()
{
    return FullLayout() + "InputPositionBar=20,192,260,8;\nOutputPositionBar=320,192,260,8;\n";
}

// The window's own controls that Tab stops at, in the focus chain's order from `first`.
std::vector<std::string> FocusChainFrom(QWidget& window, QWidget* first)
{
    std::vector<std::string> names;
    QWidget* widget = first;
    do {
        if (widget->parentWidget() == &window && !widget->isHidden() && (widget->focusPolicy() & Qt::TabFocus)) {
            names.push_back(widget->objectName().toStdString());
        }
        widget = widget->nextInFocusChain();
    } while (widget != first && names.size() < 100);
    return names;
}

TEST(TabOrder, FollowsTheGroupsAsTheSkinDrawsThem)
{
    WindowRig rig(LayoutWithBars());
    QWidget* checkLog = rig.Window().Controls().Find(control::checkLog);
    ASSERT_NE(checkLog, nullptr);
    const std::vector<std::string> expected{"button1292", "button1150", "button1148", "button1291", "button1149",
        "button1181", "inputPositionBar", "button1184", "outputPositionBar", "inputList", "button1143", "outputName",
        "button1136", "vcdRadio", "svcdRadio", "dvdRadio", "ntscRadio", "palRadio", "proportionalRadio", "fillRadio",
        "invertCheck", "widthField", "heightField", "splitCheck", "maxSizeField", "shutdownCheck", "discCheck",
        "button1403", "button1147"};
    EXPECT_EQ(FocusChainFrom(rig.Window(), checkLog), expected);
}

TEST(TabOrder, TabFromTheOutputFieldGoesToItsButtonAndThenToTheDiscChoice)
{
    WindowRig rig(LayoutWithBars());
    // With an input, the fields and buttons that work on it can take the focus.
    rig.files.mediaAnswers.push_back(rig.MakeList("clip.lst", 2));
    ASSERT_TRUE(rig.Command(control::openInput));
    rig.Settle();
    QWidget* outputName = rig.Window().Controls().Find(control::outputName);
    outputName->setFocus();
    rig.Settle();
    ASSERT_EQ(QApplication::focusWidget(), outputName);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), rig.Window().Controls().Find(control::chooseOutput));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), rig.Window().Controls().Find(control::vcdRadio))
        << "not the picture size fields";
    rig.Window().Controls().Find(control::heightEdit)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), rig.Window().Controls().Find(control::splitCheck));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), rig.Window().Controls().Find(control::heightEdit));
}

} // namespace
} // namespace discforge::test
