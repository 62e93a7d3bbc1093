// The BMP reader of the preview panel: the header code of the full-size
// reader, then only the kept rows are read (the others are skipped by seeking)
// and only their kept pixels converted.
#include <cstring>

#include "picture/BmpReader.h"
#include "picture/PanelCanvas.h"
#include "picture/PictureMessages.h"
#include "picture/TPreviewDib.h"

namespace discforge {

namespace {

// Hands the run-length decoder one scratch row at a time and draws each row
// when the decoder moves on from it; rows it jumps over are index 0, as in the
// full-size picture.
class SampledRows : public RowTarget {
public:
    SampledRows(PanelCanvas& canvas, std::uint8_t* scratch, std::size_t rowBytes, const SourceFormat& format)
        : canvas_(canvas)
        , scratch_(scratch)
        , rowBytes_(rowBytes)
        , format_(format)
    {
    }

    std::uint8_t* Row(int r) override
    {
        DrawBelow(r);
        current_ = r;
        return scratch_;
    }

    // Draws the row in hand and, as index 0, the rows after it below `end`.
    void DrawBelow(int end)
    {
        if (current_ < 0) {
            return;
        }
        canvas_.DrawRow(current_, scratch_, format_);
        std::memset(scratch_, 0, rowBytes_);
        const int step = canvas_.Fit().verticalStep;
        for (int n = (current_ / step + 1) * step; n < end; n += step) {
            canvas_.DrawRow(n, scratch_, format_);
        }
        current_ = -1;
    }

    int Current() const { return current_; }

private:
    PanelCanvas& canvas_;
    std::uint8_t* scratch_;
    std::size_t rowBytes_;
    SourceFormat format_;
    int current_ = -1;
};

SourceFormat FormatOf(const BmpInfo& info, const std::uint8_t* table, const BmpMasks& masks)
{
    SourceFormat format;
    format.table = table;
    format.masks = &masks;
    format.bmpBitCount = info.bitCount;
    switch (info.bitCount) {
    case 1:
        format.pixels = SourcePixels::index1;
        break;
    case 4:
        format.pixels = SourcePixels::index4;
        break;
    case 8:
        format.pixels = SourcePixels::index8;
        break;
    case 24:
        format.pixels = SourcePixels::bgr24;
        break;
    default:
        format.pixels = SourcePixels::bmpMasks;
        break;
    }
    return format;
}

} // namespace

bool TPreviewDib::ReadBmp()
{
    BmpInfo info;
    if (const char* error = ReadBmpHeader(file_, reader_, info)) {
        SetError("%s", error);
        return false;
    }
    if (!DeclareFileSize(info.width, info.height, info.bitCount)) {
        return false;
    }
    PictureLayout layout;
    if (!LayoutFor(info.width, info.height, info.bitCount, layout)) {
        return false;
    }
    BmpMasks masks;
    if ((info.bitCount == 16 || info.bitCount == 32) && info.compression != BmpCompression::runLength) {
        // The panel takes every channel at 8 bits.
        if (const char* error = ReadBmpMasks(file_, info, masks, 8)) {
            SetError("%s", error);
            return false;
        }
    }
    std::uint8_t table[256 * 4] = {};
    if (const char* error = ReadBmpPalette(file_, reader_, table, 256)) {
        SetError("%s", error);
        return false;
    }
    const auto stride = static_cast<std::size_t>(layout.stride);
    RowBuffer row;
    if (!row.Allocate(stride)) {
        SetError("%s", picture_message::outOfMemory);
        return false;
    }
    const SourceFormat format = FormatOf(info, table, masks);
    PanelCanvas canvas(
        *this, StartDrawing(info.width, info.height, false), info.topDown ? RowOrder::topDown : RowOrder::bottomUp);
    if (info.compression == BmpCompression::runLength) {
        SampledRows rows(canvas, row.Data(), static_cast<std::size_t>(layout.rowBytes), format);
        const char* error = DecodeBmpRunLength(file_, info, rows, currentRow_);
        if (error) {
            rows.DrawBelow(rows.Current() + 1);
            SetError("%s", error);
            return currentRow_ > 0;
        }
        rows.DrawBelow(info.height);
        return true;
    }
    const int step = canvas.Fit().verticalStep;
    const long skipped = static_cast<long>(step - 1) * static_cast<long>(stride);
    for (int n = 0; n < info.height; n += step) {
        if ((n > 0 && skipped > 0 && std::fseek(file_, skipped, SEEK_CUR) != 0)
            || !ReadExact(file_, row.Data(), stride)) {
            SetError("%s", picture_message::prematureEnd);
            return currentRow_ > 0;
        }
        ++currentRow_;
        canvas.DrawRow(n, row.Data(), format);
    }
    return true;
}

} // namespace discforge
