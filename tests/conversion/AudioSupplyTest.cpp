#include "ConversionRig.h"

#include "SampleMedia.h"
#include "mediagen/MediaGen.h"

#include <gtest/gtest.h>

#include <cmath>

namespace discforge::test {
namespace {

struct Block {
    int result = -1;
    std::int32_t consumed = 0;
    std::int32_t bytes = 0;
    const std::uint8_t* samples = nullptr;
};

class AudioSupplyTest : public ::testing::Test {
protected:
    void OpenVideo(mediagen::AudioForm audio, int format)
    {
        mediagen::AviRecipe recipe;
        recipe.video = mediagen::VideoCodec::Mjpeg;
        recipe.audio = audio;
        recipe.width = 96;
        recipe.height = 64;
        recipe.frames = 75;
        ASSERT_TRUE(rig_.AddInput(SampleAvi(recipe)));
        rig_.core.settings.outputFormat = format;
        rig_.core.settings.audioSettingsChanged = true;
    }

    Block Supply(int firstSample)
    {
        Block block;
        block.result = rig_.core.audioSupply.SupplyAudio(firstSample, &block.consumed, &block.bytes, &block.samples);
        return block;
    }

    static std::int16_t Word(const Block& block, int index)
    {
        return static_cast<std::int16_t>(block.samples[index * 2] | block.samples[index * 2 + 1] << 8);
    }

    ConversionRig rig_;
};

TEST_F(AudioSupplyTest, EightBitMonoAt22050GivesEightBytesPerInputFrameForVcdOnBothSides)
{
    OpenVideo(mediagen::AudioForm::Mono8At22050, formatVcd);
    const InputEntry& entry = rig_.Entry(0);
    ASSERT_TRUE(entry.hasAudio);
    int position = 0;
    while (position < entry.selectedSamples) {
        const Block block = Supply(position);
        ASSERT_EQ(block.result, 0);
        ASSERT_GT(block.consumed, 0);
        EXPECT_EQ(block.bytes, 8 * block.consumed) << position;
        // The one channel is heard on both sides.
        for (int frame = 0; frame < block.consumed * 2; ++frame) {
            ASSERT_EQ(Word(block, frame * 2), Word(block, frame * 2 + 1));
        }
        position += block.consumed;
    }
    EXPECT_EQ(position, entry.selectedSamples);
}

TEST_F(AudioSupplyTest, FortyFourOneForDvdFollowsTheRateRatioOverTheWholeEncode)
{
    OpenVideo(mediagen::AudioForm::Stereo16At44100, formatDvd);
    const InputEntry& entry = rig_.Entry(0);
    ASSERT_TRUE(entry.hasAudio);
    std::int64_t consumed = 0;
    std::int64_t delivered = 0;
    int calls = 0;
    while (consumed < entry.selectedSamples) {
        const Block block = Supply(static_cast<int>(consumed));
        ASSERT_EQ(block.result, 0);
        consumed += block.consumed;
        delivered += block.bytes;
        ++calls;
        const double exact = static_cast<double>(consumed) * 4 * 48000.0 / 44100.0;
        ASSERT_LE(std::abs(static_cast<double>(delivered) - exact), 4.0) << "call " << calls;
    }
    EXPECT_EQ(consumed, entry.selectedSamples);
    EXPECT_EQ(calls, static_cast<int>(std::ceil(static_cast<double>(entry.selectedSamples) / entry.samplesPerFrame)));
}

TEST_F(AudioSupplyTest, SixteenBitStereoAtTheDiscRatePassesUnchanged)
{
    OpenVideo(mediagen::AudioForm::Stereo16At48000, formatDvd);
    const Block block = Supply(0);
    ASSERT_EQ(block.result, 0);
    EXPECT_EQ(block.consumed, rig_.Entry(0).samplesPerFrame);
    EXPECT_EQ(block.bytes, 4 * block.consumed);
    EXPECT_EQ(block.samples, rig_.Entry(0).audioBuffer.data());
}

TEST_F(AudioSupplyTest, AnInputWithoutSoundGivesSixteenBytesOfSilence)
{
    ASSERT_TRUE(rig_.AddInput(SampleList(3, 64, 48)));
    rig_.MakeCurrent(0);
    rig_.core.inputs.audioAvailable = false;
    const Block block = Supply(0);
    ASSERT_EQ(block.result, 0);
    EXPECT_EQ(block.consumed, 1);
    ASSERT_EQ(block.bytes, 16);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(block.samples[i], 0);
    }
}

} // namespace
} // namespace discforge::test
