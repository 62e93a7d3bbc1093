// Band-limited rate conversion of 16-bit stereo (libswresample) for the encoder's
// sound. The caller decides how many frames each call hands out, by its own running
// totals of the exact rate ratio; the converter keeps what it made beyond that for the
// next call. The first call of a run, which lacks the filter's look-ahead, is led by
// as much silence as it falls short (16 samples at the lower rate: 0.4 ms at 44100 Hz,
// 2 ms at 8000 Hz), so that no later call ever does.
//
// Used by one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct SwrContext;

namespace discforge {

class SoundResampler {
public:
    SoundResampler() = default;
    ~SoundResampler();
    SoundResampler(const SoundResampler&) = delete;
    SoundResampler& operator=(const SoundResampler&) = delete;

    // Starts a run from `inputRate` to `outputRate` (each 1 to 768000 Hz), dropping
    // what the last run left. False with LastError filled when no converter is made.
    bool Restart(int inputRate, int outputRate);
    // Converts `frames` interleaved left-right frames of `input` and writes exactly
    // `wanted` frames into `output`. A run that could not start, or a failed
    // conversion, gives silence and false. `output` holds `wanted` frames.
    bool Convert(const std::uint8_t* input, std::size_t frames, std::uint8_t* output, std::size_t wanted);

    // Frames converted and not yet handed out.
    std::size_t HeldFrames() const { return (held_.size() - heldRead_) / 2; }
    const std::string& LastError() const { return lastError_; }

private:
    bool Take(const std::uint8_t* input, std::size_t frames);

    SwrContext* context_ = nullptr;
    int inputRate_ = 0;
    int outputRate_ = 0;
    bool firstCall_ = true;
    std::vector<std::int16_t> held_; // interleaved frames, the first unread at heldRead_
    std::size_t heldRead_ = 0;
    std::string lastError_;
};

} // namespace discforge
