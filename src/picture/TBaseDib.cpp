#include "picture/TBaseDib.h"

#include <cstdarg>
#include <cstring>

#include "picture/ByteOrder.h"
#include "picture/PictureLimits.h"
#include "picture/PictureMessages.h"
#include "picture/Rescaler.h"
#include "picture/StreamRead.h"
#include "picture/TargaReader.h"

namespace discforge {

namespace {

void WriteInfoHeader(std::uint8_t* header, const PictureLayout& layout)
{
    std::memset(header, 0, bitmapInfoHeaderBytes);
    PutLe32(header, static_cast<std::uint32_t>(bitmapInfoHeaderBytes));
    PutLe32(header + 4, static_cast<std::uint32_t>(layout.width));
    PutLe32(header + 8, static_cast<std::uint32_t>(layout.height));
    PutLe16(header + 12, 1);
    PutLe16(header + 14, static_cast<std::uint16_t>(layout.bitCount));
    PutLe32(header + 20, static_cast<std::uint32_t>(layout.imageSize));
}

} // namespace

TBaseDib::TBaseDib() = default;
TBaseDib::~TBaseDib() = default;

void TBaseDib::SetError(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vsnprintf(errorText_, sizeof errorText_, format, args);
    va_end(args);
}

void TBaseDib::SetDeclared(int width, int height, int depth)
{
    declaredWidth_ = width;
    declaredHeight_ = height;
    declaredDepth_ = depth;
}

bool TBaseDib::DeclareFileSize(int width, int height, int depth)
{
    SetDeclared(width, height, depth);
    return CheckPixelLimit(width, height) && !EndAtHeader();
}

bool TBaseDib::EndAtHeader()
{
    if (!headerOnly_) {
        return false;
    }
    headerRead_ = true;
    return true;
}

bool TBaseDib::CheckPixelLimit(int width, int height)
{
    if (WithinPixelLimit(width, height)) {
        return true;
    }
    SetError(picture_message::tooManyPixels, width, height, maxPictureMegapixels);
    return false;
}

bool TBaseDib::DeclareJpegSize(int width, int height, int depth, std::int64_t decoderBytes)
{
    SetDeclared(width, height, depth);
    if (!CheckPixelLimit(width, height)) {
        return false;
    }
    if (decoderBytes > maxJpegDecoderBytes) {
        SetError(picture_message::tooMuchDecoderMemory, width, height, static_cast<long long>(decoderBytes >> 20));
        return false;
    }
    return !EndAtHeader();
}

ReadSize TBaseDib::LeastSizeFor(int width, int height) const
{
    return leastSize_ ? leastSize_(width, height) : ReadSize{width, height};
}

bool TBaseDib::AllocateBlock(PictureBlock& block, const PictureLayout& layout, PictureBlock::Contents contents)
{
    if (!block.Allocate(static_cast<std::size_t>(layout.blockSize), contents)) {
        SetError("%s", picture_message::outOfMemory);
        return false;
    }
    WriteInfoHeader(block.Data(), layout);
    return true;
}

void TBaseDib::AdoptLayout(const PictureLayout& layout)
{
    width_ = layout.width;
    height_ = layout.height;
    depth_ = layout.depth;
    stride_ = static_cast<int>(layout.stride);
    rowBytes_ = static_cast<int>(layout.rowBytes);
    colourCount_ = layout.colourCount;
    pixels_ = block_.Data() + bitmapInfoHeaderBytes + 4 * layout.colourCount;
}

bool TBaseDib::LayoutFor(int width, int height, int depth, PictureLayout& layout)
{
    switch (ComputePictureLayout(width, height, depth, layout)) {
    case LayoutResult::unsupportedDepth:
        SetError("%s", picture_message::unsupportedDepth);
        return false;
    case LayoutResult::tooLarge:
        SetError("%s", picture_message::outOfMemory);
        return false;
    case LayoutResult::ok:
        break;
    }
    return true;
}

bool TBaseDib::AllocatePicture(int width, int height, int depth)
{
    return Reshape(width, height, depth, PictureBlock::Contents::black);
}

bool TBaseDib::Reshape(int width, int height, int depth, PictureBlock::Contents contents)
{
    if (!block_.Empty() && width == width_ && height == height_ && depth == depth_) {
        blockKept_ = true;
        return true;
    }
    blockKept_ = false;
    PictureLayout layout;
    if (!LayoutFor(width, height, depth, layout)) {
        return false;
    }
    pixels_ = nullptr;
    width_ = height_ = depth_ = stride_ = rowBytes_ = colourCount_ = 0;
    if (!AllocateBlock(block_, layout, contents)) {
        return false;
    }
    AdoptLayout(layout);
    return true;
}

bool TBaseDib::StartPicture(int width, int height, int depth)
{
    if (!AllocatePicture(width, height, depth)) {
        return false;
    }
    if (blockKept_) {
        std::memset(block_.Data() + bitmapInfoHeaderBytes, 0, block_.Size() - bitmapInfoHeaderBytes);
    }
    return true;
}

namespace {

constexpr std::uint8_t pngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// The recognition test for Targa files, which have no signature.
bool LooksLikeTarga(std::FILE* file)
{
    TargaHeader header;
    return ReadExact(file, &header, sizeof header) && LooksLikeTarga(header);
}

// Looks for 0xFF 0xD8 in the first 1024 bytes; a JPEG behind some other header.
// Returns the offset of the 0xFF byte, or -1.
long FindEmbeddedJpeg(std::FILE* file)
{
    std::uint8_t buffer[1024];
    if (std::fread(buffer, 1, sizeof buffer, file) != sizeof buffer) {
        return -1;
    }
    bool afterMarkerByte = false;
    for (long i = 0; i < static_cast<long>(sizeof buffer); ++i) {
        if (afterMarkerByte) {
            if (buffer[i] == 0xD8) {
                return i - 1;
            }
            afterMarkerByte = false;
        } else if (buffer[i] == 0xFF) {
            afterMarkerByte = true;
        }
    }
    return -1;
}

} // namespace

bool TBaseDib::LoadFile(const std::string& path)
{
    format_ = PictureFormat::none;
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    if (!stream) {
        SetError(picture_message::openFailed, path.c_str());
        return false;
    }
    const bool loaded = LoadStream(stream, path);
    std::fclose(stream);
    return loaded;
}

bool TBaseDib::ProbeFile(const std::string& path)
{
    format_ = PictureFormat::none;
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    if (!stream) {
        SetError(picture_message::openFailed, path.c_str());
        return false;
    }
    reader_ = ReaderState{};
    currentRow_ = 0;
    file_ = stream;
    headerOnly_ = true;
    headerRead_ = false;
    Dispatch(path);
    headerOnly_ = false;
    file_ = nullptr;
    std::fclose(stream);
    return headerRead_;
}

bool TBaseDib::LoadStream(std::FILE* stream, const std::string& name)
{
    format_ = PictureFormat::none;
    ++loadCount_;
    reader_ = ReaderState{};
    currentRow_ = 0;
    file_ = stream;
    const bool loaded = Dispatch(name);
    file_ = nullptr;
    return loaded;
}

bool TBaseDib::Dispatch(const std::string& name)
{
    std::uint8_t magic[8];
    if (std::fread(magic, 1, sizeof magic, file_) != sizeof magic) {
        SetError(picture_message::emptyFile, name.c_str());
        return false;
    }
    if (std::fseek(file_, 0, SEEK_SET) != 0) {
        SetError("%s", picture_message::prematureEnd);
        return false;
    }
    path_ = name;
    if (magic[0] == 0x0A) {
        format_ = PictureFormat::pcx;
        return ReadPcx();
    }
    if (magic[0] == 'B' && magic[1] == 'M') {
        format_ = PictureFormat::bmp;
        return ReadBmp();
    }
    if (magic[0] == 'G' && magic[1] == 'I' && magic[2] == 'F') {
        format_ = PictureFormat::gif;
        return ReadGif();
    }
    if (std::memcmp(magic, pngSignature, sizeof pngSignature) == 0) {
        format_ = PictureFormat::png;
        return ReadPng();
    }
    if (magic[0] == 0xFF && magic[1] == 0xD8 && magic[2] == 0xFF && magic[3] >= 0xE0) {
        format_ = PictureFormat::jpeg;
        return ReadJpeg();
    }
    const bool targa = LooksLikeTarga(file_);
    if (std::fseek(file_, 0, SEEK_SET) != 0) {
        SetError("%s", picture_message::prematureEnd);
        return false;
    }
    if (targa) {
        format_ = PictureFormat::targa;
        return ReadTarga();
    }
    const long jpegStart = FindEmbeddedJpeg(file_);
    if (jpegStart >= 0 && std::fseek(file_, jpegStart, SEEK_SET) == 0) {
        format_ = PictureFormat::jpeg;
        return ReadJpeg();
    }
    SetError(picture_message::unknownType, path_.c_str());
    return false;
}

} // namespace discforge
