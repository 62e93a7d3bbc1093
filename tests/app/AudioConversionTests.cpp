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

TEST(AudioExpansionTest, EightBitMonoAt22050BecomesOneSixteenBitPairPerFrame)
{
    const PcmFormat format{22050, 1, 8};
    const std::vector<uint8_t> input{0, 255, 128, 129};
    std::vector<uint8_t> output(4 * input.size(), 0xAA);
    EXPECT_EQ(ExpandToStereo16(format, input.data(), input.size(), output.data()), 4 * input.size());

    const int16_t expected[] = {-32768, 32512, 0, 256};
    for (std::size_t frame = 0; frame < input.size(); ++frame) {
        EXPECT_EQ(WordAt(output, frame * 2), expected[frame]) << "frame " << frame;
        EXPECT_EQ(WordAt(output, frame * 2 + 1), expected[frame]) << "frame " << frame;
    }
}

TEST(AudioExpansionTest, StereoKeepsItsChannelsInOrder)
{
    const PcmFormat format{11025, 2, 16};
    const std::vector<uint8_t> input = StereoRamp(2, 1000);
    std::vector<uint8_t> output(8);
    EXPECT_EQ(ExpandToStereo16(format, input.data(), 2, output.data()), 8u);
    EXPECT_EQ(WordAt(output, 0), 1000);
    EXPECT_EQ(WordAt(output, 1), -1000);
    EXPECT_EQ(WordAt(output, 2), 1001);
    EXPECT_EQ(WordAt(output, 3), -1001);
}

TEST(AudioExpansionTest, OnlySixteenBitStereoIsDeliveredAsItIs)
{
    EXPECT_TRUE(IsEncoderReady({44100, 2, 16}));
    EXPECT_TRUE(IsEncoderReady({48000, 2, 16}));
    EXPECT_TRUE(IsEncoderReady({22050, 2, 16}));
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
        // An unusual rate is counted at its own rate for every disc.
        {37800, 37800, 37800},
        {96000, 96000, 96000},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ConversionSourceRate(c.input, 48000), c.forDvd) << c.input;
        EXPECT_EQ(ConversionSourceRate(c.input, 44100), c.forVcd) << c.input;
    }
    EXPECT_EQ(DeliveredRate(48000, 22050), 48000);
    EXPECT_EQ(DeliveredRate(0, 22050), 44100);
    EXPECT_EQ(DeliveredRate(0, 37800), 37800);
}

TEST(RateConversionTest, FortyFourOneToFortyEightStaysOnTheRatioWithinOneStereoFramePerCall)
{
    RateTotals totals(48000);
    totals.Restart();
    const std::size_t framesPerCall = 1764; // one PAL video frame at 44100 Hz
    uint64_t delivered = 0;
    for (int call = 0; call < 1500; ++call) {
        delivered += totals.Owe(framesPerCall * 4, 44100, framesPerCall * 256);
        const double exact = static_cast<double>(totals.BytesIn()) * 48000.0 / 44100.0;
        ASSERT_GT(static_cast<double>(delivered), exact - 4.0) << "call " << call;
        ASSERT_LE(static_cast<double>(delivered), exact + 4.0) << "call " << call;
        ASSERT_EQ(delivered % 4, 0u);
    }
    EXPECT_EQ(totals.BytesOut(), delivered);
}

TEST(RateConversionTest, FortyEightToFortyFourOneOwesTheFramesOfTheRatioPlusOne)
{
    RateTotals totals(44100);
    EXPECT_EQ(totals.Owe(1920 * 4, 48000, 1920 * 16), 7056u + 4u); // 1764 frames owed, plus one
    // The frame given ahead is taken off the next block.
    EXPECT_EQ(totals.Owe(1920 * 4, 48000, 1920 * 16), 7056u);
}

TEST(RateConversionTest, ASmallOutputBufferBoundsTheDeliveryAndTheRestStaysOwed)
{
    RateTotals totals(48000);
    EXPECT_EQ(totals.Owe(4000, 32000, 401), 400u);
    const std::size_t next = totals.Owe(4000, 32000, 20000);
    EXPECT_EQ(totals.BytesOut(), 400u + next);
    EXPECT_EQ(next, 12000u - 400u + 4u);
}

TEST(RateConversionTest, ATinyBlockOwesOneFrame)
{
    RateTotals totals(44100);
    EXPECT_EQ(totals.Owe(2, 32000, 64), 4u);
}

} // namespace
} // namespace discforge
