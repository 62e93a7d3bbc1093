// The fixed-size headers of the picture formats, byte for byte as stored in the
// files. Every member is a byte array, so the structs carry no padding and can be
// read whole; ByteOrder.h decodes the multi-byte fields.
#pragma once

#include <cstdint>

namespace discforge {

struct BmpFileHeader {
    std::uint8_t type[2];
    std::uint8_t fileSize[4];
    std::uint8_t reserved[4];
    std::uint8_t pixelOffset[4];
};
static_assert(sizeof(BmpFileHeader) == 14);

// The information header in its 40-byte form plus room for the 64-byte form;
// the 12-byte core form is decoded from its first bytes.
struct BmpInfoHeader {
    std::uint8_t size[4];
    std::uint8_t width[4];
    std::uint8_t height[4];
    std::uint8_t planes[2];
    std::uint8_t bitCount[2];
    std::uint8_t compression[4];
    std::uint8_t imageSize[4];
    std::uint8_t xPelsPerMeter[4];
    std::uint8_t yPelsPerMeter[4];
    std::uint8_t coloursUsed[4];
    std::uint8_t coloursImportant[4];
    std::uint8_t extension[24];
};
static_assert(sizeof(BmpInfoHeader) == 64);

struct PcxHeader {
    std::uint8_t manufacturer;
    std::uint8_t version;
    std::uint8_t encoding;
    std::uint8_t bitsPerPlane;
    std::uint8_t xMin[2];
    std::uint8_t yMin[2];
    std::uint8_t xMax[2];
    std::uint8_t yMax[2];
    std::uint8_t horizontalDpi[2];
    std::uint8_t verticalDpi[2];
    std::uint8_t palette[48];
    std::uint8_t reserved;
    std::uint8_t planes;
    std::uint8_t bytesPerLine[2];
    std::uint8_t paletteInfo[2];
    std::uint8_t screenWidth[2];
    std::uint8_t screenHeight[2];
    std::uint8_t filler[54];
};
static_assert(sizeof(PcxHeader) == 128);

struct TargaHeader {
    std::uint8_t idLength;
    std::uint8_t colourMapType;
    std::uint8_t imageType;
    std::uint8_t colourMapFirst[2];
    std::uint8_t colourMapLength[2];
    std::uint8_t colourMapEntrySize;
    std::uint8_t xOrigin[2];
    std::uint8_t yOrigin[2];
    std::uint8_t width[2];
    std::uint8_t height[2];
    std::uint8_t pixelDepth;
    std::uint8_t descriptor;
};
static_assert(sizeof(TargaHeader) == 18);

// Signature, version and logical screen descriptor.
struct GifScreenHeader {
    std::uint8_t signature[6];
    std::uint8_t width[2];
    std::uint8_t height[2];
    std::uint8_t packed;
    std::uint8_t backgroundIndex;
    std::uint8_t aspect;
};
static_assert(sizeof(GifScreenHeader) == 13);

struct GifImageDescriptor {
    std::uint8_t left[2];
    std::uint8_t top[2];
    std::uint8_t width[2];
    std::uint8_t height[2];
    std::uint8_t packed;
};
static_assert(sizeof(GifImageDescriptor) == 9);

struct GifGraphicControl {
    std::uint8_t blockSize;
    std::uint8_t packed;
    std::uint8_t delay[2];
    std::uint8_t transparentIndex;
    std::uint8_t terminator;
};
static_assert(sizeof(GifGraphicControl) == 6);

} // namespace discforge
