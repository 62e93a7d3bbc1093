// How a picture of width x height is reduced to fit a preview panel: keep every
// step-th pixel and row, and centre what is kept.
#pragma once

namespace discforge {

struct PanelFit {
    int horizontalStep = 1; // keep pixels 0, step, 2 step, ... of each kept row
    int verticalStep = 1; // keep rows 0, step, 2 step, ... in the order they are stored
    int shownWidth = 0; // size of the reduced picture
    int shownHeight = 0;
    int horizontalOffset = 0; // where it sits in the panel, from the panel's left
    int verticalOffset = 0; // and from its bottom line
    int keptColumns = 0; // pixels kept of each row: one more than shownWidth when rounding cut it
    int keptRows = 0;

    bool operator==(const PanelFit&) const = default;
};

// A picture that fits inside the panel less one pixel each way keeps every
// pixel; a larger one is reduced by whole-number steps chosen so that the shown
// size stays close to the picture's shape. Empty pictures keep nothing.
PanelFit FitToPanel(int width, int height, int panelWidth, int panelHeight);

} // namespace discforge
