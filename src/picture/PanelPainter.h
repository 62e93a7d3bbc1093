// What a preview panel needs of the window it sits in: a rectangle of the
// window's client area and someone who puts freshly written rows on the screen.
// The window implements PanelPainter; tests implement it by recording the rows.
#pragma once

namespace discforge {

class TPreviewDib;

// Left, top, right, bottom in the owner's client coordinates; right and bottom
// lie just outside the panel.
struct PanelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right > left ? right - left : 0; }
    int Height() const { return bottom > top ? bottom - top : 0; }
};

class PanelPainter {
public:
    virtual ~PanelPainter() = default;

    // Puts `rowCount` memory rows of `panel`, from `firstRow` up, on the screen
    // now, while the picture is still being drawn. Memory row r (0 is the
    // bottom line) belongs on window line panel.WindowLineOf(r), across the
    // panel's width; the pixels are panel.Row(r), 24-bit blue, green, red.
    // Called from inside the panel's operations, also from its constructor.
    virtual void PaintPanelRows(const TPreviewDib& panel, int firstRow, int rowCount) = 0;
};

} // namespace discforge
