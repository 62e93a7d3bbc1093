#include "picture/TargaReader.h"

#include <cstring>

#include "picture/ByteOrder.h"
#include "picture/PictureMessages.h"
#include "picture/StreamRead.h"
#include "picture/TFullDib.h"

namespace discforge {

namespace {

constexpr int descriptorTopDown = 0x20;

int MapEntryBytes(int entryBits)
{
    switch (entryBits) {
    case 15:
    case 16: return 2;
    case 24: return 3;
    case 32: return 4;
    default: return 1;
    }
}

std::uint8_t Expand5(int value)
{
    return static_cast<std::uint8_t>((value * 255 + 15) / 31);
}

// Image types above 8 are the run-length forms of type - 8.
bool TypeFits(int imageType, int depth, int mapType)
{
    const int type = imageType > 8 ? imageType - 8 : imageType;
    return (type == 1 && depth == 8 && mapType == 1) ||
           (type == 2 && (depth == 15 || depth == 16 || depth == 24 || depth == 32)) || (type == 3 && depth == 8);
}

} // namespace

bool LooksLikeTarga(const TargaHeader& header)
{
    const int depth = header.pixelDepth;
    if (header.colourMapType > 1 || depth < 8 || depth > 32 ||
        !TypeFits(header.imageType, depth, header.colourMapType)) {
        return false;
    }
    const int type = header.imageType > 8 ? header.imageType - 8 : header.imageType;
    const int mapLength = Le16(header.colourMapLength);
    return type != 1 || (mapLength >= 1 && mapLength <= 256 && Le16(header.colourMapFirst) == 0);
}

const char* ReadTargaHeader(std::FILE* file, ReaderState& state, TargaInfo& info)
{
    TargaHeader& header = state.targaHeader;
    if (!ReadExact(file, &header, sizeof header)) {
        return picture_message::prematureEnd;
    }
    char identifier[256];
    if (!ReadExact(file, identifier, header.idLength)) {
        return picture_message::prematureEnd;
    }
    state.targaImageId.assign(identifier, header.idLength);
    const int depth = header.pixelDepth;
    if (header.colourMapType > 1 || depth < 8 || depth > 32) {
        return picture_message::invalidTarga;
    }
    if (!TypeFits(header.imageType, depth, header.colourMapType)) {
        return picture_message::invalidTarga;
    }
    info.runLength = header.imageType > 8;
    info.imageType = info.runLength ? header.imageType - 8 : header.imageType;
    info.width = Le16(header.width);
    info.height = Le16(header.height);
    info.depth = depth;
    info.bottomUp = (header.descriptor & descriptorTopDown) == 0;
    state.colourMapCount = header.colourMapType == 1 ? Le16(header.colourMapLength) : 0;
    return nullptr;
}

const char* ReadTargaColourMap(std::FILE* file, const ReaderState& state, const TargaInfo& info,
                               std::uint8_t* table)
{
    const TargaHeader& header = state.targaHeader;
    const int length = Le16(header.colourMapLength);
    const int entryBits = header.colourMapEntrySize;
    if (info.imageType != 1) {
        if (length >= 1 &&
            std::fseek(file, static_cast<long>(length) * MapEntryBytes(entryBits), SEEK_CUR) != 0) {
            return picture_message::prematureEnd;
        }
        if (info.imageType == 3) {
            for (int i = 0; i < 256; ++i) {
                std::memset(table + 4 * i, i, 3);
                table[4 * i + 3] = 0;
            }
        }
        return nullptr;
    }
    if (length == 0) {
        return picture_message::invalidTarga;
    }
    const int entryBytes = MapEntryBytes(entryBits);
    if (length > 256 || Le16(header.colourMapFirst) != 0 || entryBytes == 1) {
        return picture_message::unsupportedTargaMap;
    }
    std::uint8_t map[256 * 4];
    if (!ReadExact(file, map, static_cast<std::size_t>(length) * entryBytes)) {
        return picture_message::prematureEnd;
    }
    for (int i = 0; i < length; ++i) {
        const std::uint8_t* entry = map + entryBytes * i;
        std::uint8_t* colour = table + 4 * i;
        if (entryBytes == 2) {
            const int word = Le16(entry);
            colour[0] = Expand5(word & 31);
            colour[1] = Expand5((word >> 5) & 31);
            colour[2] = Expand5((word >> 10) & 31);
        } else {
            std::memcpy(colour, entry, 3);
        }
        colour[3] = 0;
    }
    return nullptr;
}

TargaRowDecoder::TargaRowDecoder(std::FILE* file, const TargaInfo& info)
    : file_(file), width_(info.width), pixelBytes_((info.depth + 7) / 8), runLength_(info.runLength)
{
}

bool TargaRowDecoder::ReadRow(std::uint8_t* row)
{
    if (!runLength_) {
        return ReadExact(file_, row, static_cast<std::size_t>(width_) * pixelBytes_);
    }
    for (int x = 0; x < width_; ++x) {
        std::uint8_t* pixel = row + x * pixelBytes_;
        if (repeatCount_ == 0 && rawCount_ == 0) {
            const int packet = ReadByte(file_);
            if (packet < 0) {
                return false;
            }
            // The count is stored less one: a packet always holds at least one pixel.
            const int count = (packet & 0x7F) + 1;
            if (packet & 0x80) {
                if (!ReadExact(file_, value_, pixelBytes_)) {
                    return false;
                }
                repeatCount_ = count;
            } else {
                rawCount_ = count;
            }
        }
        if (repeatCount_ > 0) {
            std::memcpy(pixel, value_, pixelBytes_);
            --repeatCount_;
        } else {
            if (!ReadExact(file_, pixel, pixelBytes_)) {
                return false;
            }
            --rawCount_;
        }
    }
    return true;
}

bool TFullDib::ReadTarga()
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
    if (!StartPicture(info.width, info.height, info.depth)) {
        return false;
    }
    if (info.depth == 8) {
        std::memcpy(ColourTableData(), table, sizeof table);
    }
    TargaRowDecoder decoder(file_, info);
    for (int n = 0; n < info.height; ++n) {
        std::uint8_t* row = Row(info.bottomUp ? n : info.height - 1 - n);
        if (!decoder.ReadRow(row)) {
            std::memset(row, 0, Stride());
            SetError("%s", picture_message::prematureEnd);
            return currentRow_ > 0;
        }
        ++currentRow_;
    }
    return true;
}

} // namespace discforge
