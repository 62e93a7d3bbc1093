// The sound track always covers the pictures, and a split encode gives parts that are
// each small enough and each a valid disc stream.
#include "ConvertLibrary.h"
#include "SyntheticInput.h"
#include "support/StreamChecks.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace discforge::test {
namespace {

SyntheticSettings DvdNtscInput(int frames)
{
    SyntheticSettings settings;
    settings.width = 720;
    settings.height = 480;
    settings.framesPerSecondNum = 30000;
    settings.framesPerSecondDen = 1001;
    settings.frames = frames;
    settings.sampleRate = 48000;
    return settings;
}

class SoundCoverage : public testing::Test {
protected:
    // Encodes for VCD NTSC and DVD NTSC and checks that the sound covers the pictures.
    void ExpectSoundCoversPictures(SyntheticSettings settings)
    {
        ConvertLibrary library;
        ASSERT_TRUE(library.Loaded()) << library.Error();
        for (const bool dvd : {false, true}) {
            settings.width = dvd ? 720 : 352;
            settings.height = dvd ? 480 : 240;
            settings.sampleRate = dvd ? 48000 : 44100;
            SyntheticInput input(settings);
            const std::string output = folder.File(dvd ? "dvd.mpg" : "vcd.mpg");
            ASSERT_EQ(library.init(dvd ? 4 : 1), 0);
            const EncodeParameters parameters = input.Parameters(output);
            ASSERT_EQ(library.makeMpeg(&parameters), ENCODE_COMPLETED);
            // The sound was pulled to its end, each call going on where the last ended.
            EXPECT_GT(input.soundConsumed, parameters.lastSample);
            std::string error;
            const ProbedFile probed = Probe(output, error);
            ASSERT_TRUE(error.empty()) << error;
            EXPECT_EQ(probed.audioStreams, 1);
            EXPECT_EQ(probed.video.at("nb_read_frames"), std::to_string(settings.frames));
            EXPECT_LE(probed.audioStart, probed.videoStart + 0.001) << output;
            EXPECT_GE(probed.audioEnd, probed.videoEnd - 0.001) << output;
        }
    }

    TestFolder folder;
};

TEST_F(SoundCoverage, InputWithoutSoundGivesSilenceForTheWholeVideo)
{
    SyntheticSettings settings = DvdNtscInput(45);
    settings.soundless = true; // the run then asks for 16 samples only
    ExpectSoundCoversPictures(settings);
}

TEST_F(SoundCoverage, SoundThatEndsEarlyIsFilledWithSilence)
{
    SyntheticSettings settings = DvdNtscInput(45);
    settings.soundShare = 0.3;
    ExpectSoundCoversPictures(settings);
}

TEST_F(SoundCoverage, SoundAtAnotherRateIsResampled)
{
    SyntheticSettings settings = DvdNtscInput(45);
    ConvertLibrary library;
    ASSERT_TRUE(library.Loaded()) << library.Error();
    settings.sampleRate = 32000;
    SyntheticInput input(settings);
    const std::string output = folder.File("dvd.mpg");
    ASSERT_EQ(library.init(4), 0);
    const EncodeParameters parameters = input.Parameters(output);
    ASSERT_EQ(library.makeMpeg(&parameters), ENCODE_COMPLETED);
    std::string error;
    const ProbedFile probed = Probe(output, error);
    ASSERT_TRUE(error.empty()) << error;
    EXPECT_EQ(probed.audio.at("sample_rate"), "48000");
    EXPECT_GE(probed.audioEnd, probed.videoEnd - 0.001);
}

TEST(SplitOutput, DvdPartsOfOneMegabyteEachPassDvdauthor)
{
    ConvertLibrary library;
    ASSERT_TRUE(library.Loaded()) << library.Error();
    TestFolder folder;
    SyntheticSettings settings = DvdNtscInput(120);
    SyntheticInput input(settings);
    ASSERT_EQ(library.init(4), 0);
    const EncodeParameters parameters = input.Parameters(folder.File("movie.mpg"), 1);
    ASSERT_EQ(library.makeMpeg(&parameters), ENCODE_COMPLETED);

    EXPECT_FALSE(std::filesystem::exists(folder.File("movie.mpg")));
    int parts = 0;
    int pictures = 0;
    for (int index = 1; std::filesystem::exists(folder.File("movie_0" + std::to_string(index) + ".mpg")); ++index) {
        const std::string part = folder.File("movie_0" + std::to_string(index) + ".mpg");
        ++parts;
        EXPECT_LE(std::filesystem::file_size(part), 1024u * 1024u) << part;
        std::string error;
        const ProbedFile probed = Probe(part, error);
        ASSERT_TRUE(error.empty()) << error;
        pictures += std::stoi(probed.video.at("nb_read_frames"));
        EXPECT_EQ(probed.audioStreams, 1) << part;
        const PictureStreamFacts facts = ReadPictureStream(part, error);
        EXPECT_TRUE(facts.firstPictureOpensGop) << part;
        EXPECT_TRUE(facts.endsWithSequenceEnd) << part;
        std::string log;
        EXPECT_TRUE(PassesDvdauthor(part, false, folder.Path(), log)) << part << "\n" << log;
    }
    EXPECT_GE(parts, 3);
    // The parts hold every picture once; nothing else is left in the folder.
    EXPECT_EQ(pictures, settings.frames);
    std::size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        entries += entry.path().extension() == ".mpg" ? 1 : 0;
    }
    EXPECT_EQ(entries, static_cast<std::size_t>(parts));
}

} // namespace
} // namespace discforge::test
