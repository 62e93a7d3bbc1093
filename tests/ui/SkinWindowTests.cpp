// The window over its skin: its size, the control places, the image buttons'
// faces, the play and stop pairs, the background and the placeholders, a
// missing or broken layout, and dragging the borderless window.
#include "UiTestSupport.h"

#include "core/ControlIds.h"
#include "ui/TImageButton.h"

#include <QApplication>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace discforge::test {
namespace {

using ui::ButtonFace;
using ui::TImageButton;

std::vector<TImageButton*> ButtonsOf(WindowRig& rig, int id)
{
    std::vector<TImageButton*> buttons;
    for (QWidget* widget : rig.Window().Controls().All(id)) {
        if (auto* button = dynamic_cast<TImageButton*>(widget)) {
            buttons.push_back(button);
        }
    }
    return buttons;
}

QColor ShownColour(QWidget& widget)
{
    return widget.grab().toImage().pixelColor(widget.width() / 2, widget.height() / 2);
}

TEST(SkinWindow, MainSizeGivesTheClientSizeAndEveryControlSitsAtItsRectangle)
{
    WindowRig rig;
    EXPECT_EQ(rig.Window().size(), QSize(600, 400));
    EXPECT_EQ(rig.Frame().size(), QSize(600, 400)) << "the frame has no border of its own";
    EXPECT_EQ(rig.Window().Controls().Find(control::inputList)->geometry(), QRect(20, 230, 190, 60));
    EXPECT_EQ(rig.Window().Controls().Find(control::maxSizeEdit)->geometry(), QRect(470, 275, 50, 20));
    EXPECT_EQ(rig.Window().Controls().Find(control::vcdRadio)->geometry(), QRect(20, 300, 100, 20));
    EXPECT_EQ(rig.Window().Controls().Find(control::svcdRadio)->geometry(), QRect(240, 300, 100, 20));
    EXPECT_EQ(ButtonsOf(rig, control::startConversion).at(0)->geometry(), QRect(500, 350, 80, 30));
    EXPECT_EQ(rig.Window().InputPreviewRect(), QRect(20, 40, 260, 150));
    EXPECT_EQ(rig.Window().OutputPreviewRect(), QRect(320, 40, 260, 150));
    EXPECT_EQ(QApplication::focusWidget(), rig.Window().Controls().Find(control::splitCheck));
    EXPECT_TRUE(rig.messages.shown.empty());
}

TEST(SkinWindow, ALayoutWithSvcdBeforeVcdPutsTheVcdButtonOnTheSvcdPlace)
{
    std::string layout = FullLayout();
    const std::string vcd = "VCDRadio=20,300,100,20;\n";
    layout.erase(layout.find(vcd), vcd.size());
    layout += vcd;
    WindowRig rig(layout);
    EXPECT_EQ(rig.Window().Controls().Find(control::vcdRadio)->geometry(), QRect(240, 300, 100, 20));
}

TEST(SkinWindow, AShortValueTakesTheRestFromTheKeyReadBeforeIt)
{
    std::string layout = FullLayout();
    const std::string about = "about=150,350,60,20;";
    layout.replace(layout.find(about), about.size(), "about=10,20;");
    WindowRig rig(layout);
    EXPECT_EQ(ButtonsOf(rig, control::about).at(0)->geometry(), QRect(10, 20, 60, 20)) << "size left over from help";
}

TEST(SkinWindow, AMissingLayoutFileIsToldAndTheWindowCloses)
{
    WindowRig rig("");
    std::filesystem::remove(rig.folder.File("UI/position.txt"));
    ui::TMordaxApp app(
        {{rig.messages, rig.shell, rig.power, rig.filterDialog, rig.files, rig.fake.Path(), rig.folder.Path()},
            *rig.profile});
    rig.messages.shown.clear();
    app.InitMainWindow();
    app.Start();
    ASSERT_EQ(rig.messages.shown.size(), 1u) << "told once, not once per reading";
    EXPECT_EQ(rig.messages.shown[0].text, "Can not open file position.txt.");
    EXPECT_EQ(rig.messages.shown[0].caption, "Ferrowick Discforge - Initial UI error!");
    EXPECT_TRUE(rig.WaitFor([&] { return !app.Frame()->isVisible(); }, 5));
}

TEST(SkinWindow, AKeyFollowedByNothingClosesTheWindow)
{
    std::string broken = FullLayout();
    broken.erase(broken.find("MAXLENField"));
    broken += "MAXLENField=";
    WindowRig brokenRig(broken);
    EXPECT_TRUE(brokenRig.WaitFor([&] { return !brokenRig.FrameOpen(); }, 5));
}

TEST(SkinWindow, ALayoutMissingKeysNamesTheFirstOneAndTheWindowCloses)
{
    std::string broken = FullLayout();
    for (const std::string entry : {"help=80,350,60,20;\n", "MainSize=600,400;\n"}) {
        ASSERT_NE(broken.find(entry), std::string::npos) << entry;
        broken.erase(broken.find(entry), entry.size());
    }
    WindowRig rig(broken);
    EXPECT_TRUE(rig.WaitFor([&] { return !rig.FrameOpen(); }, 5));
    ASSERT_EQ(rig.messages.shown.size(), 1u) << "told once, of the first key missing";
    EXPECT_EQ(rig.messages.shown[0].text, "The layout file position.txt has no usable entry help.");
    EXPECT_EQ(rig.messages.shown[0].caption, "Ferrowick Discforge - Initial UI error!");
}

TEST(SkinWindow, ImageButtonsShowTheFaceOfTheirState)
{
    WindowRig rig;
    TImageButton& help = *ButtonsOf(rig, control::help).at(0);
    EXPECT_EQ(help.Face(), ButtonFace::normal);
    EXPECT_EQ(ShownColour(help), faceColours[0]);
    help.setDown(true);
    EXPECT_EQ(help.Face(), ButtonFace::pressed);
    EXPECT_EQ(ShownColour(help), faceColours[1]);
    help.setDown(false);
    help.setEnabled(false);
    EXPECT_EQ(help.Face(), ButtonFace::disabled);
    EXPECT_EQ(ShownColour(help), faceColours[3]);
    help.setEnabled(true);
    EXPECT_EQ(ShownColour(help), faceColours[0]);
    QTest::mouseMove(&help);
    rig.Settle();
    EXPECT_EQ(help.Face(), ButtonFace::hot);
    EXPECT_EQ(ShownColour(help), faceColours[2]);
    QTest::mouseMove(&rig.Window(), QPoint(300, 20));
    rig.Settle();
    EXPECT_EQ(help.Face(), ButtonFace::normal) << "leaving it makes it normal again";

    TImageButton& exit = *ButtonsOf(rig, control::exitButton).at(0);
    EXPECT_EQ(exit.size(), QSize(30, 20));
    EXPECT_EQ(ShownColour(exit), faceColours[0]) << "a taller strip shows its bottom rows";
}

TEST(SkinWindow, EachPreviewHasAPlayButtonShownAndAStopButtonHiddenOnOnePlace)
{
    WindowRig rig;
    for (const int id : {control::inputPlay, control::outputPlay}) {
        const std::vector<TImageButton*> pair = ButtonsOf(rig, id);
        ASSERT_EQ(pair.size(), 2u);
        EXPECT_TRUE(pair[0]->isVisible());
        EXPECT_FALSE(pair[1]->isVisible());
        EXPECT_EQ(pair[0]->geometry(), pair[1]->geometry());
        EXPECT_EQ(pair[1]->text(), "Stop");
    }
}

TEST(SkinWindow, WithoutInputsBothPreviewsShowTheirPlaceholdersOverTheBackground)
{
    WindowRig rig;
    const QImage shown = rig.Window().grab().toImage();
    EXPECT_EQ(shown.size(), QSize(600, 400));
    EXPECT_EQ(ColourAt(shown, rig.Window().InputPreviewRect()), inputPlaceholderColour);
    EXPECT_EQ(ColourAt(shown, rig.Window().OutputPreviewRect()), outputPlaceholderColour);
    EXPECT_EQ(shown.pixelColor(5, 5), backgroundColour);

    rig.files.mediaAnswers.push_back(rig.MakeList("clip.lst", 3));
    ASSERT_TRUE(rig.Command(control::openInput));
    const QImage withInput = rig.Window().grab().toImage();
    for (const QRect& box : {rig.Window().InputPreviewRect(), rig.Window().OutputPreviewRect()}) {
        const QColor colour = ColourAt(withInput, box);
        EXPECT_NE(colour, inputPlaceholderColour) << "the previews draw there once there is an input";
        EXPECT_NE(colour, outputPlaceholderColour);
        EXPECT_NE(colour, backgroundColour);
    }
}

TEST(SkinWindow, APressOnTheBackgroundDragsTheWindow)
{
    WindowRig rig;
    const QPoint before = rig.Frame().pos();
    QTest::mousePress(&rig.Window(), Qt::LeftButton, {}, QPoint(300, 20));
    QMouseEvent move(QEvent::MouseMove, QPointF(340, 50), rig.Window().mapToGlobal(QPointF(340, 50)), Qt::NoButton,
        Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&rig.Window(), &move);
    QTest::mouseRelease(&rig.Window(), Qt::LeftButton, {}, QPoint(340, 50));
    EXPECT_EQ(rig.Frame().pos(), before + QPoint(40, 30));
}

} // namespace
} // namespace discforge::test
