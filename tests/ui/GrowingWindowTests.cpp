// The window over a skin that says how it grows: resizable down to the skin's
// smallest size, the previews, the input list and the buttons at their places
// at two larger sizes and a smaller one, the background drawn to match, and a
// preview drawn as large as its box allows at the picture's shape.
#include "UiTestSupport.h"

#include "core/ControlIds.h"
#include "mediagen/MediaGen.h"
#include "picture/TPreviewDib.h"
#include "ui/TImageButton.h"
#include "ui/TMainWindow.h"
#include "TestPaths.h"

#include <QListWidget>

#include <filesystem>
#include <vector>

#include <gtest/gtest.h>

namespace discforge::test {
namespace {

// The top row (previews and transport) widens inside both previews, the rest
// inside the input list and between the output field and its button; the
// height grows inside the previews (three parts) and the list (one part).
std::string GrowingLayout()
{
    return FullLayout()
        + "StretchX1=150,250,0,225;\n"
          "StretchX2=450,550,0,225;\n"
          "StretchX3=100,200,225,400;\n"
          "StretchX4=440,450,225,400;\n"
          "StretchY1=60,170,3;\n"
          "StretchY2=240,280,1;\n"
          "SmallestSize=300,200;\n";
}

QRect ButtonPlace(WindowRig& rig, int id) { return rig.Window().Controls().Find(id)->geometry(); }

void ResizeTo(WindowRig& rig, QSize size)
{
    rig.Frame().resize(size);
    rig.Settle();
    ASSERT_EQ(rig.Window().size(), size) << "the window fills its frame";
}

bool Black(const QColor& colour) { return colour.red() < 16 && colour.green() < 16 && colour.blue() < 16; }

int LitPixelsInRow(const QImage& shown, int y, int left, int right)
{
    int lit = 0;
    for (int x = left; x < right; ++x) {
        lit += Black(shown.pixelColor(x, y)) ? 0 : 1;
    }
    return lit;
}

int LitPixelsInColumn(const QImage& shown, int x, int top, int bottom)
{
    int lit = 0;
    for (int y = top; y < bottom; ++y) {
        lit += Black(shown.pixelColor(x, y)) ? 0 : 1;
    }
    return lit;
}

TEST(GrowingWindow, AnOldSkinKeepsItsOneSize)
{
    WindowRig rig;
    EXPECT_FALSE(rig.Window().Resizable());
    EXPECT_EQ(rig.Frame().minimumSize(), QSize(600, 400));
    EXPECT_EQ(rig.Frame().maximumSize(), QSize(600, 400));
    EXPECT_EQ(rig.Window().findChild<QWidget*>("sizeGrip"), nullptr);
}

TEST(GrowingWindow, PreviewsListAndButtonsFollowTheWindowAtTwoSizes)
{
    WindowRig rig(GrowingLayout());
    ASSERT_TRUE(rig.Window().Resizable());
    EXPECT_EQ(rig.Window().size(), QSize(600, 400)) << "it starts at the skin's size where that fits";
    EXPECT_EQ(rig.Frame().minimumSize(), QSize(300, 200));
    QWidget* grip = rig.Window().findChild<QWidget*>("sizeGrip");
    ASSERT_NE(grip, nullptr);
    EXPECT_TRUE(grip->isVisible());

    // 200 pixels more each way: 100 for each band of a row, 150 and 50 down.
    ResizeTo(rig, QSize(800, 600));
    EXPECT_EQ(rig.Window().InputPreviewRect(), QRect(20, 40, 360, 300));
    EXPECT_EQ(rig.Window().OutputPreviewRect(), QRect(420, 40, 360, 300));
    EXPECT_EQ(rig.Window().InputList()->geometry(), QRect(20, 380, 290, 110));
    EXPECT_EQ(ButtonPlace(rig, control::startConversion), QRect(700, 550, 80, 30)) << "moved, not stretched";
    EXPECT_EQ(ButtonPlace(rig, control::help), QRect(80, 550, 60, 20)) << "across a band it keeps its size";
    EXPECT_EQ(grip->geometry().bottomRight(), QPoint(799, 599));

    // Wider and lower: 200 for each band of a row, 75 and 25 down.
    ResizeTo(rig, QSize(1000, 500));
    EXPECT_EQ(rig.Window().InputPreviewRect(), QRect(20, 40, 460, 225));
    EXPECT_EQ(rig.Window().OutputPreviewRect(), QRect(520, 40, 460, 225));
    EXPECT_EQ(rig.Window().InputList()->geometry(), QRect(20, 305, 390, 85));
    EXPECT_EQ(ButtonPlace(rig, control::startConversion), QRect(900, 450, 80, 30));
    EXPECT_TRUE(rig.messages.shown.empty());
}

TEST(GrowingWindow, ASmallerWindowShowsTheWholeLayoutScaled)
{
    WindowRig rig(GrowingLayout());
    ResizeTo(rig, QSize(450, 300));
    EXPECT_EQ(rig.Window().InputPreviewRect(), QRect(15, 30, 195, 113));
    EXPECT_EQ(rig.Window().InputList()->geometry(), QRect(15, 173, 143, 45));
    auto* convert = dynamic_cast<ui::TImageButton*>(rig.Window().Controls().Find(control::startConversion));
    ASSERT_NE(convert, nullptr);
    EXPECT_EQ(convert->geometry(), QRect(375, 263, 60, 23));
    // The face of its state, scaled with the button, fills it.
    const QImage face = convert->grab().toImage();
    const QColor expected = faceColours[static_cast<int>(convert->Face())];
    EXPECT_EQ(face.pixelColor(3, 3), expected);
    EXPECT_EQ(face.pixelColor(56, 19), expected);
    rig.Frame().resize(100, 100);
    rig.Settle();
    EXPECT_EQ(rig.Window().size(), QSize(300, 200)) << "never smaller than the skin allows";
}

TEST(GrowingWindow, TheBackgroundMovesWithTheControlsItLabels)
{
    // A mark in the background between the top row's two bands, where a caption would be.
    const QColor mark(250, 20, 20);
    WindowRig rig(GrowingLayout(), "", nullptr, [&mark](const std::string& skin) {
        QImage background(600, 400, QImage::Format_RGB32);
        background.fill(backgroundColour);
        for (int y = 10; y < 20; ++y) {
            for (int x = 300; x < 310; ++x) {
                background.setPixelColor(x, y, mark);
            }
        }
        background.save(QString::fromStdString(skin + "/interface.jpg"), "BMP");
    });
    ResizeTo(rig, QSize(800, 600));
    const QImage shown = rig.Window().grab().toImage();
    EXPECT_EQ(shown.pixelColor(401, 11), mark) << "moved by the first band's share, unstretched";
    EXPECT_EQ(shown.pixelColor(408, 18), mark);
    EXPECT_EQ(shown.pixelColor(412, 15), backgroundColour);
    EXPECT_EQ(shown.pixelColor(305, 15), backgroundColour) << "nothing is left at the old place";
}

TEST(GrowingWindow, APreviewFillsItsBoxAtThePicturesShape)
{
    WindowRig rig(GrowingLayout());
    rig.files.mediaAnswers.push_back(rig.MakeList("four-three.lst", 2));
    ASSERT_TRUE(rig.Command(control::openInput));
    rig.Settle();
    ASSERT_EQ(rig.Core().Inputs().inputCount, 1);

    // A 64 x 48 picture in the 260 x 150 box: 200 x 150 from x 50, black either side.
    QImage shown = rig.Window().grab().toImage();
    EXPECT_GT(LitPixelsInRow(shown, 41, 50, 250), 40) << "the picture reaches the box's top";
    EXPECT_GT(LitPixelsInRow(shown, 188, 50, 250), 40) << "and its bottom";
    EXPECT_GT(LitPixelsInColumn(shown, 51, 40, 190), 20) << "and 4:3 wide";
    EXPECT_GT(LitPixelsInColumn(shown, 248, 40, 190), 20);
    EXPECT_EQ(LitPixelsInColumn(shown, 46, 40, 190), 0) << "black beside it";
    EXPECT_EQ(LitPixelsInColumn(shown, 254, 40, 190), 0);

    // In the 360 x 300 box of the larger window: 360 x 270 from y 55.
    ResizeTo(rig, QSize(800, 600));
    shown = rig.Window().grab().toImage();
    EXPECT_GT(LitPixelsInRow(shown, 57, 20, 380), 60);
    EXPECT_GT(LitPixelsInRow(shown, 323, 20, 380), 60);
    EXPECT_EQ(LitPixelsInRow(shown, 51, 20, 380), 0) << "black above it";
    EXPECT_EQ(LitPixelsInRow(shown, 329, 20, 380), 0) << "and below";

    // Once the size stays put, the panels are made as large as the boxes and
    // show the picture again, no longer enlarged from the small panel.
    const auto fitted = [&rig] {
        const TPreviewDib* input = rig.Core().PreviewPictures().InputPanel();
        const TPreviewDib* output = rig.Core().PreviewPictures().OutputPanel();
        return input != nullptr && output != nullptr && input->Width() == 360 && input->Height() == 300
            && output->Width() == 360 && output->Height() == 300;
    };
    ASSERT_TRUE(rig.WaitFor(fitted));
    const PanelFit& fit = rig.Core().PreviewPictures().InputPanel()->Shown();
    EXPECT_EQ(fit.shownWidth, 64) << "the 64 x 48 picture is held whole";
    EXPECT_EQ(fit.shownHeight, 48);
    shown = rig.Window().grab().toImage();
    EXPECT_GT(LitPixelsInRow(shown, 57, 20, 380), 60);
    EXPECT_GT(LitPixelsInRow(shown, 323, 20, 380), 60);
    EXPECT_EQ(LitPixelsInRow(shown, 51, 20, 380), 0);
    EXPECT_TRUE(rig.messages.shown.empty());
}

// The default skin as committed, in place of the test skin.
void UseDefaultSkin(const std::string& skin)
{
    for (const auto& entry : std::filesystem::directory_iterator(std::string(DISCFORGE_SOURCE_DIR) + "/resources/UI")) {
        std::filesystem::copy_file(entry.path(), skin + "/" + entry.path().filename().string(),
            std::filesystem::copy_options::overwrite_existing);
    }
}

TEST(GrowingWindow, TheDefaultSkinGrownKeepsItsGroupsInOrderAndItsEdgesInLine)
{
    WindowRig rig(FullLayout(), "", nullptr, UseDefaultSkin);
    ASSERT_TRUE(rig.Window().Resizable());
    ResizeTo(rig, QSize(1400, 900));
    const QRect input = rig.Window().InputPreviewRect();
    const QRect output = rig.Window().OutputPreviewRect();
    // 440 more across: 220 for each column; 196 more down: three quarters to the previews.
    EXPECT_EQ(input, QRect(32, 82, 652, 471));
    EXPECT_EQ(output, QRect(716, 82, 652, 471));
    const QRect list = rig.Window().InputList()->geometry();
    EXPECT_EQ(list.left(), input.left());
    EXPECT_GT(list.height(), 136) << "the list takes some of the height";
    EXPECT_EQ(ButtonPlace(rig, control::openInput).right(), input.right()) << "the open button ends under the preview";
    EXPECT_EQ(ButtonPlace(rig, control::startConversion).right(), output.right()) << "so does Convert";
    EXPECT_EQ(ButtonPlace(rig, control::startConversion).size(), QSize(200, 48));
    EXPECT_EQ(ButtonPlace(rig, control::exitButton).right(), output.right());
    // The option groups keep their places beside each other under the output preview.
    const QRect vcd = rig.Window().Controls().Find(control::vcdRadio)->geometry();
    const QRect ntsc = rig.Window().Controls().Find(control::ntscRadio)->geometry();
    EXPECT_EQ(vcd.left(), output.left());
    EXPECT_EQ(ntsc.left() - vcd.left(), 92);
    EXPECT_EQ(vcd.size(), QSize(76, 20));
    // Nothing the skin places leaves the window or lies over another control.
    std::vector<QWidget*> shown;
    for (QWidget* child : rig.Window().findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!child->isWindow() && child->isVisible() && child->objectName() != "sizeGrip") {
            EXPECT_TRUE(rig.Window().rect().contains(child->geometry())) << child->objectName().toStdString();
            for (const QWidget* other : shown) {
                EXPECT_FALSE(child->geometry().intersects(other->geometry()))
                    << child->objectName().toStdString() << " over " << other->objectName().toStdString();
            }
            shown.push_back(child);
        }
    }
    // With a clip of 640 x 480 pictures open, the picture the README shows.
    mediagen::ListRecipe recipe;
    recipe.path = rig.folder.File("holiday slides.lst");
    recipe.pictures = 3;
    recipe.width = 640;
    recipe.height = 480;
    std::string error;
    ASSERT_TRUE(mediagen::WritePictureList(recipe, error)) << error;
    rig.files.mediaAnswers.push_back(recipe.path);
    ASSERT_TRUE(rig.Command(control::openInput));
    rig.Settle();
    ASSERT_EQ(rig.Core().Inputs().inputCount, 1);
    ASSERT_TRUE(rig.WaitFor([&rig, &input] {
        const TPreviewDib* panel = rig.Core().PreviewPictures().InputPanel();
        return panel != nullptr && panel->Width() == input.width() && panel->Height() == input.height();
    })) << "the panels grow with their boxes";
    std::filesystem::create_directories(DISCFORGE_SCREENSHOT_DIR);
    rig.Window().grab().save(QString::fromStdString(std::string(DISCFORGE_SCREENSHOT_DIR) + "/discforge-grown.png"));
}

} // namespace
} // namespace discforge::test
