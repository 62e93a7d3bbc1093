// The menu's pages: title buttons in a grid inside the title-safe area, "Play
// all" and the page buttons below, arrows that reach every button and wrap.
#include "app/MenuLayout.h"

#include <gtest/gtest.h>

#include <set>

namespace discforge::test {
namespace {

MenuFrame Frame(int height, bool wide)
{
    MenuFrame frame;
    frame.height = height;
    frame.wide = wide;
    return frame;
}

int Count(const MenuPage& page, MenuButtonKind kind)
{
    int count = 0;
    for (const MenuButton& button : page.buttons) {
        count += button.kind == kind ? 1 : 0;
    }
    return count;
}

bool Overlap(const MenuRect& a, const MenuRect& b)
{
    return a.x < b.Right() && b.x < a.Right() && a.y < b.Bottom() && b.y < a.Bottom();
}

// The buttons reached from button 0 by the arrows.
std::set<int> Reached(const MenuPage& page)
{
    std::set<int> reached{0};
    std::vector<int> todo{0};
    while (!todo.empty()) {
        const MenuButton& button = page.buttons[todo.back()];
        todo.pop_back();
        for (const int next : {button.up, button.down, button.left, button.right}) {
            if (reached.insert(next).second) {
                todo.push_back(next);
            }
        }
    }
    return reached;
}

TEST(MenuLayout, TitlesThatDoNotFitOnePageGoOnToMoreWithButtonsBetweenThem)
{
    // 4:3 pages hold six titles, 16:9 pages eight.
    const std::vector<MenuPage> narrow = LayOutMenu(13, Frame(576, false));
    ASSERT_EQ(narrow.size(), 3u);
    EXPECT_EQ(Count(narrow[0], MenuButtonKind::title), 6);
    EXPECT_EQ(Count(narrow[2], MenuButtonKind::title), 1);
    for (const MenuPage& page : narrow) {
        EXPECT_EQ(Count(page, MenuButtonKind::playAll), 1);
    }
    EXPECT_EQ(Count(narrow[0], MenuButtonKind::previousPage), 0);
    EXPECT_EQ(Count(narrow[0], MenuButtonKind::nextPage), 1);
    EXPECT_EQ(Count(narrow[1], MenuButtonKind::previousPage), 1);
    EXPECT_EQ(Count(narrow[1], MenuButtonKind::nextPage), 1);
    EXPECT_EQ(Count(narrow[2], MenuButtonKind::nextPage), 0);
    EXPECT_EQ(narrow[2].buttons.front().title, 12) << "titles keep the inputs' order across pages";

    const std::vector<MenuPage> wide = LayOutMenu(8, Frame(480, true));
    ASSERT_EQ(wide.size(), 1u);
    EXPECT_EQ(wide[0].buttons.size(), 9u) << "eight titles and Play all";
    EXPECT_TRUE(LayOutMenu(0, Frame(576, false)).empty());
}

TEST(MenuLayout, ButtonsStayApartInsideTheTitleSafeAreaWithTextATwentiethOfTheHeight)
{
    for (const MenuFrame& frame : {Frame(576, false), Frame(576, true), Frame(480, false), Frame(480, true)}) {
        const int canvasWidth = frame.wide ? (frame.height == 576 ? 1024 : 853) : (frame.height == 576 ? 768 : 640);
        EXPECT_EQ(frame.CanvasWidth(), canvasWidth);
        EXPECT_GE(MenuTextPixels(frame) * 20, frame.height);
        for (const MenuPage& page : LayOutMenu(9, frame)) {
            for (std::size_t i = 0; i < page.buttons.size(); ++i) {
                const MenuRect& area = page.buttons[i].area;
                EXPECT_GE(area.x, canvasWidth * 0.05);
                EXPECT_LE(area.Right(), canvasWidth * 0.95);
                EXPECT_GE(area.y, frame.height * 0.05 - 1) << "rows are rounded to even lines";
                EXPECT_LE(area.Bottom(), frame.height * 0.95 + 1);
                EXPECT_EQ(area.y % 2, 0);
                EXPECT_EQ(area.height % 2, 0);
                EXPECT_GE(page.buttons[i].label.height, MenuTextPixels(frame));
                for (std::size_t j = i + 1; j < page.buttons.size(); ++j) {
                    EXPECT_FALSE(Overlap(area, page.buttons[j].area)) << i << " and " << j;
                }
                if (page.buttons[i].kind == MenuButtonKind::title) {
                    const MenuRect& picture = page.buttons[i].thumbnail;
                    EXPECT_NEAR(
                        static_cast<double>(picture.width) / picture.height, frame.wide ? 16.0 / 9 : 4.0 / 3, 0.05);
                }
            }
        }
    }
}

TEST(MenuLayout, ArrowsReachEveryButtonAndWrapAtTheEdges)
{
    const std::vector<MenuPage> pages = LayOutMenu(11, Frame(576, false));
    ASSERT_EQ(pages.size(), 2u);
    for (const MenuPage& page : pages) {
        for (const MenuButton& button : page.buttons) {
            for (const int next : {button.up, button.down, button.left, button.right}) {
                ASSERT_GE(next, 0);
                ASSERT_LT(next, static_cast<int>(page.buttons.size()));
            }
        }
        EXPECT_EQ(Reached(page).size(), page.buttons.size());
    }
    // Page 1: titles 0 1 2 / 3 4 5, then Play all and Next.
    const MenuPage& first = pages[0];
    EXPECT_EQ(first.buttons[0].right, 1);
    EXPECT_EQ(first.buttons[2].right, 0);
    EXPECT_EQ(first.buttons[0].left, 2);
    EXPECT_EQ(first.buttons[1].down, 4);
    EXPECT_EQ(first.buttons[4].up, 1);
    EXPECT_EQ(first.buttons[4].down, 6) << "the middle of the lower row leads to Play all";
    EXPECT_EQ(first.buttons[6].kind, MenuButtonKind::playAll);
    EXPECT_EQ(first.buttons[6].right, 7);
    EXPECT_EQ(first.buttons[7].kind, MenuButtonKind::nextPage);
    EXPECT_EQ(first.buttons[1].up, 6) << "up from the top row wraps to the bottom one";
    // Page 2: titles 6..10 as 6 7 8 / 9 10; down from 8 has no title below it and takes the nearest.
    const MenuPage& second = pages[1];
    EXPECT_EQ(second.buttons[2].down, 4);
    EXPECT_EQ(second.buttons[4].right, 3);
}

TEST(MenuLayout, FrameRectanglesScaleToTheStoredFrameAndSqueezeForLetterbox)
{
    // A 16:9 PAL canvas is 1024 wide; the frame 720, so x scales by 720/1024.
    const MenuFrame wide = Frame(576, true);
    const MenuRect canvas{512, 100, 256, 200};
    const MenuRect full = FrameRect(canvas, wide, false);
    EXPECT_EQ(full.x, 360);
    EXPECT_EQ(full.width, 180);
    EXPECT_EQ(full.y, 100);
    EXPECT_EQ(full.height, 200);
    // Letterboxed: 72 lines of bar, then three quarters: 72 + 75 = 147 -> 146, 72 + 225 = 297 -> 298.
    const MenuRect boxed = FrameRect(canvas, wide, true);
    EXPECT_EQ(boxed.x, 360);
    EXPECT_EQ(boxed.y, 146);
    EXPECT_EQ(boxed.Bottom(), 298);
}

} // namespace
} // namespace discforge::test
