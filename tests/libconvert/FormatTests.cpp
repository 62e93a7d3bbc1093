// Every disc format: a few seconds of moving pictures and a tone in, and out a stream
// that ffprobe reads as the disc's and that the authoring tools take without a warning.
#include "ConvertLibrary.h"
#include "SyntheticInput.h"
#include "support/DiscCases.h"
#include "support/StreamChecks.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace discforge::test {
namespace {

class DiscFormat : public testing::TestWithParam<DiscCase> {};

SyntheticSettings SettingsFor(const DiscCase& disc)
{
    SyntheticSettings settings;
    settings.width = disc.width;
    settings.height = disc.height;
    settings.framesPerSecondNum = disc.pal ? 25 : 30000;
    settings.framesPerSecondDen = disc.pal ? 1 : 1001;
    settings.frames = disc.pal ? 50 : 60; // two seconds
    settings.sampleRate = disc.sampleRate;
    return settings;
}

TEST_P(DiscFormat, EncodesACompliantProgramStream)
{
    const DiscCase& disc = GetParam();
    ConvertLibrary library;
    ASSERT_TRUE(library.Loaded()) << library.Error();
    TestFolder folder;
    const std::string output = folder.File("out.mpg");
    const SyntheticSettings settings = SettingsFor(disc);
    SyntheticInput input(settings);

    ASSERT_EQ(library.init(disc.formatCode), 0);
    const EncodeParameters parameters = input.Parameters(output);
    ASSERT_EQ(library.makeMpeg(&parameters), ENCODE_COMPLETED);

    // The pictures were asked once each in order, the sound from 0 on without gaps or
    // overlaps up to its end, always on the calling thread.
    ASSERT_EQ(static_cast<int>(input.picturesAsked.size()), settings.frames);
    for (int i = 0; i < settings.frames; ++i) {
        EXPECT_EQ(input.picturesAsked[static_cast<std::size_t>(i)], i);
    }
    ASSERT_FALSE(input.soundPositions.empty());
    EXPECT_EQ(input.soundPositions.front(), 0);
    EXPECT_GT(input.soundConsumed, parameters.lastSample);
    EXPECT_FALSE(input.callsOnOtherThreads);
    // Nothing is left beside the output.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);

    std::string error;
    const ProbedFile probed = Probe(output, error);
    ASSERT_TRUE(error.empty()) << error;
    ExpectDiscStreams(probed, disc, settings.frames);
    EXPECT_LE(probed.audioStart, probed.videoStart + 0.001);
    EXPECT_GE(probed.audioEnd, probed.videoEnd - 0.001);

    const PictureStreamFacts facts = ReadPictureStream(output, error);
    ASSERT_TRUE(error.empty()) << error;
    EXPECT_TRUE(facts.firstPictureOpensGop);
    EXPECT_TRUE(facts.endsWithSequenceEnd);
    EXPECT_GE(facts.gops, 2);
    EXPECT_EQ(facts.gopsWithSequenceHeader, facts.gops);
    EXPECT_EQ(facts.closedGops, facts.gops);
    EXPECT_LE(facts.longestGop, disc.pal ? 15 : 18);
    EXPECT_EQ(facts.aspectCode, disc.aspectCode);
    EXPECT_EQ(facts.frameRateCode, disc.pal ? 3 : 4);
    EXPECT_EQ(facts.bitRateField, disc.bitRateField);
    EXPECT_EQ(facts.vbvSizeField, disc.vbvSizeField);

    std::string log;
    EXPECT_TRUE(PassesAuthoring(output, disc, folder.Path(), log)) << log;
}

INSTANTIATE_TEST_SUITE_P(AllSix, DiscFormat, testing::ValuesIn(discCases), DiscCaseName);
INSTANTIATE_TEST_SUITE_P(SixteenByNine, DiscFormat, testing::ValuesIn(wideDiscCases), DiscCaseName);

} // namespace
} // namespace discforge::test
