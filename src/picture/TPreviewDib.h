// A preview panel: a 24-bit picture the size of a rectangle of a window, which
// shows a picture file, a video frame or another picture reduced by whole-number
// steps to fit (PanelFit), centred on black, and has each row painted as soon as
// it is written so that the user sees the picture build up.
//
// The panel's own picture (Width(), Height(), Row(), Header()) always has the
// rectangle's size and depth 24 and is created once, by the constructor; the
// operations of TBaseDib that reshape a picture are not for panels. After a load
// DeclaredWidth(), DeclaredHeight() and DeclaredDepth() tell the file's own size
// and depth, Format() its kind, ErrorText() why it failed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "picture/PanelFit.h"
#include "picture/PanelPainter.h"
#include "picture/TBaseDib.h"

namespace discforge {

class TPreviewDib : public TBaseDib {
public:
    // Creates the black panel picture and paints it. `painter` may be null
    // (nothing is painted); it is not owned and must outlive the panel. When
    // the picture cannot be had, HasPicture() is false and the error text says why.
    TPreviewDib(PanelPainter* painter, const PanelRect& rect);

    const PanelRect& Rect() const { return rect_; }
    // The window line that memory row `row` of the panel is painted on.
    int WindowLineOf(int row) const { return rect_.bottom - row - 1; }

    // Makes the whole panel black, paints it, and forgets the picture shown.
    void Clear();
    // Has memory rows firstRow .. firstRow + rowCount - 1 painted now.
    void PaintRows(int firstRow, int rowCount);
    void PaintRow(int row) { PaintRows(row, 1); }

    // Clears the panel and reads a BMP, PCX, GIF, Targa or JPEG file straight
    // into it, reduced: only one row of the file is held at a time (a
    // progressive JPEG, which the decoder must hold whole, is drawn once per
    // scan). A JPEG whose recorded orientation turns or mirrors it, and a PNG,
    // are read whole by the full-size reader first and shown from there.
    // Sizes the full-size readers refuse are refused here too. A file
    // that breaks off after some rows is a success that shows those rows.
    bool LoadFile(const std::string& path) override;

    // Shows another picture (a processed frame, any depth) and takes its
    // description (CopyDescription). False when it has no pixels.
    bool ShowPicture(const TBaseDib& picture);
    // Shows a packed bitmap: 40-byte (or longer) information header, colour
    // table, rows padded to 4 bytes, bottom-up or, with a negative height,
    // top-down; 1, 4, 8, 16 (5-5-5), 24 or 32 bits. `frameBytes` is how many
    // bytes `frame` holds; nothing outside is read.
    bool ShowFrame(const std::uint8_t* frame, std::size_t frameBytes);
    // Shows 32-bit rows stored top row first (a decoded video surface).
    bool ShowRaw(const SurfaceRows& surface);
    // A one-pixel white rectangle on the outer pixels of the picture shown;
    // the caller repaints.
    void DrawFrameLine();

    // Where the picture drawn last lies in the panel; empty after Clear.
    const PanelFit& Shown() const { return shown_; }

protected:
    bool ReadBmp() override;
    bool ReadPcx() override;
    bool ReadGif() override;
    bool ReadTarga() override;
    bool ReadJpeg() override;
    bool ReadPng() override;

private:
    // Fits a width x height picture to the panel and makes it the picture
    // shown. A Show operation passes clearWhenMoved: when the new picture does
    // not cover exactly what the last one did, the panel is cleared first, so
    // nothing of the old picture stays, while a frame of an unchanged size is
    // drawn over the last one without a black flash.
    PanelFit StartDrawing(int width, int height, bool clearWhenMoved);
    // False with the error text set when the full-size reader could not hold
    // the picture either.
    bool CheckPictureSize(int width, int height, int depth);
    static void ReportJpegMessage(void* context, const char* text);
    // Reads the file at file_ again, from its start, through the full-size
    // reader (a JPEG reduced to about the panel's size and upright), and shows
    // what it read.
    bool ShowThroughFullReader();
    // The size at which a width x height picture, fitted whole, still covers the panel.
    ReadSize PanelCover(int width, int height) const;

    PanelPainter* painter_;
    PanelRect rect_;
    PanelFit shown_;
};

} // namespace discforge
