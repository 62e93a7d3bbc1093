// The shape choice of the window: three radios where the skin places them, the
// choice kept in a project, and the output preview drawing a 16:9 frame 16:9.
#include "UiTestSupport.h"

#include "core/ControlIds.h"
#include "picture/TPreviewDib.h"
#include "ui/TMainWindow.h"

#include <QAbstractButton>
#include <QTest>

#include <gtest/gtest.h>

namespace discforge::test {
namespace {

std::string LayoutWithShapes()
{
    return FullLayout() + "ShapeAutoRadio=440,300,40,20;\nShape43Radio=490,300,40,20;\nShape169Radio=540,300,40,20;\n";
}

QAbstractButton* Button(WindowRig& rig, const char* name) { return rig.Window().findChild<QAbstractButton*>(name); }

void Open(WindowRig& rig, const std::string& path)
{
    rig.files.mediaAnswers.push_back(path);
    ASSERT_TRUE(rig.Command(control::openInput));
    rig.Settle();
    ASSERT_EQ(rig.Core().Inputs().inputCount, 1);
}

TEST(ShapeControl, TheRadiosSitWhereTheSkinPutsThemAndChooseTheShape)
{
    WindowRig rig(LayoutWithShapes());
    QAbstractButton* automatic = Button(rig, "shapeAutoRadio");
    QAbstractButton* fourByThree = Button(rig, "shapeFourByThreeRadio");
    QAbstractButton* sixteenByNine = Button(rig, "shapeSixteenByNineRadio");
    ASSERT_NE(automatic, nullptr);
    ASSERT_NE(fourByThree, nullptr);
    ASSERT_NE(sixteenByNine, nullptr);
    EXPECT_TRUE(sixteenByNine->isVisible());
    EXPECT_EQ(automatic->geometry(), QRect(440, 300, 40, 20));
    EXPECT_EQ(sixteenByNine->geometry(), QRect(540, 300, 40, 20));
    EXPECT_TRUE(automatic->isChecked()) << "automatic until chosen";
    EXPECT_FALSE(sixteenByNine->isChecked());

    QTest::mouseClick(sixteenByNine, Qt::LeftButton, {}, QPoint(20, 10));
    rig.Settle();
    EXPECT_EQ(rig.Core().Settings().shapeChoice, ShapeChoice::sixteenByNine);
    EXPECT_TRUE(sixteenByNine->isChecked());
    EXPECT_FALSE(automatic->isChecked());
    EXPECT_FALSE(fourByThree->isChecked());

    // Kept in the project and shown again when it opens.
    Open(rig, rig.MakeList("clip.lst", 2));
    const std::string project = rig.folder.File("shaped.mdp");
    ASSERT_TRUE(rig.Core().SaveProject(project));
    QTest::mouseClick(fourByThree, Qt::LeftButton, {}, QPoint(20, 10));
    rig.Settle();
    EXPECT_EQ(rig.Core().Settings().shapeChoice, ShapeChoice::fourByThree);
    ASSERT_TRUE(rig.Core().OpenProject(project));
    rig.Settle();
    EXPECT_EQ(rig.Core().Settings().shapeChoice, ShapeChoice::sixteenByNine);
    EXPECT_TRUE(sixteenByNine->isChecked());
    EXPECT_FALSE(fourByThree->isChecked());
    EXPECT_TRUE(rig.messages.shown.empty());
}

TEST(ShapeControl, ASkinWithoutTheKeysKeepsTheRadiosHidden)
{
    WindowRig rig;
    ASSERT_NE(Button(rig, "shapeAutoRadio"), nullptr);
    EXPECT_FALSE(Button(rig, "shapeAutoRadio")->isVisible());
    EXPECT_FALSE(Button(rig, "shapeSixteenByNineRadio")->isVisible());
}

TEST(ShapeControl, TheOutputPreviewDrawsASixteenByNineFrameSixteenByNine)
{
    WindowRig rig(LayoutWithShapes());
    Open(rig, rig.MakeList("clip.lst", 2));
    ASSERT_TRUE(rig.Core().ChooseStandard(standardPal));
    ASSERT_TRUE(rig.Core().ChooseFormat(formatDvd));
    const auto shownShape = [&rig](int radio) {
        rig.Window().Controls().SetChecked(radio, true);
        EXPECT_TRUE(rig.Command(radio));
        EXPECT_TRUE(rig.Command(command::renderOutputPreview));
        rig.Settle();
        const TPreviewDib* panel = rig.Core().PreviewPictures().OutputPanel();
        const PanelFit& fit = panel->Shown();
        return fit.shownHeight > 0 ? static_cast<double>(fit.shownWidth) / fit.shownHeight : 0.0;
    };
    // A 720 x 576 frame is drawn 1024 x 576 when shown 16:9, 768 x 576 when shown 4:3.
    EXPECT_NEAR(shownShape(control::shapeSixteenByNineRadio), 16.0 / 9.0, 0.08);
    EXPECT_NEAR(shownShape(control::shapeFourByThreeRadio), 4.0 / 3.0, 0.08);
    EXPECT_TRUE(rig.messages.shown.empty());
}

} // namespace
} // namespace discforge::test
