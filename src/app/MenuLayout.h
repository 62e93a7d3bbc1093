// Where a DVD menu's buttons go: pages of title buttons in a grid inside the
// title-safe area (the middle 90 % a TV always shows), and on each page a row
// with "Play all" and, when there are several pages, buttons to the others.
// The remote's arrows move between neighbours and wrap at the edges.
#pragma once

#include <vector>

namespace discforge {

// A rectangle in pixels: of the square-pixel canvas the menu is drawn on, or of
// the stored frame the subpicture covers.
struct MenuRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    int Right() const { return x + width; }
    int Bottom() const { return y + height; }
};

enum class MenuButtonKind { title, playAll, previousPage, nextPage };

struct MenuButton {
    MenuButtonKind kind = MenuButtonKind::title;
    int title = -1; // the input's index, for a title button
    MenuRect area; // the whole button, on the canvas
    MenuRect thumbnail; // a title button's picture, on the canvas
    MenuRect label; // its text, on the canvas
    // The buttons of the same page the arrows lead to, by index.
    int up = 0;
    int down = 0;
    int left = 0;
    int right = 0;
};

struct MenuPage {
    std::vector<MenuButton> buttons;
};

// The frame a menu is encoded in and how it is shown.
struct MenuFrame {
    int width = 720;
    int height = 576;
    bool wide = false;

    // The square-pixel canvas of the same shown shape and height.
    int CanvasWidth() const;
    // How many title buttons a page holds.
    int Columns() const { return wide ? 4 : 3; }
    static constexpr int rows = 2;
};

// The pages of a menu for `titles` titles; none for fewer than one.
std::vector<MenuPage> LayOutMenu(int titles, const MenuFrame& frame);

// The text height on the canvas: at least a twentieth of the frame's height.
int MenuTextPixels(const MenuFrame& frame);

// A canvas rectangle in stored-frame pixels, its rows even so that a button
// takes both fields of a line. `letterbox` gives the rectangle where a 4:3 TV
// shows a 16:9 frame: squeezed to three quarters of the height between bars.
MenuRect FrameRect(const MenuRect& canvas, const MenuFrame& frame, bool letterbox);

} // namespace discforge
