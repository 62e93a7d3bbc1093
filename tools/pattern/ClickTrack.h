// The generated test sound: a quiet 440 Hz tone with a loud click (10 ms of
// 1 kHz at nine tenths of full scale, the tone muted meanwhile) that starts
// exactly on every whole second, so tests can find the seconds in the sound
// and compare them with the frames.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace discforge::pattern {

// The track's value at sample `position` of a `sampleRate` stream, from -1 to 1.
double ClickTrackValue(std::int64_t position, int sampleRate);
// True inside a click.
bool InClick(std::int64_t position, int sampleRate);

// Positions (counted from `firstPosition`) where a click starts in interleaved
// PCM: 8-bit unsigned or 16-bit signed little-endian, 1 or 2 channels. A click
// start is the first sample of the first channel above half of full scale
// after at least `quietSamples` below it.
std::vector<std::int64_t> FindClicks(const std::uint8_t* pcm, std::size_t bytes, int channels, int bitsPerSample,
                                     std::int64_t firstPosition = 0, std::int64_t quietSamples = 2000);

} // namespace discforge::pattern
