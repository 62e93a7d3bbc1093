// What is known of a clip's picture and sound without decoding them, alike for
// a file the script names and for a clip the script makes.
#pragma once

#include <cstdint>

namespace discforge {

// The layout a clip's pixels are declared in: files and most filters give
// 4:2:0, the ConvertTo functions and some sources others.
enum class AvsPixelType { Yv12, Yuy2, Rgb24, Rgb32 };

struct AvsPictureFormat {
    bool hasVideo = false;
    int width = 0;
    int height = 0;
    int fpsNumerator = 0;
    int fpsDenominator = 1;
    std::int64_t frames = 0;
    AvsPixelType pixelType = AvsPixelType::Yv12;
    bool topFieldFirst = false; // the parity the field functions assume

    bool operator==(const AvsPictureFormat&) const = default;
};

struct AvsSoundFormat {
    bool hasAudio = false;
    int sampleRate = 0;
    int channels = 0;
    std::int64_t samples = 0;

    bool operator==(const AvsSoundFormat&) const = default;
};

} // namespace discforge
