// The GIF reader of the preview panel: the screen header, image search and LZW
// decoder of the full-size reader. The panel shows the logical screen reduced:
// first the screen's background, then the kept pixels of the first image.
#include <cstring>

#include "picture/GifReader.h"
#include "picture/LzwDecoder.h"
#include "picture/PanelCanvas.h"
#include "picture/PictureMessages.h"
#include "picture/TPreviewDib.h"

namespace discforge {

namespace {

// The palette index a decoded value stands for in a picture of this depth.
int IndexAtDepth(int value, int depth)
{
    switch (depth) {
    case 1:
        return value & 1;
    case 4:
        return value & 0x0F;
    default:
        return value & 0xFF;
    }
}

} // namespace

bool TPreviewDib::ReadGif()
{
    GifReaderState& gif = reader_.gif;
    const char* error = ReadGifScreen(file_, gif);
    if (!error) {
        error = FindGifImage(file_, gif);
    }
    if (error) {
        SetError("%s", error);
        return false;
    }
    const int depth = GifPictureDepth(gif);
    if (!CheckPixelLimit(gif.screenWidth, gif.screenHeight)
        || !DeclareFileSize(gif.imageWidth, gif.imageHeight, depth)) {
        return false;
    }
    if (!CheckPictureSize(gif.screenWidth, gif.screenHeight, depth)) {
        return false;
    }
    const auto* table = reinterpret_cast<const std::uint8_t*>(gif.currentTable.data());
    PanelCanvas canvas(*this, StartDrawing(gif.screenWidth, gif.screenHeight, false), RowOrder::topDown);
    // Around the image the screen shows the background with a global table,
    // index 0 without one, as in the full-size picture.
    const int background = !gif.hasGlobalTable ? 0
        : depth == 1                           ? (gif.backgroundIndex != 0 ? 1 : 0)
                                               : IndexAtDepth(gif.backgroundIndex, depth);
    canvas.Fill(table + 4 * background);

    const int step = canvas.Fit().horizontalStep;
    // The first image pixel on a kept screen column, and that column's place in the panel.
    const int firstKept = (step - gif.imageLeft % step) % step;
    const int firstColumn = (gif.imageLeft + firstKept) / step;
    auto put = [&](std::uint8_t* pixels, int x, int value) {
        const int column = firstColumn + (x - firstKept) / step;
        if (column < canvas.Columns() && !(gif.transparent && value == gif.transparentIndex)) {
            std::memcpy(pixels + 3 * column, table + 4 * IndexAtDepth(value, depth), 3);
        }
    };
    LzwDecoder decoder(file_, gif.initialCodeSize);
    const GifRowOrder order(gif.imageHeight, gif.interlaced);
    for (int n = 0; n < gif.imageHeight; ++n) {
        const int imageRow = order.ImageRow(n);
        if (imageRow >= gif.imageHeight) {
            break;
        }
        const int panelRow = canvas.PanelRowOf(gif.imageTop + imageRow);
        std::uint8_t* pixels = panelRow >= 0 ? canvas.PixelsAt(panelRow) : nullptr;
        if (decoder.OnlyZerosLeft()) {
            // Nothing more to decode: only the kept pixels are set.
            for (int x = firstKept; pixels && x < gif.imageWidth; x += step) {
                put(pixels, x, 0);
            }
        } else {
            for (int x = 0, nextKept = firstKept; x < gif.imageWidth; ++x) {
                const int value = decoder.NextPixel();
                if (decoder.Failed()) {
                    if (pixels) {
                        PaintRow(panelRow); // what the row got stays, as in the full-size picture
                    }
                    SetError("%s", picture_message::prematureEnd);
                    return currentRow_ > 0;
                }
                if (pixels && x == nextKept) {
                    put(pixels, x, value);
                    nextKept += step;
                }
            }
        }
        ++currentRow_;
        if (pixels) {
            PaintRow(panelRow);
        }
    }
    return true;
}

} // namespace discforge
