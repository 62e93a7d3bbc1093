#include "app/MenuLayout.h"

#include <algorithm>
#include <cmath>

namespace discforge {
namespace {

constexpr double safeMargin = 0.05; // each side: the middle 90 % is title-safe
constexpr double bottomRowShare = 0.14; // of the safe height, for Play all and the page buttons
constexpr double cellFill = 0.88; // of a cell's width, for its thumbnail

struct Safe {
    int left;
    int top;
    int width;
    int height;
};

Safe SafeArea(const MenuFrame& frame)
{
    const int width = frame.CanvasWidth();
    const int left = static_cast<int>(std::ceil(width * safeMargin));
    const int top = static_cast<int>(std::ceil(frame.height * safeMargin));
    return {left, top, width - 2 * left, frame.height - 2 * top};
}

int EvenDown(int value) { return value & ~1; }
int EvenUp(int value) { return (value + 1) & ~1; }

// The title buttons of one page, `count` of them, row by row.
void PlaceTitleButtons(MenuPage& page, int firstTitle, int count, const MenuFrame& frame)
{
    const Safe safe = SafeArea(frame);
    const int columns = frame.Columns();
    const int gridHeight = static_cast<int>(safe.height * (1.0 - bottomRowShare));
    const int cellWidth = safe.width / columns;
    const int cellHeight = gridHeight / MenuFrame::rows;
    const int text = MenuTextPixels(frame);
    const int labelHeight = text * 3 / 2;
    const double shape = frame.wide ? 16.0 / 9.0 : 4.0 / 3.0;
    int thumbWidth = static_cast<int>(cellWidth * cellFill);
    int thumbHeight = static_cast<int>(thumbWidth / shape);
    const int roomHeight = cellHeight - labelHeight - text / 2;
    if (thumbHeight > roomHeight) {
        thumbHeight = roomHeight;
        thumbWidth = static_cast<int>(thumbHeight * shape);
    }
    // A page of few titles keeps them in the middle: its rows, and a row short of titles.
    const int rowsUsed = (count + columns - 1) / columns;
    const int gridTop = safe.top + (MenuFrame::rows - rowsUsed) * cellHeight / 2;
    for (int i = 0; i < count; ++i) {
        const int row = i / columns;
        const int column = i % columns;
        const int inRow = std::min(columns, count - row * columns);
        MenuButton button;
        button.kind = MenuButtonKind::title;
        button.title = firstTitle + i;
        const int cellLeft = safe.left + (columns - inRow) * cellWidth / 2 + column * cellWidth;
        const int cellTop = gridTop + row * cellHeight;
        button.thumbnail = {cellLeft + (cellWidth - thumbWidth) / 2, cellTop + text / 4, thumbWidth, thumbHeight};
        button.label = {cellLeft + 2, button.thumbnail.Bottom() + text / 4, cellWidth - 4, labelHeight};
        const int top = EvenDown(cellTop);
        button.area = {cellLeft + 2, top, cellWidth - 4, EvenUp(button.label.Bottom()) - top};
        page.buttons.push_back(button);
    }
}

// Play all in the middle of the bottom row, the page buttons at its ends.
void PlaceBottomRow(MenuPage& page, bool previous, bool next, const MenuFrame& frame)
{
    const Safe safe = SafeArea(frame);
    const int rowTop = EvenDown(safe.top + static_cast<int>(safe.height * (1.0 - bottomRowShare)));
    const int rowHeight = EvenDown(safe.top + safe.height - rowTop);
    const int sideWidth = safe.width / 4;
    const auto add = [&](MenuButtonKind kind, int left, int width) {
        MenuButton button;
        button.kind = kind;
        button.area = {left, rowTop, width, rowHeight};
        button.label = button.area;
        page.buttons.push_back(button);
    };
    if (previous) {
        add(MenuButtonKind::previousPage, safe.left, sideWidth);
    }
    add(MenuButtonKind::playAll, safe.left + safe.width * 3 / 10, safe.width * 4 / 10);
    if (next) {
        add(MenuButtonKind::nextPage, safe.left + safe.width - sideWidth, sideWidth);
    }
}

// The button of a row of `count` buttons starting at `first` whose middle lies
// nearest to `x`.
int Nearest(const MenuPage& page, int first, int count, int x)
{
    int best = first;
    for (int i = first; i < first + count; ++i) {
        const MenuRect& area = page.buttons[i].area;
        const MenuRect& chosen = page.buttons[best].area;
        if (std::abs(area.x + area.width / 2 - x) < std::abs(chosen.x + chosen.width / 2 - x)) {
            best = i;
        }
    }
    return best;
}

// Arrows between rows: the titles' rows, then the bottom row, wrapping round.
void Link(MenuPage& page, int titleCount, int columns)
{
    struct Row {
        int first;
        int count;
    };
    std::vector<Row> rows;
    for (int first = 0; first < titleCount; first += columns) {
        rows.push_back({first, std::min(columns, titleCount - first)});
    }
    rows.push_back({titleCount, static_cast<int>(page.buttons.size()) - titleCount});
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Row& row = rows[r];
        const Row& above = rows[(r + rows.size() - 1) % rows.size()];
        const Row& below = rows[(r + 1) % rows.size()];
        for (int i = row.first; i < row.first + row.count; ++i) {
            MenuButton& button = page.buttons[i];
            const int middle = button.area.x + button.area.width / 2;
            button.left = row.first + (i - row.first + row.count - 1) % row.count;
            button.right = row.first + (i - row.first + 1) % row.count;
            button.up = Nearest(page, above.first, above.count, middle);
            button.down = Nearest(page, below.first, below.count, middle);
        }
    }
}

} // namespace

int MenuFrame::CanvasWidth() const { return static_cast<int>(std::lround(height * (wide ? 16.0 / 9.0 : 4.0 / 3.0))); }

int MenuTextPixels(const MenuFrame& frame) { return (frame.height + 19) / 20; }

std::vector<MenuPage> LayOutMenu(int titles, const MenuFrame& frame)
{
    std::vector<MenuPage> pages;
    const int perPage = frame.Columns() * MenuFrame::rows;
    for (int first = 0; first < titles; first += perPage) {
        MenuPage page;
        const int count = std::min(perPage, titles - first);
        PlaceTitleButtons(page, first, count, frame);
        PlaceBottomRow(page, first > 0, first + count < titles, frame);
        Link(page, count, frame.Columns());
        pages.push_back(page);
    }
    return pages;
}

MenuRect FrameRect(const MenuRect& canvas, const MenuFrame& frame, bool letterbox)
{
    const double across = static_cast<double>(frame.width) / frame.CanvasWidth();
    const double down = letterbox ? 0.75 : 1.0;
    const double top = letterbox ? frame.height / 8.0 : 0.0;
    const int x0 = static_cast<int>(std::floor(canvas.x * across));
    const int x1 = static_cast<int>(std::ceil(canvas.Right() * across));
    const int y0 = EvenDown(static_cast<int>(std::floor(top + canvas.y * down)));
    const int y1 = EvenUp(static_cast<int>(std::ceil(top + canvas.Bottom() * down)));
    return {x0, y0, std::min(x1, frame.width) - x0, std::min(y1, frame.height) - y0};
}

} // namespace discforge
