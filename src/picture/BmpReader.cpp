#include "picture/BmpReader.h"

#include <cstdlib>
#include <cstring>

#include "picture/ByteOrder.h"
#include "picture/PictureMessages.h"
#include "picture/TFullDib.h"

namespace discforge {

namespace {

constexpr int coreHeaderSize = 12;

bool IsBmpDepth(int bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
           bitCount == 32;
}

BmpChannel AnalyseMask(std::uint32_t mask, int topBit, int targetWidth)
{
    BmpChannel channel;
    channel.mask = mask;
    if (mask == 0) {
        return channel; // no bits: the channel is 0
    }
    while (((mask >> channel.shift) & 1) == 0) {
        ++channel.shift;
    }
    int width = 0;
    while (channel.shift + width < topBit && ((mask >> (channel.shift + width)) & 1) != 0) {
        ++width;
    }
    channel.adjust = width - targetWidth;
    return channel;
}

// Writes pixel `x` of a 4- or 8-bit row.
void PutIndex(std::uint8_t* row, int x, int value, int bitCount)
{
    if (bitCount == 8) {
        row[x] = static_cast<std::uint8_t>(value);
        return;
    }
    std::uint8_t& byte = row[x / 2];
    byte = x % 2 == 0 ? static_cast<std::uint8_t>((byte & 0x0F) | (value << 4))
                      : static_cast<std::uint8_t>((byte & 0xF0) | (value & 0x0F));
}

} // namespace

std::uint32_t ExtractBmpChannel(std::uint32_t pixel, const BmpChannel& channel, std::uint32_t limit)
{
    std::uint32_t value = (pixel & channel.mask) >> channel.shift;
    if (channel.adjust > 0) {
        value >>= channel.adjust;
    } else if (channel.adjust < 0) {
        value <<= -channel.adjust;
    }
    return value & limit; // a mask with gaps must not spill into the next channel
}

const char* ReadBmpHeader(std::FILE* file, ReaderState& state, BmpInfo& info)
{
    BmpFileHeader fileHeader;
    BmpInfoHeader& header = state.bmpHeader;
    header = BmpInfoHeader{};
    if (!ReadExact(file, &fileHeader, sizeof fileHeader) || !ReadExact(file, header.size, 4)) {
        return picture_message::prematureEnd;
    }
    const std::uint32_t headerSize = Le32(header.size);
    if (headerSize < coreHeaderSize || headerSize > sizeof header) {
        return picture_message::unsupportedHeader;
    }
    if (!ReadExact(file, reinterpret_cast<std::uint8_t*>(&header) + 4, headerSize - 4)) {
        return picture_message::prematureEnd;
    }
    int planes = 0;
    std::uint32_t coloursUsed = 0;
    if (headerSize == coreHeaderSize) {
        const std::uint8_t* core = header.width;
        info.width = Le16(core);
        info.height = Le16(core + 2);
        planes = Le16(core + 4);
        info.bitCount = Le16(core + 6);
        info.topDown = false;
        info.compression = BmpCompression::none;
        state.colourMapEntrySize = 3;
    } else if (headerSize == 40 || headerSize == 64) {
        const std::int64_t width = Le32Signed(header.width);
        const std::int64_t height = Le32Signed(header.height);
        if (width < 0 || height < -0x7FFFFFFF) {
            return picture_message::unsupportedHeader;
        }
        info.width = static_cast<int>(width);
        info.height = static_cast<int>(std::abs(height));
        info.topDown = height < 0;
        planes = Le16(header.planes);
        info.bitCount = Le16(header.bitCount);
        switch (Le32(header.compression)) {
        case 0: info.compression = BmpCompression::none; break;
        case 1:
        case 2:
            if ((info.bitCount != 4 && info.bitCount != 8) || info.topDown) {
                return picture_message::unsupportedHeader;
            }
            info.compression = BmpCompression::runLength;
            break;
        case 3: info.compression = BmpCompression::bitFields; break;
        default: return picture_message::unsupportedHeader; // embedded JPEG or PNG data
        }
        coloursUsed = Le32(header.coloursUsed);
        state.colourMapEntrySize = 4;
    } else {
        return picture_message::unsupportedHeader;
    }
    if (info.width == 0 || info.height == 0) {
        return picture_message::unsupportedHeader; // nothing to show, and rows without pixels
    }
    if (!IsBmpDepth(info.bitCount)) {
        return picture_message::unsupportedDepth;
    }
    if (coloursUsed == 0 && info.bitCount <= 8) {
        coloursUsed = 1u << info.bitCount;
    }
    state.colourMapCount = static_cast<int>(coloursUsed > 256 ? 256 : coloursUsed);
    if (planes != 1) {
        return picture_message::unsupportedPlanes;
    }
    return nullptr;
}

const char* ReadBmpPalette(std::FILE* file, const ReaderState& state, std::uint8_t* table,
                           int tableEntries)
{
    const int count = state.colourMapCount;
    const int entrySize = state.colourMapEntrySize;
    std::uint8_t entries[256 * 4];
    if (!ReadExact(file, entries, static_cast<std::size_t>(count) * entrySize)) {
        return picture_message::prematureEnd;
    }
    for (int i = 0; i < count && i < tableEntries; ++i) {
        std::memcpy(table + 4 * i, entries + entrySize * i, 3);
        table[4 * i + 3] = 0;
    }
    return nullptr;
}

const char* ReadBmpMasks(std::FILE* file, const BmpInfo& info, BmpMasks& masks, int channelBits)
{
    const bool wide = info.bitCount == 32;
    std::uint32_t values[3] = {wide ? 0xFF0000u : 0x7C00u, wide ? 0x00FF00u : 0x03E0u,
                               wide ? 0x0000FFu : 0x001Fu};
    if (info.compression == BmpCompression::bitFields) {
        std::uint8_t stored[12];
        if (!ReadExact(file, stored, sizeof stored)) {
            return picture_message::prematureEnd;
        }
        for (int i = 0; i < 3; ++i) {
            values[i] = Le32(stored + 4 * i);
        }
    }
    for (int i = 0; i < 3; ++i) {
        masks.channels[i] = AnalyseMask(values[i], wide ? 32 : 16, channelBits);
    }
    return nullptr;
}

void ConvertBmpRow16(std::uint8_t* row, int width, const BmpMasks& masks)
{
    for (int x = 0; x < width; ++x) {
        const std::uint32_t pixel = Le16(row + 2 * x);
        const std::uint32_t red = ExtractBmpChannel(pixel, masks.channels[0], 31);
        const std::uint32_t green = ExtractBmpChannel(pixel, masks.channels[1], 31);
        const std::uint32_t blue = ExtractBmpChannel(pixel, masks.channels[2], 31);
        PutLe16(row + 2 * x, static_cast<std::uint16_t>(red << 10 | green << 5 | blue));
    }
}

void ConvertBmpRow32(std::uint8_t* row, int width, const BmpMasks& masks)
{
    for (int x = 0; x < width; ++x) {
        std::uint8_t* pixel = row + 4 * x;
        const std::uint32_t value = Le32(pixel);
        pixel[2] = static_cast<std::uint8_t>(ExtractBmpChannel(value, masks.channels[0], 255));
        pixel[1] = static_cast<std::uint8_t>(ExtractBmpChannel(value, masks.channels[1], 255));
        pixel[0] = static_cast<std::uint8_t>(ExtractBmpChannel(value, masks.channels[2], 255));
        pixel[3] = 0;
    }
}

const char* DecodeBmpRunLength(std::FILE* file, const BmpInfo& info, RowTarget& target,
                               int& rowsDone)
{
    const int width = info.width;
    const int height = info.height;
    const int bitCount = info.bitCount;
    int row = 0;
    int column = 0;
    std::uint8_t* line = height > 0 ? target.Row(0) : nullptr;
    auto nextRow = [&](int rows) {
        row += rows;
        column = 0;
        line = row < height ? target.Row(row) : nullptr;
    };
    // Runs go on in the next row when the row fills before they end.
    auto put = [&](int value) {
        while (column >= width) {
            nextRow(1);
            if (row >= height) {
                return false;
            }
        }
        PutIndex(line, column++, value, bitCount);
        return true;
    };
    const char* result = nullptr;
    while (row < height) {
        const int count = ReadByte(file);
        const int value = ReadByte(file);
        if (count < 0 || value < 0) {
            result = picture_message::prematureEnd;
            break;
        }
        if (count > 0) {
            bool inside = true;
            for (int i = 0; i < count && inside; ++i) {
                inside = put(bitCount == 8 ? value : (i % 2 == 0 ? value >> 4 : value & 0x0F));
            }
            continue;
        }
        if (value == 0) {
            nextRow(1);
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            const int right = ReadByte(file);
            const int up = ReadByte(file);
            if (right < 0 || up < 0) {
                result = picture_message::prematureEnd;
                break;
            }
            const int newColumn = column + right < width ? column + right : width;
            if (up > 0) {
                nextRow(up);
            }
            column = newColumn;
        } else {
            // A literal run; its bytes are padded to an even count.
            const int bytes = bitCount == 8 ? value : (value + 1) / 2;
            int byte = 0;
            bool inside = true;
            for (int i = 0; i < value; ++i) {
                if (bitCount == 8 || i % 2 == 0) {
                    byte = ReadByte(file);
                    if (byte < 0) {
                        break;
                    }
                }
                if (inside) {
                    inside = put(bitCount == 8 ? byte : (i % 2 == 0 ? byte >> 4 : byte & 0x0F));
                }
            }
            if (byte < 0 || (bytes % 2 == 1 && ReadByte(file) < 0)) {
                result = picture_message::prematureEnd;
                break;
            }
        }
    }
    rowsDone = row < height ? row : height;
    return result;
}

namespace {

class PictureRows : public RowTarget {
public:
    explicit PictureRows(TBaseDib& picture) : picture_(picture) {}
    std::uint8_t* Row(int r) override { return picture_.Row(r); }

private:
    TBaseDib& picture_;
};

} // namespace

bool TFullDib::ReadBmp()
{
    BmpInfo info;
    if (const char* error = ReadBmpHeader(file_, reader_, info)) {
        SetError("%s", error);
        return false;
    }
    if (!DeclareFileSize(info.width, info.height, info.bitCount)) {
        return false;
    }
    if (!StartPicture(info.width, info.height, info.bitCount)) {
        return false;
    }
    if (info.compression == BmpCompression::runLength) {
        if (const char* error = ReadBmpPalette(file_, reader_, ColourTableData(), ColourCount())) {
            SetError("%s", error);
            return false;
        }
        PictureRows rows(*this);
        const char* error = DecodeBmpRunLength(file_, info, rows, currentRow_);
        if (error) {
            SetError("%s", error);
            return currentRow_ > 0;
        }
        return true;
    }
    BmpMasks masks;
    if (info.bitCount == 16 || info.bitCount == 32) {
        // 16-bit rows become 5-5-5 words, 32-bit rows 8 bits a channel.
        if (const char* error = ReadBmpMasks(file_, info, masks, info.bitCount == 32 ? 8 : 5)) {
            SetError("%s", error);
            return false;
        }
    }
    if (const char* error = ReadBmpPalette(file_, reader_, ColourTableData(), ColourCount())) {
        SetError("%s", error);
        return false;
    }
    for (int i = 0; i < info.height; ++i) {
        std::uint8_t* row = Row(info.topDown ? info.height - 1 - i : i);
        if (!ReadExact(file_, row, Stride())) {
            std::memset(row, 0, Stride());
            SetError("%s", picture_message::prematureEnd);
            return currentRow_ > 0;
        }
        if (info.bitCount == 16) {
            ConvertBmpRow16(row, info.width, masks);
        } else if (info.bitCount == 32) {
            ConvertBmpRow32(row, info.width, masks);
        }
        ++currentRow_;
    }
    return true;
}

} // namespace discforge
