// The band-limited rate conversion: exactly the frames asked for in every call, the
// sound where it was in time, and nothing but silence from a run that cannot start.
#include "platform/SoundResampler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace discforge {
namespace {

std::vector<std::uint8_t> StereoBlock(const std::vector<double>& values)
{
    std::vector<std::uint8_t> bytes(values.size() * 4);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto word = static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(values[i] * 32767)));
        for (std::size_t side = 0; side < 2; ++side) {
            bytes[i * 4 + side * 2] = static_cast<std::uint8_t>(word & 0xFF);
            bytes[i * 4 + side * 2 + 1] = static_cast<std::uint8_t>(word >> 8);
        }
    }
    return bytes;
}

double LeftAt(const std::vector<std::uint8_t>& bytes, std::size_t frame)
{
    return static_cast<std::int16_t>(bytes[frame * 4] | bytes[frame * 4 + 1] << 8) / 32767.0;
}

TEST(SoundResampler, EveryCallHandsOutExactlyTheFramesAskedForAndHoldsLittleBack)
{
    SoundResampler resampler;
    ASSERT_TRUE(resampler.Restart(44100, 48000));
    const std::vector<std::uint8_t> input = StereoBlock(std::vector<double>(1764, 0.25));
    std::vector<std::uint8_t> output(1920 * 4 + 4 * 8, 0xAA);
    for (int call = 0; call < 3000; ++call) {
        // Alternating around the ratio's 1920 frames a call, as running totals ask.
        const std::size_t wanted = call % 2 == 0 ? 1921 : 1919;
        output.assign(output.size(), 0xAA);
        ASSERT_TRUE(resampler.Convert(input.data(), 1764, output.data(), wanted));
        // Past the lead, a steady level comes out steady, to the last frame asked for.
        if (call > 0) {
            ASSERT_NEAR(LeftAt(output, 0), 0.25, 0.001) << "call " << call;
            ASSERT_NEAR(LeftAt(output, wanted - 1), 0.25, 0.001) << "call " << call;
        }
        ASSERT_EQ(output[wanted * 4], 0xAA) << "written past the frames asked for, call " << call;
        ASSERT_LT(resampler.HeldFrames(), 100u) << "call " << call;
    }
}

TEST(SoundResampler, AStepKeepsItsTimeAcrossTheConversion)
{
    const struct {
        int from;
        int to;
    } cases[] = {{8000, 48000}, {22050, 44100}, {44100, 48000}, {48000, 44100}, {96000, 48000}};
    for (const auto& rates : cases) {
        SoundResampler resampler;
        ASSERT_TRUE(resampler.Restart(rates.from, rates.to));
        // Half a second of silence, then a loud level: the step lies at 0.5 s.
        std::vector<double> values(static_cast<std::size_t>(rates.from), 0.0);
        for (std::size_t i = values.size() / 2; i < values.size(); ++i) {
            values[i] = 0.8;
        }
        const std::vector<std::uint8_t> input = StereoBlock(values);
        const auto wanted = static_cast<std::size_t>(rates.to);
        std::vector<std::uint8_t> output(wanted * 4);
        ASSERT_TRUE(resampler.Convert(input.data(), values.size(), output.data(), wanted));
        std::size_t step = 0;
        while (step < wanted && LeftAt(output, step) < 0.4) {
            ++step;
        }
        // Late by no more than the filter's look-ahead of 16 samples at the lower rate,
        // which the first block lacks: 2 ms at 8000 Hz, 0.4 ms at 44100 Hz.
        const double seconds = static_cast<double>(step) / rates.to;
        EXPECT_GE(seconds, 0.5 - 1.0 / rates.to) << rates.from << " to " << rates.to;
        EXPECT_LE(seconds, 0.5 + 20.0 / std::min(rates.from, rates.to)) << rates.from << " to " << rates.to;
    }
}

TEST(SoundResampler, ARunThatCannotStartGivesSilence)
{
    SoundResampler resampler;
    EXPECT_FALSE(resampler.Restart(0, 48000));
    EXPECT_FALSE(resampler.LastError().empty());
    const std::vector<std::uint8_t> input = StereoBlock(std::vector<double>(100, 0.5));
    std::vector<std::uint8_t> output(400, 0xAA);
    EXPECT_FALSE(resampler.Convert(input.data(), 100, output.data(), 100));
    for (std::uint8_t byte : output) {
        ASSERT_EQ(byte, 0);
    }
}

} // namespace
} // namespace discforge
