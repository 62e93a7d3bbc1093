#include "picture/PcxReader.h"

#include <algorithm>
#include <cstring>

#include "picture/ByteOrder.h"
#include "picture/PictureMessages.h"
#include "picture/StreamRead.h"
#include "picture/TFullDib.h"

namespace discforge {

namespace {

constexpr int pcxHeaderSize = 128;
constexpr long paletteDistanceFromEnd = 769;
constexpr int paletteMarker = 12;

// Red, green, blue: the usual 16 colours, for files whose header palette is black.
constexpr std::uint8_t standardSixteen[16][3] = {
    {0, 0, 0},     {0, 0, 255},    {0, 255, 0},    {0, 255, 255},  {255, 0, 0},   {255, 0, 255},
    {255, 255, 0}, {255, 255, 255}, {85, 85, 255},  {85, 85, 85},   {0, 170, 0},   {170, 0, 0},
    {85, 255, 255}, {255, 85, 255}, {255, 255, 85}, {255, 255, 255}};

void PutRgb(std::uint8_t* entry, const std::uint8_t* rgb)
{
    entry[0] = rgb[2];
    entry[1] = rgb[1];
    entry[2] = rgb[0];
    entry[3] = 0;
}

} // namespace

const char* ReadPcxHeader(std::FILE* file, ReaderState& state, PcxInfo& info)
{
    PcxHeader& header = state.pcxHeader;
    if (!ReadExact(file, &header, sizeof header)) {
        return picture_message::prematureEnd;
    }
    if (header.manufacturer != 0x0A) {
        return picture_message::unsupportedHeader;
    }
    const int width = Le16(header.xMax) - Le16(header.xMin) + 1;
    const int height = Le16(header.yMax) - Le16(header.yMin) + 1;
    if (width <= 0 || height <= 0) {
        return picture_message::unsupportedHeader;
    }
    info.width = width;
    info.height = height;
    info.planes = header.planes;
    info.bytesPerLine = Le16(header.bytesPerLine);
    info.depth = header.planes * header.bitsPerPlane;
    if (info.depth != 1 && info.depth != 4 && info.depth != 8 && info.depth != 24) {
        return picture_message::unsupportedDepth;
    }
    if (info.planes == 1 && info.depth != 24) {
        info.layout = PcxLayout::packed;
    } else if (info.planes == 4 && header.bitsPerPlane == 1) {
        info.layout = PcxLayout::fourPlanes;
    } else if (info.planes == 3 && header.bitsPerPlane == 8) {
        info.layout = PcxLayout::threePlanes;
    } else {
        return picture_message::unsupportedPlanes;
    }
    state.colourMapCount = info.depth == 24 ? 0 : 1 << info.depth;
    return nullptr;
}

const char* ReadPcxPalette(std::FILE* file, const ReaderState& state, const PcxInfo& info,
                           std::uint8_t* table)
{
    if (info.depth == 1 || info.depth == 4) {
        const int entries = 1 << info.depth;
        const std::uint8_t* palette = state.pcxHeader.palette;
        const bool allBlack = std::all_of(palette, palette + 3 * entries, [](std::uint8_t v) { return v == 0; });
        for (int i = 0; i < entries; ++i) {
            if (!allBlack) {
                PutRgb(table + 4 * i, palette + 3 * i);
            } else if (entries == 16) {
                PutRgb(table + 4 * i, standardSixteen[i]);
            } else {
                const std::uint8_t level = i == 0 ? 0 : 255;
                const std::uint8_t rgb[3] = {level, level, level};
                PutRgb(table + 4 * i, rgb);
            }
        }
        return nullptr;
    }
    if (info.depth != 8) {
        return nullptr;
    }
    if (std::fseek(file, -paletteDistanceFromEnd, SEEK_END) != 0) {
        return picture_message::prematureEnd;
    }
    const int marker = ReadByte(file);
    if (marker < 0) {
        return picture_message::prematureEnd;
    }
    if (marker != paletteMarker) {
        return nullptr; // no palette: the colours stay black
    }
    std::uint8_t palette[256 * 3];
    if (!ReadExact(file, palette, sizeof palette)) {
        return picture_message::prematureEnd;
    }
    for (int i = 0; i < 256; ++i) {
        PutRgb(table + 4 * i, palette + 3 * i);
    }
    return nullptr;
}

PcxRowDecoder::PcxRowDecoder(std::FILE* file, const PcxInfo& info)
    : file_(file), info_(info), line_(static_cast<std::size_t>(info.bytesPerLine) * info.planes)
{
}

bool PcxRowDecoder::Start()
{
    bufferLength_ = bufferPosition_ = runCount_ = 0;
    return std::fseek(file_, pcxHeaderSize, SEEK_SET) == 0;
}

int PcxRowDecoder::NextByte()
{
    if (bufferPosition_ == bufferLength_) {
        bufferLength_ = static_cast<int>(std::fread(buffer_, 1, sizeof buffer_, file_));
        bufferPosition_ = 0;
        if (bufferLength_ == 0) {
            return -1;
        }
    }
    return buffer_[bufferPosition_++];
}

bool PcxRowDecoder::ReadRow(std::uint8_t* row, int rowBytes)
{
    const int lineLength = static_cast<int>(line_.size());
    for (int i = 0; i < lineLength; ++i) {
        if (runCount_ == 0) {
            const int byte = NextByte();
            if (byte < 0) {
                return false;
            }
            if (byte >= 0xC0) {
                runValue_ = NextByte();
                if (runValue_ < 0) {
                    return false;
                }
                // A count of 0 still gives the value once.
                runCount_ = std::max(byte & 0x3F, 1);
            } else {
                runValue_ = byte;
                runCount_ = 1;
            }
        }
        line_[i] = static_cast<std::uint8_t>(runValue_);
        --runCount_;
    }
    const int planeBytes = info_.bytesPerLine;
    switch (info_.layout) {
    case PcxLayout::packed:
        std::memcpy(row, line_.data(), static_cast<std::size_t>(std::min(lineLength, rowBytes)));
        break;
    case PcxLayout::fourPlanes:
        std::memset(row, 0, static_cast<std::size_t>(rowBytes));
        for (int plane = 0; plane < 4; ++plane) {
            for (int i = 0; i < planeBytes; ++i) {
                const int bits = line_[plane * planeBytes + i];
                for (int pair = 0; pair < 4 && 4 * i + pair < rowBytes; ++pair) {
                    const int first = (bits >> (7 - 2 * pair)) & 1;
                    const int second = (bits >> (6 - 2 * pair)) & 1;
                    row[4 * i + pair] |= static_cast<std::uint8_t>(first << (4 + plane) | second << plane);
                }
            }
        }
        break;
    case PcxLayout::threePlanes: {
        const int pixels = std::min(planeBytes, rowBytes / 3);
        for (int x = 0; x < pixels; ++x) {
            row[3 * x + 2] = line_[x];
            row[3 * x + 1] = line_[planeBytes + x];
            row[3 * x] = line_[2 * planeBytes + x];
        }
        break;
    }
    }
    return true;
}

bool TFullDib::ReadPcx()
{
    PcxInfo info;
    if (const char* error = ReadPcxHeader(file_, reader_, info)) {
        SetError("%s", error);
        return false;
    }
    if (!DeclareFileSize(info.width, info.height, info.depth)) {
        return false;
    }
    if (!StartPicture(info.width, info.height, info.depth)) {
        return false;
    }
    if (const char* error = ReadPcxPalette(file_, reader_, info, ColourTableData())) {
        SetError("%s", error);
        return false;
    }
    PcxRowDecoder decoder(file_, info);
    if (!decoder.Start()) {
        SetError("%s", picture_message::prematureEnd);
        return false;
    }
    for (int n = 0; n < info.height; ++n) {
        if (!decoder.ReadRow(Row(info.height - 1 - n), RowBytes())) {
            SetError("%s", picture_message::prematureEnd);
            return currentRow_ > 0;
        }
        ++currentRow_;
    }
    return true;
}

} // namespace discforge
