// The PCX reader of the preview panel: the header and palette code of the
// full-size reader; every row is decoded, because runs go on across rows, and
// the kept ones are drawn.
#include "picture/PanelCanvas.h"
#include "picture/PcxReader.h"
#include "picture/PictureMessages.h"
#include "picture/TPreviewDib.h"

namespace discforge {

bool TPreviewDib::ReadPcx()
{
    PcxInfo info;
    if (const char* error = ReadPcxHeader(file_, reader_, info)) {
        SetError("%s", error);
        return false;
    }
    if (!DeclareFileSize(info.width, info.height, info.depth)) {
        return false;
    }
    PictureLayout layout;
    if (!LayoutFor(info.width, info.height, info.depth, layout)) {
        return false;
    }
    std::uint8_t table[256 * 4] = {};
    if (const char* error = ReadPcxPalette(file_, reader_, info, table)) {
        SetError("%s", error);
        return false;
    }
    const int rowBytes = static_cast<int>(layout.rowBytes);
    RowBuffer row;
    if (!row.Allocate(static_cast<std::size_t>(rowBytes))) {
        SetError("%s", picture_message::outOfMemory);
        return false;
    }
    PcxRowDecoder decoder(file_, info);
    if (!decoder.Start()) {
        SetError("%s", picture_message::prematureEnd);
        return false;
    }
    SourceFormat format;
    format.table = table;
    format.pixels = info.depth == 1 ? SourcePixels::index1
        : info.depth == 4           ? SourcePixels::index4
        : info.depth == 8           ? SourcePixels::index8
                                    : SourcePixels::bgr24;
    PanelCanvas canvas(*this, StartDrawing(info.width, info.height, false), RowOrder::topDown);
    for (int n = 0; n < info.height; ++n) {
        if (!decoder.ReadRow(row.Data(), rowBytes)) {
            SetError("%s", picture_message::prematureEnd);
            return currentRow_ > 0;
        }
        ++currentRow_;
        canvas.DrawRow(n, row.Data(), format);
    }
    return true;
}

} // namespace discforge
