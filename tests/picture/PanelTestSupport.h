// What the preview panel tests share: a painter that records what was painted,
// and the independent account of which source pixel each panel pixel holds.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "PictureFiles.h"
#include "picture/TPreviewDib.h"

namespace discforge::test {

// Keeps every paint: the rows asked for and the pixels they held at that moment.
class PaintRecorder : public PanelPainter {
public:
    struct Paint {
        int firstRow;
        int rowCount;
    };
    struct PaintedRow {
        int row;
        std::vector<std::uint8_t> pixels;
    };

    void PaintPanelRows(const TPreviewDib& panel, int firstRow, int rowCount) override
    {
        paints.push_back({firstRow, rowCount});
        for (int r = firstRow; r < firstRow + rowCount; ++r) {
            const std::uint8_t* row = panel.Row(r);
            rows.push_back({r, std::vector<std::uint8_t>(row, row + 3 * panel.Width())});
        }
    }
    void Forget()
    {
        paints.clear();
        rows.clear();
    }
    // The rows painted one at a time, in order.
    std::vector<int> SingleRows() const
    {
        std::vector<int> single;
        for (const Paint& paint : paints) {
            if (paint.rowCount == 1) {
                single.push_back(paint.firstRow);
            }
        }
        return single;
    }

    // The pixels of the first row painted on its own.
    const PaintedRow* FirstSingleRow() const
    {
        std::size_t index = 0;
        for (const Paint& paint : paints) {
            if (paint.rowCount == 1) {
                return &rows[index];
            }
            index += static_cast<std::size_t>(paint.rowCount);
        }
        return nullptr;
    }

    std::vector<Paint> paints;
    std::vector<PaintedRow> rows;
};

inline Rgb PanelPixel(const TPreviewDib& panel, int x, int row)
{
    const std::uint8_t* p = panel.Row(row) + 3 * x;
    return {p[0], p[1], p[2]};
}

// The colour of source pixel x of row `fromBottom` (0 is the picture's bottom line).
using SourceColour = std::function<Rgb(int x, int fromBottom)>;

// Every panel pixel against the source reduced by the panel's steps and placed
// at its offsets: kept pixels 0, h, 2h, ... of kept rows 0, v, 2v, ... counted
// in the order the source stores them, bottom-up sources drawn upward from the
// vertical offset, top-down ones downward from the top of the shown area; all
// else black.
inline void ExpectPanelShows(const TPreviewDib& panel, int width, int height, bool topDown, const SourceColour& source)
{
    const PanelFit& fit = panel.Shown();
    const int h = fit.horizontalStep;
    const int v = fit.verticalStep;
    ASSERT_GE(h, 1);
    ASSERT_GE(v, 1);
    for (int row = 0; row < panel.Height(); ++row) {
        const int k = topDown ? fit.verticalOffset + fit.shownHeight - 1 - row : row - fit.verticalOffset;
        const bool rowKept = k >= 0 && static_cast<long long>(k) * v < height;
        for (int x = 0; x < panel.Width(); ++x) {
            const int i = x - fit.horizontalOffset;
            Rgb expected{0, 0, 0};
            if (rowKept && i >= 0 && static_cast<long long>(i) * h < width) {
                expected = source(i * h, topDown ? height - 1 - k * v : k * v);
            }
            ASSERT_EQ(PanelPixel(panel, x, row), expected) << "panel pixel " << x << ", row " << row;
        }
    }
}

// What the screen shows, the last paint of every row, is what the panel holds.
inline void ExpectScreenMatchesPanel(const PaintRecorder& recorder, const TPreviewDib& panel)
{
    std::vector<const std::vector<std::uint8_t>*> last(static_cast<std::size_t>(panel.Height()), nullptr);
    for (const auto& painted : recorder.rows) {
        last[static_cast<std::size_t>(painted.row)] = &painted.pixels;
    }
    for (int row = 0; row < panel.Height(); ++row) {
        ASSERT_NE(last[static_cast<std::size_t>(row)], nullptr) << "row " << row << " never painted";
        const std::vector<std::uint8_t> held(panel.Row(row), panel.Row(row) + 3 * panel.Width());
        ASSERT_EQ(*last[static_cast<std::size_t>(row)], held) << "row " << row;
    }
}

} // namespace discforge::test
