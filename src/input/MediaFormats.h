// The audio and frame-surface formats of an input, as the stream reader reports them.
#pragma once

#include <cstdint>

namespace discforge {

struct WaveFormat {
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t avgBytesPerSecond = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t extraSize = 0;
};

// The frame surface's description apart from its size (the entry's width and
// height): what the stream reader sets up for 32-bit frames.
struct SurfaceLayout {
    std::uint32_t size = 0;
    std::uint32_t flags = 0;
    std::int32_t pitch = 0;
    struct {
        std::uint32_t size = 0;
        std::uint32_t flags = 0;
        std::uint32_t fourCC = 0;
        std::uint32_t rgbBitCount = 0;
        std::uint32_t redMask = 0;
        std::uint32_t greenMask = 0;
        std::uint32_t blueMask = 0;
        std::uint32_t alphaMask = 0;
    } pixelFormat;
    std::uint32_t caps = 0;
};

} // namespace discforge
