// The figures of an input's sound after the conversion the encoder needs: low
// rates are multiplied by repeating every sample, and every sample frame
// becomes 16-bit stereo.
#pragma once

#include <cstdint>

namespace discforge {

// 2 for 16000, 22050 and 24000 Hz; 4 for 8000, 11025 and 12000 Hz; 1 otherwise.
int RepetitionFactor(int sampleRate);
// The rate after repetition: r x 2 for 16000, 22050, 24000; r x 4 for 8000,
// 11025, 12000; r otherwise.
int TargetSampleRate(int rate);
// Bytes of 16-bit stereo that `frames` input sample frames at `rate` become;
// the factor carries the rate multiplication.
std::int64_t ConvertedBytesPerFrame(int rate, std::int64_t frames);

} // namespace discforge
