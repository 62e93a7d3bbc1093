#include "picture/PanelCanvas.h"

#include <algorithm>
#include <cstring>

#include "picture/TPreviewDib.h"

namespace discforge {

PanelCanvas::PanelCanvas(TPreviewDib& panel, const PanelFit& fit, RowOrder order)
    : panel_(panel)
    , fit_(fit)
    , order_(order)
    , columns_(std::clamp(panel.Width() - fit.horizontalOffset, 0, fit.keptColumns))
{
}

int PanelCanvas::PanelRowOf(int n) const
{
    if (n < 0 || n % fit_.verticalStep != 0 || n / fit_.verticalStep >= fit_.keptRows) {
        return -1;
    }
    const int k = n / fit_.verticalStep;
    // Top-down sources start at the top of the shown area; one kept row more
    // than the shown height goes below it, and stops at the panel's bottom.
    const int row
        = order_ == RowOrder::bottomUp ? fit_.verticalOffset + k : fit_.verticalOffset + fit_.shownHeight - 1 - k;
    return row >= 0 && row < panel_.Height() ? row : -1;
}

std::uint8_t* PanelCanvas::PixelsAt(int panelRow) { return panel_.Row(panelRow) + 3 * fit_.horizontalOffset; }

void PanelCanvas::DrawRow(int n, const std::uint8_t* source, const SourceFormat& format)
{
    const int row = PanelRowOf(n);
    if (row < 0) {
        return;
    }
    SampleRow(source, format, fit_.horizontalStep, columns_, PixelsAt(row));
    panel_.PaintRow(row);
}

void PanelCanvas::Fill(const std::uint8_t* colour)
{
    int lowest = panel_.Height();
    int highest = -1;
    for (int k = 0; k < fit_.keptRows; ++k) {
        const int row = PanelRowOf(k * fit_.verticalStep);
        if (row < 0) {
            continue;
        }
        std::uint8_t* pixel = PixelsAt(row);
        for (int x = 0; x < columns_; ++x, pixel += 3) {
            std::memcpy(pixel, colour, 3);
        }
        lowest = std::min(lowest, row);
        highest = std::max(highest, row);
    }
    if (highest >= lowest) {
        panel_.PaintRows(lowest, highest - lowest + 1);
    }
}

} // namespace discforge
