// The pictures of a menu page: thumbnails where the buttons are, labels that
// stay readable over a user's picture, and highlight marks of the few colours a
// DVD subpicture can have.
#include "app/MenuPicture.h"

#include <gtest/gtest.h>

#include <QColor>

#include <algorithm>
#include <set>

namespace discforge::test {
namespace {

MenuColour At(const QImage& image, int x, int y)
{
    const QColor colour = image.pixelColor(x, y);
    return {static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
        static_cast<std::uint8_t>(colour.blue())};
}

QImage Filled(QColor colour)
{
    QImage image(160, 120, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

TEST(MenuPicture, ThumbnailsAndReadableLabelsOverAWhitePicture)
{
    const MenuPainting painting;
    ASSERT_TRUE(painting.Ready());
    MenuFrame frame;
    const std::vector<MenuPage> pages = LayOutMenu(2, frame);
    ASSERT_EQ(pages.size(), 1u);
    const std::vector<MenuTitle> titles{{"Red & \"Ready\"", Filled(Qt::red)}, {"Grüße", Filled(Qt::blue)}};
    const QImage page = PaintMenuPage(painting, pages[0], frame, titles, Filled(Qt::white));
    ASSERT_EQ(page.width(), 720);
    ASSERT_EQ(page.height(), 576);

    for (int i = 0; i < 2; ++i) {
        const MenuRect thumbnail = FrameRect(pages[0].buttons[i].thumbnail, frame, false);
        const MenuColour middle = At(page, thumbnail.x + thumbnail.width / 2, thumbnail.y + thumbnail.height / 2);
        EXPECT_GT(i == 0 ? middle.red : middle.blue, 200) << "title " << i;
        EXPECT_LT(middle.green, 40) << "title " << i;
    }
    const MenuColour background = At(page, 4, 4);
    EXPECT_GT(background.red + background.green + background.blue, 3 * 240) << "the picture is behind the menu";

    // In the middle of each label the lightest and darkest pixels are its text and its plate.
    for (const MenuButton& button : pages[0].buttons) {
        const MenuRect label = FrameRect(button.label, frame, false);
        double lightest = -1;
        double darkest = 2;
        MenuColour light;
        MenuColour dark;
        for (int y = label.y + label.height / 4; y < label.Bottom() - label.height / 4; ++y) {
            for (int x = label.x + label.width * 2 / 5; x < label.Right() - label.width * 2 / 5; ++x) {
                const MenuColour pixel = At(page, x, y);
                const double luminance = RelativeLuminance(pixel);
                if (luminance > lightest) {
                    lightest = luminance;
                    light = pixel;
                }
                if (luminance < darkest) {
                    darkest = luminance;
                    dark = pixel;
                }
            }
        }
        EXPECT_GE(ContrastRatio(light, dark), minimumTextContrast) << "a label is not readable";
    }
}

TEST(MenuPicture, ButtonMarksAreOneColourOnTransparencyRoundEveryButton)
{
    const MenuPainting painting;
    ASSERT_TRUE(painting.Ready());
    MenuFrame frame;
    frame.wide = true;
    const std::vector<MenuPage> pages = LayOutMenu(3, frame);
    ASSERT_EQ(pages.size(), 1u);
    for (const bool letterbox : {false, true}) {
        const QImage marks = PaintButtonMarks(pages[0], frame, {0x4c, 0x8d, 0xff}, letterbox);
        ASSERT_EQ(marks.size(), QSize(720, 576));
        std::set<QRgb> colours;
        for (int y = 0; y < marks.height(); ++y) {
            for (int x = 0; x < marks.width(); ++x) {
                colours.insert(marks.pixel(x, y));
            }
        }
        EXPECT_EQ(colours.size(), 2u) << "transparency and the mark's colour";
        for (const MenuButton& button : pages[0].buttons) {
            const MenuRect area = FrameRect(button.area, frame, letterbox);
            EXPECT_EQ(marks.pixelColor(area.x, area.y + area.height / 2), QColor(0x4c, 0x8d, 0xff));
            EXPECT_EQ(marks.pixelColor(area.x + area.width / 2, area.Bottom() - 1), QColor(0x4c, 0x8d, 0xff));
            EXPECT_EQ(qAlpha(marks.pixel(area.x + area.width / 2, area.y + area.height / 2)), 0);
        }
        if (letterbox) {
            EXPECT_EQ(qAlpha(marks.pixel(360, 20)), 0) << "nothing in the bars";
        }
    }
}

} // namespace
} // namespace discforge::test
