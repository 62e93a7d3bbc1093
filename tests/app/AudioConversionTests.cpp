#include "app/AudioConversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace discforge {
namespace {

int16_t WordAt(const std::vector<uint8_t>& bytes, std::size_t word)
{
    return static_cast<int16_t>(bytes[word * 2] | (bytes[word * 2 + 1] << 8));
}

std::vector<uint8_t> StereoRamp(std::size_t frames, int start)
{
    std::vector<uint8_t> bytes(frames * 4);
    for (std::size_t f = 0; f < frames; ++f) {
        const auto left = static_cast<uint16_t>(start + static_cast<int>(f));
        const auto right = static_cast<uint16_t>(-(start + static_cast<int>(f)));
        bytes[f * 4] = static_cast<uint8_t>(left & 0xFF);
        bytes[f * 4 + 1] = static_cast<uint8_t>(left >> 8);
        bytes[f * 4 + 2] = static_cast<uint8_t>(right & 0xFF);
        bytes[f * 4 + 3] = static_cast<uint8_t>(right >> 8);
    }
    return bytes;
}

TEST(AudioExpansionTest, EightBitMonoAt22050BecomesTwoIdenticalSixteenBitPairsPerFrame)
{
    const PcmFormat format{22050, 1, 8};
    const std::vector<uint8_t> input{0, 255, 128, 129};
    std::vector<uint8_t> output(static_cast<std::size_t>(ConvertedBytesPerFrame(format.sampleRate, 4)));
    ASSERT_EQ(output.size(), 8 * input.size());
    EXPECT_EQ(ExpandToStereo16(format, input.data(), input.size(), output.data()), 8 * input.size());

    const int16_t expected[] = {-32768, 32512, 0, 256};
    for (std::size_t frame = 0; frame < input.size(); ++frame) {
        for (std::size_t word = 0; word < 4; ++word) {
            EXPECT_EQ(WordAt(output, frame * 4 + word), expected[frame]) << "frame " << frame << " word " << word;
        }
    }
}

TEST(AudioExpansionTest, StereoKeepsItsChannelsAndLowRatesRepeatFourTimes)
{
    const PcmFormat format{11025, 2, 16};
    const std::vector<uint8_t> input = StereoRamp(2, 1000);
    std::vector<uint8_t> output(static_cast<std::size_t>(ConvertedBytesPerFrame(format.sampleRate, 2)));
    ASSERT_EQ(output.size(), 32u);
    ExpandToStereo16(format, input.data(), 2, output.data());
    for (std::size_t copy = 0; copy < 4; ++copy) {
        EXPECT_EQ(WordAt(output, copy * 2), 1000);
        EXPECT_EQ(WordAt(output, copy * 2 + 1), -1000);
        EXPECT_EQ(WordAt(output, 8 + copy * 2), 1001);
        EXPECT_EQ(WordAt(output, 8 + copy * 2 + 1), -1001);
    }
}

TEST(AudioExpansionTest, OnlySixteenBitStereoAtAPlainRateIsDeliveredAsItIs)
{
    EXPECT_TRUE(IsEncoderReady({44100, 2, 16}));
    EXPECT_TRUE(IsEncoderReady({48000, 2, 16}));
    EXPECT_TRUE(IsEncoderReady({37800, 2, 16}));
    EXPECT_FALSE(IsEncoderReady({22050, 2, 16}));
    EXPECT_FALSE(IsEncoderReady({44100, 1, 16}));
    EXPECT_FALSE(IsEncoderReady({44100, 2, 8}));
    EXPECT_EQ(RepetitionFactor(8000), 4);
    EXPECT_EQ(RepetitionFactor(12000), 4);
    EXPECT_EQ(RepetitionFactor(16000), 2);
    EXPECT_EQ(RepetitionFactor(24000), 2);
    EXPECT_EQ(RepetitionFactor(32000), 1);
}

TEST(RateConversionTest, SourceRatesFollowTheInputRateForEachTarget)
{
    const struct {
        int input;
        int forDvd;
        int forVcd;
    } cases[] = {
        {8000, 32000, 32000},
        {11025, 44100, 0},
        {12000, 0, 48000},
        {16000, 32000, 32000},
        {22050, 44100, 0},
        {24000, 0, 48000},
        {32000, 32000, 32000},
        {44100, 44100, 0},
        {48000, 0, 48000},
        {37800, 48000, 37800},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ConversionSourceRate(c.input, 48000), c.forDvd) << c.input;
        EXPECT_EQ(ConversionSourceRate(c.input, 44100), c.forVcd) << c.input;
    }
}

TEST(RateConversionTest, FortyFourOneToFortyEightStaysOnTheRatioWithinOneStereoFramePerCall)
{
    RateConverter converter(48000);
    converter.Restart();
    const std::size_t framesPerCall = 1764; // one PAL video frame at 44100 Hz
    std::vector<uint8_t> output(framesPerCall * 256);
    uint64_t delivered = 0;
    for (int call = 0; call < 1500; ++call) {
        const std::vector<uint8_t> input = StereoRamp(framesPerCall, call);
        delivered += converter.Convert(input.data(), input.size(), 44100, output.data(), output.size());
        const double exact = static_cast<double>(converter.BytesIn()) * 48000.0 / 44100.0;
        ASSERT_GT(static_cast<double>(delivered), exact - 4.0) << "call " << call;
        ASSERT_LE(static_cast<double>(delivered), exact + 4.0) << "call " << call;
        ASSERT_EQ(delivered % 4, 0u);
    }
    EXPECT_EQ(converter.BytesOut(), delivered);
}

TEST(RateConversionTest, FortyEightToFortyFourOnePicksTheNearestEarlierFrame)
{
    RateConverter converter(44100);
    const std::size_t frames = 1920;
    const std::vector<uint8_t> input = StereoRamp(frames, 0);
    std::vector<uint8_t> output(frames * 16);
    const std::size_t bytes = converter.Convert(input.data(), input.size(), 48000, output.data(), output.size());
    EXPECT_EQ(bytes, 7056u + 4u); // 1764 frames owed, plus one
    for (std::size_t frame = 0; frame < bytes / 4; ++frame) {
        auto j = static_cast<std::size_t>(static_cast<double>(frame * 2) * 48000 * 2.2675736961451248e-05);
        j += j % 2;
        j = std::min<std::size_t>(j, frames * 2 - 2);
        EXPECT_EQ(WordAt(output, frame * 2), static_cast<int16_t>(j / 2)) << frame;
        EXPECT_EQ(WordAt(output, frame * 2 + 1), static_cast<int16_t>(-static_cast<int>(j / 2))) << frame;
    }
    // Some input frames are skipped: 1920 in, 1765 out.
    EXPECT_LT(bytes / 4, frames);
}

TEST(RateConversionTest, ASmallOutputBufferBoundsTheDeliveryAndTheRestStaysOwed)
{
    RateConverter converter(48000);
    const std::vector<uint8_t> input = StereoRamp(1000, 0);
    std::vector<uint8_t> output(401);
    EXPECT_EQ(converter.Convert(input.data(), input.size(), 32000, output.data(), output.size()), 400u);
    std::vector<uint8_t> large(20000);
    const std::size_t next = converter.Convert(input.data(), input.size(), 32000, large.data(), large.size());
    EXPECT_EQ(converter.BytesOut(), 400u + next);
    EXPECT_EQ(next, 12000u - 400u + 4u);
}

TEST(RateConversionTest, ATinyBlockDeliversSilenceWithoutReadingPastIt)
{
    RateConverter converter(44100);
    const std::vector<uint8_t> input{1, 2};
    std::vector<uint8_t> output(64, 0xAA);
    const std::size_t bytes = converter.Convert(input.data(), input.size(), 32000, output.data(), output.size());
    EXPECT_EQ(bytes, 4u);
    for (uint8_t byte : output) {
        EXPECT_EQ(byte, 0);
    }
}

} // namespace
} // namespace discforge
