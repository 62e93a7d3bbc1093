// Where the kept rows and pixels of one source go in a preview panel, for the
// panel's drawing operations and its readers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

#include "picture/PanelFit.h"
#include "picture/PanelSampling.h"

namespace discforge {

class TPreviewDib;

// How the source's rows come: bottom row first (BMP, most Targa files, video
// frames, pictures in memory) or top row first (JPEG, PCX, GIF, top-down
// Targa and BMP files). Rows 0, step, 2 step, ... are kept in that order.
enum class RowOrder { bottomUp, topDown };

class PanelCanvas {
public:
    PanelCanvas(TPreviewDib& panel, const PanelFit& fit, RowOrder order);

    // The panel row of source row n (counted in the order the rows come), or
    // -1 when the row is not kept or falls outside the panel.
    int PanelRowOf(int n) const;
    // Samples source row n into the panel and paints it; nothing when the row
    // is not kept.
    void DrawRow(int n, const std::uint8_t* source, const SourceFormat& format);
    // Fills every kept pixel with one colour (blue, green, red) and paints the rows.
    void Fill(const std::uint8_t* colour);
    // Panel row p from the first kept pixel on; Columns() pixels of 3 bytes.
    std::uint8_t* PixelsAt(int panelRow);
    // Kept pixels of a row that lie inside the panel.
    int Columns() const { return columns_; }
    const PanelFit& Fit() const { return fit_; }

private:
    TPreviewDib& panel_;
    PanelFit fit_;
    RowOrder order_;
    int columns_;
};

// One source row that a panel reader reads into before it samples it.
class RowBuffer {
public:
    // `bytes` zero bytes; false when the memory cannot be had.
    bool Allocate(std::size_t bytes)
    {
        data_.reset(new (std::nothrow) std::uint8_t[bytes]());
        return data_ != nullptr;
    }
    std::uint8_t* Data() { return data_.get(); }

private:
    std::unique_ptr<std::uint8_t[]> data_;
};

} // namespace discforge
