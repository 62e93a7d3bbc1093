// How an input's audio rate maps to what the encoder takes: 16-bit stereo at
// 32, 44.1 or 48 kHz. Low rates are brought up by repeating samples.
#pragma once

#include <cstdint>

namespace discforge {

// r x 2 for 16000, 22050, 24000; r x 4 for 8000, 11025, 12000; r otherwise.
int TargetSampleRate(int rate);
// Bytes of converted 16-bit stereo per input sample frame: 8, 16 or 4; the
// factor carries the rate multiplication.
int ConvertedBytesPerSample(int rate);
// Converted bytes per video frame, computed in 64 bits.
std::int64_t ConvertedBytesPerFrame(int rate, int samplesPerFrame);

} // namespace discforge
