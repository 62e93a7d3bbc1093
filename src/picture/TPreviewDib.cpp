#include "picture/TPreviewDib.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "picture/ByteOrder.h"
#include "picture/PanelCanvas.h"
#include "picture/PictureMessages.h"

namespace discforge {

namespace {

constexpr int panelDepth = 24;

bool PixelsOfDepth(int depth, SourcePixels& pixels)
{
    switch (depth) {
    case 1:
        pixels = SourcePixels::index1;
        return true;
    case 4:
        pixels = SourcePixels::index4;
        return true;
    case 8:
        pixels = SourcePixels::index8;
        return true;
    case 15:
    case 16:
        pixels = SourcePixels::words555;
        return true;
    case 24:
        pixels = SourcePixels::bgr24;
        return true;
    case 32:
        pixels = SourcePixels::bgrx32;
        return true;
    default:
        return false;
    }
}

} // namespace

TPreviewDib::TPreviewDib(PanelPainter* painter, const PanelRect& rect)
    : painter_(painter)
    , rect_(rect)
{
    if (AllocatePicture(rect.Width(), rect.Height(), panelDepth)) {
        Clear();
    }
}

void TPreviewDib::PaintRows(int firstRow, int rowCount)
{
    const int first = std::max(firstRow, 0);
    const int end = std::min(firstRow + rowCount, Height());
    if (painter_ && HasPicture() && end > first) {
        painter_->PaintPanelRows(*this, first, end - first);
    }
}

void TPreviewDib::Clear()
{
    SetFormat(PictureFormat::none);
    shown_ = PanelFit{};
    if (!HasPicture()) {
        return;
    }
    std::memset(Pixels(), 0, static_cast<std::size_t>(Stride()) * Height());
    PaintRows(0, Height());
}

bool TPreviewDib::LoadFile(const std::string& path)
{
    Clear();
    if (!HasPicture()) {
        SetError("%s", picture_message::outOfMemory);
        return false;
    }
    return TBaseDib::LoadFile(path);
}

PanelFit TPreviewDib::StartDrawing(int width, int height, bool clearWhenMoved)
{
    const PanelFit fit = FitToPanel(width, height, Width(), Height());
    if (clearWhenMoved && !(fit == shown_)) {
        Clear();
    }
    shown_ = fit;
    return fit;
}

bool TPreviewDib::CheckPictureSize(int width, int height, int depth)
{
    PictureLayout layout;
    return LayoutFor(width, height, depth, layout);
}

bool TPreviewDib::ShowPicture(const TBaseDib& picture)
{
    SourceFormat format;
    if (!HasPicture() || !picture.HasPicture() || !PixelsOfDepth(picture.Depth(), format.pixels)) {
        SetError("%s", HasPicture() ? picture_message::unsupportedHeader : picture_message::outOfMemory);
        return false;
    }
    std::uint8_t table[256 * 4] = {};
    if (picture.ColourCount() > 0) {
        std::memcpy(table, picture.ColourTableData(), static_cast<std::size_t>(4) * picture.ColourCount());
    }
    format.table = table;
    PanelCanvas canvas(*this, StartDrawing(picture.Width(), picture.Height(), true), RowOrder::bottomUp);
    CopyDescription(picture);
    for (int r = 0; r < picture.Height(); r += canvas.Fit().verticalStep) {
        canvas.DrawRow(r, picture.Row(r), format);
    }
    return true;
}

bool TPreviewDib::ShowFrame(const std::uint8_t* frame, std::size_t frameBytes)
{
    if (!HasPicture()) {
        SetError("%s", picture_message::outOfMemory);
        return false;
    }
    if (!frame || frameBytes < bitmapInfoHeaderBytes) {
        SetError("%s", picture_message::unsupportedHeader);
        return false;
    }
    const std::uint32_t headerSize = Le32(frame);
    const std::int64_t width = Le32Signed(frame + 4);
    const std::int64_t signedHeight = Le32Signed(frame + 8);
    const std::int64_t height = std::abs(signedHeight);
    const int bitCount = Le16(frame + 14);
    if (headerSize < bitmapInfoHeaderBytes || headerSize > frameBytes || width <= 0 || height <= 0
        || height > 0x7FFFFFFF) {
        SetError("%s", picture_message::unsupportedHeader);
        return false;
    }
    SourceFormat format;
    if (bitCount == 15 || !PixelsOfDepth(bitCount, format.pixels)) {
        SetError("%s", picture_message::unsupportedDepth);
        return false;
    }
    std::int64_t tableEntries = Le32(frame + 32);
    if (tableEntries == 0 && bitCount <= 8) {
        tableEntries = std::int64_t{1} << bitCount;
    }
    const std::int64_t stride = ((width * bitCount + 31) & ~std::int64_t{31}) / 8;
    const std::int64_t pixelStart = headerSize + 4 * tableEntries;
    const auto available = static_cast<std::int64_t>(frameBytes);
    if (pixelStart > available || height > (available - pixelStart) / stride) {
        SetError("%s", picture_message::unsupportedHeader);
        return false;
    }
    std::uint8_t table[256 * 4] = {};
    std::memcpy(table, frame + headerSize, static_cast<std::size_t>(4 * std::min<std::int64_t>(tableEntries, 256)));
    format.table = table;
    SetDeclared(static_cast<int>(width), static_cast<int>(height), bitCount);
    const RowOrder order = signedHeight < 0 ? RowOrder::topDown : RowOrder::bottomUp;
    PanelCanvas canvas(*this, StartDrawing(static_cast<int>(width), static_cast<int>(height), true), order);
    for (std::int64_t n = 0; n < height; n += canvas.Fit().verticalStep) {
        canvas.DrawRow(static_cast<int>(n), frame + pixelStart + n * stride, format);
    }
    return true;
}

bool TPreviewDib::ShowRaw(const SurfaceRows& surface)
{
    if (!HasPicture() || !surface.Usable()) {
        SetError("%s", HasPicture() ? picture_message::unsupportedHeader : picture_message::outOfMemory);
        return false;
    }
    SourceFormat format;
    format.pixels = SourcePixels::bgrx32;
    PanelCanvas canvas(*this, StartDrawing(surface.width, surface.height, true), RowOrder::bottomUp);
    // The surface's last row is the bottom of the picture.
    for (int n = 0; n < surface.height; n += canvas.Fit().verticalStep) {
        canvas.DrawRow(n, surface.rows + static_cast<std::ptrdiff_t>(surface.height - 1 - n) * surface.pitch, format);
    }
    return true;
}

void TPreviewDib::DrawFrameLine()
{
    if (!HasPicture() || shown_.shownWidth == 0 || shown_.shownHeight == 0) {
        return;
    }
    const int left = std::max(shown_.horizontalOffset, 0);
    const int right = std::min(shown_.horizontalOffset + shown_.shownWidth - 1, Width() - 1);
    const int bottom = std::max(shown_.verticalOffset, 0);
    const int top = std::min(shown_.verticalOffset + shown_.shownHeight - 1, Height() - 1);
    if (left > right || bottom > top) {
        return;
    }
    for (int row : {bottom, top}) {
        std::memset(Row(row) + 3 * left, 255, static_cast<std::size_t>(3) * (right - left + 1));
    }
    for (int row = bottom; row <= top; ++row) {
        std::memset(Row(row) + 3 * left, 255, 3);
        std::memset(Row(row) + 3 * right, 255, 3);
    }
}

} // namespace discforge
