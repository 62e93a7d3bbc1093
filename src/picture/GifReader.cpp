#include "picture/GifReader.h"

#include <cstring>

#include "picture/ByteOrder.h"
#include "picture/LzwDecoder.h"
#include "picture/PictureMessages.h"
#include "picture/StreamRead.h"
#include "picture/TFullDib.h"

namespace discforge {

namespace {

constexpr int extensionIntroducer = 0x21;
constexpr int imageSeparator = 0x2C;
constexpr int trailer = 0x3B;
constexpr int graphicControlLabel = 0xF9;

// Reads `count` red, green, blue entries into `table` as blue, green, red, 0.
bool ReadGifTable(std::FILE* file, ColourTable& table, int count)
{
    std::uint8_t rgb[256 * 3];
    if (!ReadExact(file, rgb, static_cast<std::size_t>(count) * 3)) {
        return false;
    }
    for (int i = 0; i < count; ++i) {
        table[i] = {rgb[3 * i + 2], rgb[3 * i + 1], rgb[3 * i], 0};
    }
    return true;
}

bool SkipDataBlocks(std::FILE* file)
{
    std::uint8_t skipped[255];
    for (;;) {
        const int length = ReadByte(file);
        if (length < 0) {
            return false;
        }
        if (length == 0) {
            return true;
        }
        if (!ReadExact(file, skipped, static_cast<std::size_t>(length))) {
            return false;
        }
    }
}

} // namespace

const char* ReadGifScreen(std::FILE* file, GifReaderState& gif)
{
    GifScreenHeader header;
    if (!ReadExact(file, &header, sizeof header)) {
        return picture_message::prematureEnd;
    }
    gif.screenWidth = Le16(header.width);
    gif.screenHeight = Le16(header.height);
    gif.hasGlobalTable = (header.packed & 0x80) != 0;
    gif.globalTableSize = 2 << (header.packed & 7);
    gif.backgroundIndex = header.backgroundIndex;
    gif.globalTable = ColourTable{};
    if (gif.hasGlobalTable) {
        if (!ReadGifTable(file, gif.globalTable, gif.globalTableSize)) {
            return picture_message::prematureEnd;
        }
        return nullptr;
    }
    // Without a table the colours are a dark grey ramp.
    gif.backgroundIndex = 0;
    for (int i = 0; i < gif.globalTableSize; ++i) {
        const auto level = static_cast<std::uint8_t>(i);
        gif.globalTable[i] = {level, level, level, 0};
    }
    return nullptr;
}

const char* FindGifImage(std::FILE* file, GifReaderState& gif)
{
    gif.transparent = false;
    gif.transparentIndex = 0;
    gif.hasLocalTable = false;
    gif.currentTableCount = 0;
    for (;;) {
        const int byte = ReadByte(file);
        if (byte < 0) {
            return picture_message::prematureEnd;
        }
        if (byte == extensionIntroducer) {
            const int label = ReadByte(file);
            if (label < 0) {
                return picture_message::prematureEnd;
            }
            if (label != graphicControlLabel) {
                if (!SkipDataBlocks(file)) {
                    return picture_message::prematureEnd;
                }
                continue;
            }
            GifGraphicControl control;
            if (!ReadExact(file, &control, sizeof control)) {
                return picture_message::prematureEnd;
            }
            gif.transparent = (control.packed & 1) != 0;
            gif.transparentIndex = control.transparentIndex;
        } else if (byte == imageSeparator) {
            GifImageDescriptor descriptor;
            if (!ReadExact(file, &descriptor, sizeof descriptor)) {
                return picture_message::prematureEnd;
            }
            gif.imageLeft = Le16(descriptor.left);
            gif.imageTop = Le16(descriptor.top);
            gif.imageWidth = Le16(descriptor.width);
            gif.imageHeight = Le16(descriptor.height);
            if (gif.imageLeft + gif.imageWidth > gif.screenWidth ||
                gif.imageTop + gif.imageHeight > gif.screenHeight) {
                return picture_message::unsupportedHeader;
            }
            gif.interlaced = (descriptor.packed & 0x40) != 0;
            gif.hasLocalTable = (descriptor.packed & 0x80) != 0;
            if (gif.hasLocalTable) {
                gif.currentTableCount = 2 << (descriptor.packed & 7);
                gif.currentTable = ColourTable{};
                if (!ReadGifTable(file, gif.currentTable, gif.currentTableCount)) {
                    return picture_message::prematureEnd;
                }
            } else {
                gif.currentTable = gif.globalTable;
                gif.currentTableCount = gif.globalTableSize;
            }
            const int codeSize = ReadByte(file);
            if (codeSize < 0) {
                return picture_message::prematureEnd;
            }
            if (codeSize < 2 || codeSize > 11) {
                return picture_message::invalidGifCodeSize;
            }
            gif.initialCodeSize = codeSize;
            return nullptr;
        } else if (byte == trailer) {
            return picture_message::notEnoughGifImages;
        }
    }
}

int GifPictureDepth(const GifReaderState& gif)
{
    if (gif.currentTableCount == 2) {
        return 1;
    }
    return gif.currentTableCount == 16 ? 4 : 8;
}

GifRowOrder::GifRowOrder(int height, bool interlaced)
    : interlaced_(interlaced), pass1_((height + 7) / 8), pass2_(pass1_ + (height + 3) / 8),
      pass3_(pass2_ + (height + 1) / 4)
{
}

int GifRowOrder::ImageRow(int n) const
{
    if (!interlaced_) {
        return n;
    }
    if (n < pass1_) {
        return 8 * n;
    }
    if (n < pass2_) {
        return 8 * (n - pass1_) + 4;
    }
    if (n < pass3_) {
        return 4 * (n - pass2_) + 2;
    }
    return 2 * (n - pass3_) + 1;
}

namespace {

void PutGifPixel(std::uint8_t* row, int x, int value, int depth)
{
    switch (depth) {
    case 1: {
        const auto bit = static_cast<std::uint8_t>(0x80 >> (x % 8));
        row[x / 8] = static_cast<std::uint8_t>((value & 1) ? row[x / 8] | bit : row[x / 8] & ~bit);
        break;
    }
    case 4: {
        std::uint8_t& byte = row[x / 2];
        byte = x % 2 == 0 ? static_cast<std::uint8_t>((byte & 0x0F) | ((value & 0x0F) << 4))
                          : static_cast<std::uint8_t>((byte & 0xF0) | (value & 0x0F));
        break;
    }
    default: row[x] = static_cast<std::uint8_t>(value); break;
    }
}

} // namespace

bool TFullDib::ReadGif()
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
    if (!StartPicture(gif.screenWidth, gif.screenHeight, depth)) {
        return false;
    }
    for (int i = 0; i < gif.currentTableCount && i < ColourCount(); ++i) {
        std::memcpy(ColourTableData() + 4 * i, gif.currentTable[i].data(), 4);
    }
    if (gif.hasGlobalTable) {
        const int index = gif.backgroundIndex;
        const int fill = depth == 1 ? (index != 0 ? 0xFF : 0) : depth == 4 ? (index & 0x0F) * 0x11 : index;
        for (int r = 0; r < Height(); ++r) {
            std::memset(Row(r), fill, static_cast<std::size_t>(RowBytes()));
        }
    }
    LzwDecoder decoder(file_, gif.initialCodeSize);
    const GifRowOrder order(gif.imageHeight, gif.interlaced);
    for (int n = 0; n < gif.imageHeight; ++n) {
        const int imageRow = order.ImageRow(n);
        if (imageRow >= gif.imageHeight) {
            break;
        }
        std::uint8_t* row = Row(gif.screenHeight - 1 - gif.imageTop - imageRow);
        for (int x = 0; x < gif.imageWidth; ++x) {
            const int value = decoder.NextPixel();
            if (decoder.Failed()) {
                SetError("%s", picture_message::prematureEnd);
                return currentRow_ > 0;
            }
            if (!gif.transparent || value != gif.transparentIndex) {
                PutGifPixel(row, gif.imageLeft + x, value, depth);
            }
        }
        ++currentRow_;
    }
    return true;
}

} // namespace discforge
