// Turning one block of input sound into the 16-bit stereo the encoder takes at
// the disc's rate: depth and channels first, then how many frames the block
// becomes at the disc's rate. Running totals keep the output length on the exact
// rate ratio over a whole encode; the samples themselves come from a band-limited
// resampler (platform/SoundResampler).
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

// True when the block is already 16-bit stereo.
bool IsEncoderReady(const PcmFormat& format);

// Writes every input sample frame as one 16-bit (left, right) pair. Returns the bytes written.
std::size_t ExpandToStereo16(const PcmFormat& format, const uint8_t* input, std::size_t frames, uint8_t* output);

// The rate the running totals count the input at on its way to `targetRate`, or 0
// when a block becomes a whole multiple of its frames (RepetitionFactor of them,
// with no totals). `targetRate` is 48000 (DVD) or 44100 (VCD, SVCD).
int ConversionSourceRate(int inputRate, int targetRate);

// The rate a run's sound is delivered at: the disc's, or for a format without one
// the input's own made at least 32000 Hz by the repetition factor.
int DeliveredRate(int formatRate, int inputRate);

// The bytes each block becomes at the target rate, by running totals of the bytes
// before and after the conversion.
class RateTotals {
public:
    explicit RateTotals(int targetRate)
        : targetRate_(targetRate)
    {
    }

    void Restart()
    {
        bytesIn_ = 0;
        bytesOut_ = 0;
    }
    // Counts `inBytes` of stereo at `sourceRate` and returns the bytes to deliver
    // for them: what is owed so far in whole stereo frames, plus one frame, at most
    // `capacity` (what is left stays owed to the next block).
    std::size_t Owe(std::size_t inBytes, int sourceRate, std::size_t capacity);

    uint64_t BytesIn() const { return bytesIn_; }
    uint64_t BytesOut() const { return bytesOut_; }

private:
    int targetRate_;
    // 64 bits: 32-bit totals would wrap after six hours of 48 kHz sound.
    uint64_t bytesIn_ = 0;
    uint64_t bytesOut_ = 0;
};

} // namespace discforge
