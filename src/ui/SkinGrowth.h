// How a skin's layout follows a window larger or smaller than the size it was
// drawn for. A layout file that says nothing about growing keeps its one size.
//
// Larger: the layout grows only inside stretch bands, strips of the skin that
// hold nothing but plain surface or the inside of a control. Above and left of
// a band nothing moves; beyond it everything moves by the band's share; what
// spans a band (a preview box, the input list) grows by it. The background is
// drawn by the same rule, so the captions it carries stay beside their controls.
//   StretchXn=left,right,top,bottom;  the columns left..right stretch across the
//                                     extra width, for the rows top..bottom;
//                                     the bands of one row share it equally
//   StretchYn=top,bottom,weight;      the rows top..bottom stretch across the
//                                     extra height, all bands by their weights
// with n from 1 to 8, listed after every other entry (keys are found by plain
// substring search). Every row of the layout needs a horizontal band.
// Smaller, down to SmallestSize=width,height; the whole layout is scaled
// alike, then what is left over in the other direction grows as above.
#pragma once

#include <QRect>
#include <QSize>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace discforge::ui {

struct WidthBand {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};

struct HeightBand {
    int top = 0;
    int bottom = 0;
    int weight = 1;
};

// One piece of the background: where it comes from in the layout's own
// coordinates and where it is drawn in the window.
struct SkinCell {
    QRect from;
    QRect to;
};

// The largest rectangle of the shape of `shape` inside `box`, centred in it:
// where a preview draws its picture. Empty for an empty shape.
QRect FittedRect(QSize shape, const QRect& box);

class SkinGrowth {
public:
    // Reads the rules from the layout text of a skin drawn for `base`. None when
    // the text has no stretch bands, or when they do not make a sound layout
    // (a row of the layout without a horizontal band, a band outside the
    // layout or of no size, a smallest size larger than `base`): the window
    // then keeps its one size.
    static std::optional<SkinGrowth> Read(const std::string& layoutText, QSize base);

    QSize Base() const { return base_; }
    QSize Smallest() const { return smallest_; }
    // The largest size of the layout's own shape that fits `room`, kept between
    // the smallest size and the base size: where a window starts on a screen.
    QSize FittedInto(QSize room) const;

    // A rectangle of the layout in a window of size `client`: each edge moved as
    // the bands move it. The row of the rectangle's top edge decides which
    // horizontal bands apply.
    QRect Place(const QRect& rect, QSize client) const;
    // The same rectangle moved with its top-left corner, its size only scaled:
    // for image buttons, whose faces must not stretch.
    QRect Move(const QRect& rect, QSize client) const;
    // The pieces the background is cut into for a window of size `client`.
    std::vector<SkinCell> BackgroundCells(QSize client) const;

private:
    struct Fit {
        double scale = 1; // 1 unless the window is smaller than the base
        double extraWidth = 0; // in the layout's coordinates, after scaling
        double extraHeight = 0;
    };
    Fit FitFor(QSize client) const;
    double MapX(double x, int row, const Fit& fit) const;
    double MapY(double y, const Fit& fit) const;
    // The horizontal bands that apply to layout row `y`.
    std::vector<WidthBand> BandsAt(int y) const;
    // The y where the set of horizontal bands changes, with 0 and the base height.
    std::vector<int> RowEdges() const;

    QSize base_;
    QSize smallest_;
    std::vector<WidthBand> widthBands_;
    std::vector<HeightBand> heightBands_;
};

} // namespace discforge::ui
