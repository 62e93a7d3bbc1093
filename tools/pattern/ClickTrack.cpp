#include "pattern/ClickTrack.h"

#include <cmath>
#include <numbers>

namespace discforge::pattern {

namespace {

constexpr double toneAmplitude = 0.2;
constexpr double toneHz = 440.0;
constexpr double clickAmplitude = 0.9;
constexpr double clickHz = 1000.0;
constexpr double clickSeconds = 0.010;
constexpr double detectLevel = 0.5;

} // namespace

bool InClick(std::int64_t position, int sampleRate)
{
    return position >= 0 && static_cast<double>(position % sampleRate) < clickSeconds * sampleRate;
}

double ClickTrackValue(std::int64_t position, int sampleRate)
{
    const double seconds = static_cast<double>(position) / sampleRate;
    if (InClick(position, sampleRate)) {
        const double intoClick = static_cast<double>(position % sampleRate) / sampleRate;
        // The burst starts at its peak so that the first click sample is already loud.
        return clickAmplitude * std::cos(2 * std::numbers::pi * clickHz * intoClick);
    }
    return toneAmplitude * std::sin(2 * std::numbers::pi * toneHz * seconds);
}

std::vector<std::int64_t> FindClicks(const std::uint8_t* pcm, std::size_t bytes, int channels, int bitsPerSample,
                                     std::int64_t firstPosition, std::int64_t quietSamples)
{
    std::vector<std::int64_t> clicks;
    if (pcm == nullptr || channels < 1 || (bitsPerSample != 8 && bitsPerSample != 16)) {
        return clicks;
    }
    const std::size_t sampleBytes = static_cast<std::size_t>(bitsPerSample / 8);
    const std::size_t frameBytes = sampleBytes * static_cast<std::size_t>(channels);
    const std::size_t frames = bytes / frameBytes;
    std::int64_t quiet = quietSamples;
    for (std::size_t i = 0; i < frames; ++i) {
        const std::uint8_t* sample = pcm + i * frameBytes;
        double value = bitsPerSample == 8
                           ? (sample[0] - 128) / 128.0
                           : static_cast<std::int16_t>(sample[0] | sample[1] << 8) / 32768.0;
        if (std::fabs(value) > detectLevel) {
            if (quiet >= quietSamples) {
                clicks.push_back(firstPosition + static_cast<std::int64_t>(i));
            }
            quiet = 0;
        } else {
            ++quiet;
        }
    }
    return clicks;
}

} // namespace discforge::pattern
