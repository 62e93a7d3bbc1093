#include "picture/ExifOrientation.h"

#include <cstring>

namespace discforge {

namespace {

constexpr std::uint8_t exifSignature[6] = {'E', 'x', 'i', 'f', 0, 0};
constexpr unsigned orientationTag = 0x0112;
constexpr unsigned shortType = 3;
constexpr std::size_t entryBytes = 12;

// The Exif block's TIFF structure, in its own byte order.
class TiffBytes {
public:
    TiffBytes(const std::uint8_t* data, std::size_t size, bool bigEndian)
        : data_(data)
        , size_(size)
        , bigEndian_(bigEndian)
    {
    }
    bool Holds(std::size_t offset, std::size_t count) const { return offset <= size_ && count <= size_ - offset; }
    unsigned U16(std::size_t offset) const
    {
        const unsigned a = data_[offset];
        const unsigned b = data_[offset + 1];
        return bigEndian_ ? (a << 8) | b : (b << 8) | a;
    }
    std::uint32_t U32(std::size_t offset) const
    {
        const std::uint32_t high = U16(offset);
        const std::uint32_t low = U16(offset + 2);
        return bigEndian_ ? (high << 16) | low : (low << 16) | high;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    bool bigEndian_;
};

} // namespace

int ExifOrientation(const std::uint8_t* data, std::size_t size)
{
    if (data == nullptr || size < sizeof exifSignature + 8 || std::memcmp(data, exifSignature, sizeof exifSignature) != 0) {
        return uprightOrientation;
    }
    const std::uint8_t* tiff = data + sizeof exifSignature;
    const std::size_t tiffSize = size - sizeof exifSignature;
    const bool little = tiff[0] == 'I' && tiff[1] == 'I';
    const bool big = tiff[0] == 'M' && tiff[1] == 'M';
    if (!little && !big) {
        return uprightOrientation;
    }
    const TiffBytes bytes(tiff, tiffSize, big);
    if (bytes.U16(2) != 42) {
        return uprightOrientation;
    }
    const std::size_t directory = bytes.U32(4);
    if (!bytes.Holds(directory, 2)) {
        return uprightOrientation;
    }
    const unsigned entries = bytes.U16(directory);
    for (unsigned i = 0; i < entries; ++i) {
        const std::size_t entry = directory + 2 + i * entryBytes;
        if (!bytes.Holds(entry, entryBytes)) {
            break;
        }
        if (bytes.U16(entry) == orientationTag && bytes.U16(entry + 2) == shortType && bytes.U32(entry + 4) >= 1) {
            const unsigned value = bytes.U16(entry + 8);
            return value >= 1 && value <= 8 ? static_cast<int>(value) : uprightOrientation;
        }
    }
    return uprightOrientation;
}

} // namespace discforge
