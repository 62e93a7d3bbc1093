// Clips, scripts and what the media layer makes of them, for the script
// tests: pictures as BGRX frames, sound as 16-bit samples.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace discforge::test {

// 50 numbered frames at 25 per second with clicks in 44.1 kHz stereo, 352 x 288.
const std::string& Clip();

// Writes the script `name`.avs into the sample folder; returns its path.
std::string Script(const std::string& name, const std::string& text);

struct Pictures {
    int width = 0;
    int height = 0;
    std::vector<std::vector<std::uint8_t>> frames; // BGRX, top-down
    // The frame numbers the sample clips draw, read from each picture.
    std::vector<std::int64_t> Numbers() const;
    // The mean of blue, green and red over a rectangle of frame `frame`.
    double Mean(std::size_t frame, int x, int y, int w, int h, int channel) const;
};

// Every frame the script's picture gives, and its rate.
Pictures ScriptPictures(const std::string& script, double* rate = nullptr);

std::vector<std::uint8_t> ReadAll(const std::string& path);

struct Sound {
    int rate = 0;
    int channels = 0;
    std::vector<std::int16_t> samples; // interleaved
};

Sound ScriptSound(const std::string& script);

// first, first+1, ... last (or down to last).
std::vector<std::int64_t> Range(std::int64_t first, std::int64_t last);

} // namespace discforge::test
