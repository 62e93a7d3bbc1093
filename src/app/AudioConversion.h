// Turning one block of input sound into the 16-bit stereo the encoder takes at
// the disc's rate: depth and channels first, low rates by sample repetition,
// then a nearest-sample rate conversion whose running totals keep the output
// length on the exact rate ratio over a whole encode.
#pragma once

#include "input/AudioFigures.h"

#include <cstddef>
#include <cstdint>

namespace discforge {

struct PcmFormat {
    int sampleRate;
    int channels; // 1 or 2
    int bitsPerSample; // 8 (unsigned) or 16 (signed little-endian)
};

// True when the block is 16-bit stereo at a rate that needs no repetition, so it
// is delivered as it is.
bool IsEncoderReady(const PcmFormat& format);

// Writes every input sample frame as a 16-bit (left, right) pair, repeated
// RepetitionFactor times. Returns the bytes written.
std::size_t ExpandToStereo16(const PcmFormat& format, const uint8_t* input, std::size_t frames, uint8_t* output);

// The rate the expanded sound has on its way to `targetRate`, or 0 when it is
// already at the target. `targetRate` is 48000 (DVD) or 44100 (VCD, SVCD).
int ConversionSourceRate(int inputRate, int targetRate);

class RateConverter {
public:
    explicit RateConverter(int targetRate)
        : targetRate_(targetRate)
    {
    }

    void Restart()
    {
        bytesIn_ = 0;
        bytesOut_ = 0;
    }
    // Converts `inBytes` of stereo at `sourceRate` into `output` (zero-filled
    // first, `outputCapacity` bytes) and returns the bytes to deliver: what is
    // owed so far in whole stereo frames, plus one frame.
    std::size_t Convert(
        const uint8_t* input, std::size_t inBytes, int sourceRate, uint8_t* output, std::size_t outputCapacity);

    uint64_t BytesIn() const { return bytesIn_; }
    uint64_t BytesOut() const { return bytesOut_; }

private:
    int targetRate_;
    // 64 bits: 32-bit totals would wrap after six hours of 48 kHz sound.
    uint64_t bytesIn_ = 0;
    uint64_t bytesOut_ = 0;
};

} // namespace discforge
