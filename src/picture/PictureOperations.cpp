// The picture operations other than Rescale: depth, placement, flips and the
// two ways video frames come in.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "picture/ByteOrder.h"
#include "picture/PictureMessages.h"
#include "picture/ResampleKernels.h"
#include "picture/TBaseDib.h"

namespace discforge {

namespace {

// One 32-bit pixel copied with X = 0.
void CopyPixelWithoutX(const std::uint8_t* source, std::uint8_t* target)
{
    target[0] = source[0];
    target[1] = source[1];
    target[2] = source[2];
    target[3] = 0;
}

// Blue, green, red of a 5-5-5 word; the three low bits of each channel are 0.
void Expand555(std::uint32_t word, std::uint8_t* target)
{
    target[0] = static_cast<std::uint8_t>((word << 3) & 0xF8);
    target[1] = static_cast<std::uint8_t>((word >> 2) & 0xF8);
    target[2] = static_cast<std::uint8_t>((word >> 7) & 0xF8);
}

// Clips a run of `count` rows or columns that goes from `source` to `target` to
// what lies inside both [0, sourceLimit) and [0, targetLimit).
bool ClipRun(std::int64_t& source, std::int64_t& target, std::int64_t& count,
             std::int64_t sourceLimit, std::int64_t targetLimit)
{
    const std::int64_t skip = std::max<std::int64_t>({0, -source, -target});
    source += skip;
    target += skip;
    count -= skip;
    count = std::min({count, sourceLimit - source, targetLimit - target});
    return count > 0;
}

} // namespace

bool TBaseDib::PrepareWork(int width, int height, int depth, PictureBlock::Contents contents)
{
    PictureLayout layout;
    if (!LayoutFor(width, height, depth, layout)) {
        return false;
    }
    if (!AllocateBlock(work_.block, layout, contents)) {
        return false;
    }
    work_.layout = layout;
    work_.bits = work_.block.Data() + bitmapInfoHeaderBytes + 4 * layout.colourCount;
    return true;
}

void TBaseDib::CommitWork()
{
    std::swap(block_, work_.block);
    AdoptLayout(work_.layout);
    work_.bits = nullptr;
    reader_.colourMapEntrySize = 4;
}

bool TBaseDib::ConvertDepth(int targetDepth)
{
    if (targetDepth != 24 && targetDepth != 32) {
        return false;
    }
    if (targetDepth == depth_) {
        return true;
    }
    if (!PrepareWork(width_, height_, targetDepth, PictureBlock::Contents::unset)) {
        return false;
    }
    const int step = targetDepth / 8;
    const std::uint8_t* table = ColourTableData();
    const std::ptrdiff_t workStride = static_cast<std::ptrdiff_t>(work_.layout.stride);
    for (int r = 0; r < height_; ++r) {
        if (StopRequested()) {
            return false;
        }
        const std::uint8_t* source = Row(r);
        std::uint8_t* const rowStart = work_.bits + r * workStride;
        std::uint8_t* target = rowStart;
        switch (depth_) {
        case 1:
            for (int x = 0; x < width_; ++x, target += step) {
                std::memcpy(target, table + 4 * ((source[x / 8] >> (7 - x % 8)) & 1), 3);
            }
            break;
        case 4:
            for (int x = 0; x < width_; ++x, target += step) {
                const int index = x % 2 == 0 ? source[x / 2] >> 4 : source[x / 2] & 0x0F;
                std::memcpy(target, table + 4 * index, 3);
            }
            break;
        case 8:
            for (int x = 0; x < width_; ++x, target += step) {
                std::memcpy(target, table + 4 * source[x], 3);
            }
            break;
        case 15:
        case 16:
            for (int x = 0; x < width_; ++x, target += step) {
                Expand555(Le16(source + 2 * x), target);
            }
            break;
        case 24:
        case 32: {
            const int sourceStep = depth_ / 8;
            for (int x = 0; x < width_; ++x, target += step) {
                std::memcpy(target, source + sourceStep * x, 3);
            }
            break;
        }
        default:
            break;
        }
        // The loops write blue, green and red; X and the padding are 0.
        if (step == 4) {
            kernels::ClearX(rowStart, width_);
        } else {
            const std::ptrdiff_t written = std::ptrdiff_t{3} * width_;
            std::memset(rowStart + written, 0, static_cast<std::size_t>(workStride - written));
        }
    }
    CommitWork();
    return true;
}

void TBaseDib::PlaceRows(int sourceBottom, int targetBottom, int rowCount, int sourceLeft,
                         int targetLeft, int columnCount)
{
    std::int64_t sourceRow = sourceBottom;
    std::int64_t targetRow = targetBottom;
    std::int64_t rows = rowCount;
    std::int64_t sourceColumn = sourceLeft;
    std::int64_t targetColumn = targetLeft;
    std::int64_t columns = columnCount;
    if (!ClipRun(sourceRow, targetRow, rows, height_, work_.layout.height) ||
        !ClipRun(sourceColumn, targetColumn, columns, width_, work_.layout.width)) {
        ClearWorkOutside(0, 0, 0, 0);
        return;
    }
    ClearWorkOutside(targetColumn, targetRow, columns, rows);
    const std::ptrdiff_t workStride = static_cast<std::ptrdiff_t>(work_.layout.stride);
    for (std::int64_t i = 0; i < rows; ++i) {
        const std::uint8_t* source = Row(static_cast<int>(sourceRow + i)) + 4 * sourceColumn;
        std::uint8_t* target = work_.bits + (targetRow + i) * workStride + 4 * targetColumn;
        for (std::int64_t x = 0; x < columns; ++x) {
            CopyPixelWithoutX(source + 4 * x, target + 4 * x);
        }
    }
}

void TBaseDib::ClearWorkOutside(std::int64_t left, std::int64_t bottom, std::int64_t columns, std::int64_t rows)
{
    const std::int64_t width = work_.layout.width;
    const std::int64_t height = work_.layout.height;
    const std::int64_t stride = work_.layout.stride;
    left = std::clamp<std::int64_t>(left, 0, width);
    bottom = std::clamp<std::int64_t>(bottom, 0, height);
    const std::int64_t right = std::clamp<std::int64_t>(left + std::max<std::int64_t>(columns, 0), left, width);
    const std::int64_t top = std::clamp<std::int64_t>(bottom + std::max<std::int64_t>(rows, 0), bottom, height);
    if (right == left || top == bottom) {
        std::memset(work_.bits, 0, static_cast<std::size_t>(stride * height));
        return;
    }
    std::memset(work_.bits, 0, static_cast<std::size_t>(stride * bottom));
    std::memset(work_.bits + stride * top, 0, static_cast<std::size_t>(stride * (height - top)));
    if (left == 0 && 4 * right == stride) {
        return;
    }
    for (std::int64_t r = bottom; r < top; ++r) {
        std::uint8_t* row = work_.bits + stride * r;
        std::memset(row, 0, static_cast<std::size_t>(4 * left));
        std::memset(row + 4 * right, 0, static_cast<std::size_t>(stride - 4 * right));
    }
}

bool TBaseDib::CentreInFrame(int frameWidth, int frameHeight)
{
    // Rows are copied as 32-bit pixels; a picture of another depth is made 32-bit first.
    if (depth_ != 32 && !ConvertDepth(32)) {
        return false;
    }
    if (frameWidth == width_ && frameHeight == height_) {
        // Every pixel stays where it is: only X is cleared, as the copy would.
        kernels::ClearX(pixels_, width_ * height_);
        reader_.colourMapEntrySize = 4;
        return true;
    }
    if (!PrepareWork(frameWidth, frameHeight, 32, PictureBlock::Contents::unset)) {
        return false;
    }
    // A picture larger than the frame keeps its middle part.
    PlaceRows(0, (frameHeight - height_) >> 1, height_, 0, (frameWidth - width_) >> 1, width_);
    CommitWork();
    return true;
}

bool TBaseDib::Crop(int x, int y, int width, int height)
{
    if ((depth_ != 32 && !ConvertDepth(32)) || !PrepareWork(width, height, 32, PictureBlock::Contents::unset)) {
        return false;
    }
    const std::int64_t availableColumns = static_cast<std::int64_t>(width_) - x;
    const std::int64_t availableRows = static_cast<std::int64_t>(height_) - y;
    std::int64_t columnMargin = 0;
    std::int64_t columns = width;
    if (availableColumns < width) {
        columnMargin = (width - availableColumns) >> 1;
        columns = availableColumns;
    }
    std::int64_t rowMargin = 0;
    std::int64_t rows = height;
    if (availableRows < height) {
        rowMargin = (height - availableRows) >> 1;
        rows = availableRows;
    }
    if (columns > 0 && rows > 0) {
        // The top copied row takes the source row y from the top; the rows below
        // follow it downward.
        const std::int64_t sourceBottom = static_cast<std::int64_t>(height_) - y - rows;
        PlaceRows(static_cast<int>(sourceBottom), static_cast<int>(rowMargin), static_cast<int>(rows),
                  x, static_cast<int>(columnMargin), static_cast<int>(columns));
    } else {
        ClearWorkOutside(0, 0, 0, 0);
    }
    CommitWork();
    return true;
}

void TBaseDib::Deinterlace()
{
    for (int i = 2; i + 1 < height_; i += 2) {
        const std::uint8_t* below = Row(i - 1);
        const std::uint8_t* above = Row(i + 1);
        std::uint8_t* row = Row(i);
        for (int b = 0; b < stride_; ++b) {
            row[b] = static_cast<std::uint8_t>((below[b] + above[b]) >> 1);
        }
    }
}

bool TBaseDib::FlipVertical()
{
    if (!PrepareWork(width_, height_, depth_, PictureBlock::Contents::unset)) {
        return false;
    }
    // The colour table goes along, so a palette picture keeps its colours.
    if (colourCount_ > 0) {
        std::memcpy(work_.block.Data() + bitmapInfoHeaderBytes, ColourTableData(), 4 * colourCount_);
    }
    const std::ptrdiff_t workStride = static_cast<std::ptrdiff_t>(work_.layout.stride);
    for (int i = 0; i < height_; ++i) {
        std::memcpy(work_.bits + i * workStride, Row(height_ - 1 - i), stride_);
    }
    CommitWork();
    return true;
}

bool TBaseDib::CreateBlank(int width, int height)
{
    if (!Reshape(width, height, 32, PictureBlock::Contents::unset)) {
        return false;
    }
    std::memset(pixels_, 0, static_cast<std::size_t>(stride_) * height_);
    return true;
}

void TBaseDib::CopyDescription(const TBaseDib& other)
{
    if (&other == this) {
        return;
    }
    std::memcpy(errorText_, other.errorText_, sizeof errorText_);
    declaredWidth_ = other.declaredWidth_;
    declaredHeight_ = other.declaredHeight_;
    declaredDepth_ = other.declaredDepth_;
    currentRow_ = other.currentRow_;
    path_ = other.path_;
    format_ = other.format_;
    reader_ = other.reader_;
}

bool TBaseDib::LoadPackedBitmap(const std::uint8_t* frame, std::size_t frameBytes)
{
    if (!frame || frameBytes < bitmapInfoHeaderBytes) {
        SetError("%s", picture_message::unsupportedHeader);
        return false;
    }
    const std::uint32_t headerSize = Le32(frame);
    const std::int64_t width = Le32Signed(frame + 4);
    const std::int64_t signedHeight = Le32Signed(frame + 8);
    const int bitCount = Le16(frame + 14);
    std::int64_t tableEntries = Le32(frame + 32);
    if (tableEntries == 0 && bitCount <= 8) {
        tableEntries = std::int64_t{1} << bitCount; // a packed bitmap's full table
    }
    const std::int64_t height = std::abs(signedHeight);
    if (headerSize < bitmapInfoHeaderBytes || headerSize > frameBytes) {
        SetError("%s", picture_message::unsupportedHeader);
        return false;
    }
    SetDeclared(static_cast<int>(width), static_cast<int>(std::min<std::int64_t>(height, 0x7FFFFFFF)),
                bitCount);
    if (height > 0x7FFFFFFF ||
        !Reshape(static_cast<int>(width), static_cast<int>(height), 32, PictureBlock::Contents::unset)) {
        SetError("%s", picture_message::outOfMemory);
        return false;
    }
    const std::size_t pictureBytes = static_cast<std::size_t>(stride_) * height_;
    if (bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32) {
        std::memset(pixels_, 0, pictureBytes); // other depths give a black picture
        return true;
    }
    const std::int64_t sourceStride = ((width * bitCount + 31) & ~std::int64_t{31}) / 8;
    const std::int64_t pixelStart = headerSize + 4 * tableEntries;
    if (pixelStart + sourceStride * height > static_cast<std::int64_t>(frameBytes)) {
        std::memset(pixels_, 0, pictureBytes); // nothing of another picture shows through
        SetError("%s", picture_message::unsupportedHeader);
        return false;
    }
    const std::uint8_t* table = frame + headerSize;
    const bool topDown = signedHeight < 0;
    if (bitCount == 32 && !topDown) {
        std::memcpy(pixels_, frame + pixelStart, static_cast<std::size_t>(sourceStride * height));
        return true;
    }
    for (int r = 0; r < height_; ++r) {
        const std::uint8_t* source = frame + pixelStart + sourceStride * (topDown ? height_ - 1 - r : r);
        std::uint8_t* target = Row(r);
        for (int x = 0; x < width_; ++x, target += 4) {
            switch (bitCount) {
            case 8:
                if (source[x] < tableEntries) {
                    std::memcpy(target, table + 4 * source[x], 3);
                } else {
                    std::memset(target, 0, 3);
                }
                target[3] = 0;
                break;
            case 16:
                Expand555(Le16(source + 2 * x), target);
                target[3] = 0;
                break;
            case 24:
                std::memcpy(target, source + 3 * x, 3);
                target[3] = 0;
                break;
            default: std::memcpy(target, source + 4 * x, 4); break;
            }
        }
    }
    return true;
}

bool PackedBitmapRows(const std::uint8_t* frame, std::size_t frameBytes, SurfaceRows& rows)
{
    if (!frame || frameBytes < bitmapInfoHeaderBytes || Le16(frame + 14) != 32) {
        return false;
    }
    const std::uint32_t headerSize = Le32(frame);
    const std::int64_t width = Le32Signed(frame + 4);
    const std::int64_t signedHeight = Le32Signed(frame + 8);
    const std::int64_t height = std::abs(signedHeight);
    const std::int64_t pixelStart = std::int64_t{headerSize} + 4 * std::int64_t{Le32(frame + 32)};
    const std::int64_t stride = 4 * width;
    if (headerSize < bitmapInfoHeaderBytes || width <= 0 || height <= 0 || height > 0x7FFFFFFF || stride > 0x7FFFFFFF
        || pixelStart + stride * height > static_cast<std::int64_t>(frameBytes)) {
        return false;
    }
    const bool topDown = signedHeight < 0;
    rows.width = static_cast<int>(width);
    rows.height = static_cast<int>(height);
    rows.pitch = static_cast<int>(topDown ? stride : -stride);
    rows.rows = frame + pixelStart + (topDown ? 0 : stride * (height - 1));
    return true;
}

bool TBaseDib::CopyFromSurface(int width, int height, int pitch, const std::uint8_t* rows)
{
    if (!rows || width < 0 || std::abs(static_cast<std::int64_t>(pitch)) < std::int64_t{4} * width) {
        SetError("%s", picture_message::unsupportedHeader);
        return false;
    }
    SetDeclared(width, height, 32);
    if (!Reshape(width, height, 32, PictureBlock::Contents::unset)) {
        SetError("%s", picture_message::outOfMemory);
        return false;
    }
    for (int i = 0; i < height_; ++i) {
        std::memcpy(Row(i), rows + static_cast<std::ptrdiff_t>(height_ - 1 - i) * pitch,
                    static_cast<std::size_t>(width_) * 4);
    }
    return true;
}

} // namespace discforge
