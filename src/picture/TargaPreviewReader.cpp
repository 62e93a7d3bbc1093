// The Targa reader of the preview panel: the header and colour-map code of the
// full-size reader; every row is decoded, because packets go on across rows,
// and the kept ones are drawn.
#include "picture/PanelCanvas.h"
#include "picture/PictureMessages.h"
#include "picture/TPreviewDib.h"
#include "picture/TargaReader.h"

namespace discforge {

bool TPreviewDib::ReadTarga()
{
    TargaInfo info;
    if (const char* error = ReadTargaHeader(file_, reader_, info)) {
        SetError("%s", error);
        return false;
    }
    if (!DeclareFileSize(info.width, info.height, info.depth)) {
        return false;
    }
    std::uint8_t table[256 * 4] = {};
    if (const char* error = ReadTargaColourMap(file_, reader_, info, table)) {
        SetError("%s", error);
        return false;
    }
    PictureLayout layout;
    if (!LayoutFor(info.width, info.height, info.depth, layout)) {
        return false;
    }
    RowBuffer row;
    if (!row.Allocate(static_cast<std::size_t>(layout.rowBytes))) {
        SetError("%s", picture_message::outOfMemory);
        return false;
    }
    SourceFormat format;
    format.table = table;
    format.pixels = info.depth == 8 ? SourcePixels::index8
        : info.depth == 24          ? SourcePixels::bgr24
        : info.depth == 32          ? SourcePixels::bgrx32
                                    : SourcePixels::words555;
    PanelCanvas canvas(
        *this, StartDrawing(info.width, info.height, false), info.bottomUp ? RowOrder::bottomUp : RowOrder::topDown);
    TargaRowDecoder decoder(file_, info);
    for (int n = 0; n < info.height; ++n) {
        if (!decoder.ReadRow(row.Data())) {
            SetError("%s", picture_message::prematureEnd);
            return currentRow_ > 0;
        }
        ++currentRow_;
        canvas.DrawRow(n, row.Data(), format);
    }
    return true;
}

} // namespace discforge
