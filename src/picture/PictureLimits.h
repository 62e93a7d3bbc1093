// How large a picture file may say it is. The largest common one is a
// 108-megapixel phone photo; a declared size above the limit is refused before
// anything is allocated, whatever the format.
#pragma once

#include <cstdint>

namespace discforge {

inline constexpr std::int64_t maxPicturePixels = 200'000'000;
inline constexpr int maxPictureMegapixels = static_cast<int>(maxPicturePixels / 1'000'000);

// What the JPEG library may keep of one picture: a file of several scans keeps
// every coefficient of the picture, two bytes a sample, whatever size it is
// decoded at. A 108-megapixel photo of several scans needs 324 MB with its
// colour sampled at half size and 648 MB at full size.
inline constexpr std::int64_t maxJpegDecoderBytes = std::int64_t{672} * 1024 * 1024;
// Room beyond that for the library's rows and tables.
inline constexpr std::int64_t jpegWorkingBytes = std::int64_t{32} * 1024 * 1024;

// Sizes of no pixels or negative ones are left to the layout's own refusal.
inline bool WithinPixelLimit(std::int64_t width, std::int64_t height)
{
    return width <= 0 || height <= 0 || height <= maxPicturePixels / width;
}

} // namespace discforge
