// Every sound track of a Matroska file made by the ffmpeg program becomes a sound stream
// of its DVD title with its language, as lsdvd lists them; the played track comes first
// and a 5.1 track keeps its six channels. The file's text subtitle track becomes a
// subtitle stream with its language too.
#include "CliProcess.h"
#include "support/StreamChecks.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

namespace discforge::test {
namespace {

std::string ReadBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

struct ListedSound {
    std::string language;
    int channels = 0;
};

// The sound streams lsdvd lists for the disc's first title.
std::vector<ListedSound> ListedSounds(const std::string& disc)
{
    const CommandResult listed = RunCommand("lsdvd -t 1 -a " + Quoted(disc));
    EXPECT_EQ(listed.exitCode, 0) << listed.output;
    std::vector<ListedSound> sounds;
    const std::regex line(R"(Audio: \d+, Language: (\S+) .*Channels: (\d+))");
    for (auto it = std::sregex_iterator(listed.output.begin(), listed.output.end(), line);
         it != std::sregex_iterator(); ++it) {
        sounds.push_back({(*it)[1], std::stoi((*it)[2])});
    }
    return sounds;
}

std::vector<std::string> ListedSubtitles(const std::string& disc)
{
    const CommandResult listed = RunCommand("lsdvd -t 1 -s " + Quoted(disc));
    EXPECT_EQ(listed.exitCode, 0) << listed.output;
    std::vector<std::string> languages;
    const std::regex line(R"(Subtitle: \d+, Language: (\S+))");
    for (auto it = std::sregex_iterator(listed.output.begin(), listed.output.end(), line);
         it != std::sregex_iterator(); ++it) {
        languages.push_back((*it)[1]);
    }
    return languages;
}

class DvdSoundStreams : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!DvdToolsInstalled()) {
            GTEST_SKIP() << dvdToolsMissing;
        }
        // English stereo AAC (the default track), German 5.1 FLAC and Spanish subtitles.
        std::ofstream(folder_.File("cues.srt")) << "1\n00:00:01,000 --> 00:00:02,000\nHola\n";
        const CommandResult made = RunCommand("ffmpeg -v error -nostdin -y"
                                              " -f lavfi -i testsrc=size=320x240:rate=25:duration=3"
                                              " -f lavfi -i sine=frequency=400:sample_rate=48000:duration=3"
                                              " -f lavfi -i sine=frequency=1000:sample_rate=44100:duration=3 -i "
            + Quoted(folder_.File("cues.srt"))
            + " -map 0:v -map 1:a -map 2:a -map 3:s -c:v mpeg4 -q:v 4"
              " -c:a:0 aac -ac:a:0 2 -c:a:1 flac -ac:a:1 6 -c:s srt"
              " -metadata:s:a:0 language=eng -metadata:s:a:1 language=ger -metadata:s:s:0 language=spa"
              " -disposition:a:0 default -disposition:a:1 0 "
            + Quoted(folder_.File("two languages.mkv")));
        ASSERT_EQ(made.exitCode, 0) << made.output;
    }

    TestFolder folder_;
};

TEST_F(DvdSoundStreams, EveryTrackIsAStreamWithItsLanguageAndThePlayedOneFirst)
{
    const CliOutcome made = RunCli(
        {"--target", "dvd", "--standard", "pal", "--author", "disc", "two languages.mkv"}, folder_.Path());
    ASSERT_EQ(made.exitCode, 0) << made.err;
    const std::vector<ListedSound> sounds = ListedSounds(folder_.File("disc"));
    ASSERT_EQ(sounds.size(), 2u);
    EXPECT_EQ(sounds[0].language, "en");
    EXPECT_EQ(sounds[0].channels, 2);
    EXPECT_EQ(sounds[1].language, "de");
    EXPECT_EQ(sounds[1].channels, 6);
    EXPECT_EQ(ListedSubtitles(folder_.File("disc")), std::vector<std::string>{"es"});
}

TEST_F(DvdSoundStreams, AChosenSurroundTrackLeadsAndKeepsItsSixChannels)
{
    const CliOutcome made = RunCli(
        {"--target", "dvd", "--standard", "pal", "--audio-track", "2", "--author", "disc", "two languages.mkv"},
        folder_.Path());
    ASSERT_EQ(made.exitCode, 0) << made.err;
    const std::vector<ListedSound> sounds = ListedSounds(folder_.File("disc"));
    ASSERT_EQ(sounds.size(), 2u);
    EXPECT_EQ(sounds[0].language, "de");
    EXPECT_EQ(sounds[0].channels, 6);
    EXPECT_EQ(sounds[1].language, "en");
    EXPECT_EQ(sounds[1].channels, 2);
}

TEST_F(DvdSoundStreams, ATrackLeftOutIsNotOnTheTitleAndTheFilesSubtitlesCanBeDrawnInstead)
{
    const CliOutcome made = RunCli({"--target", "dvd", "--standard", "pal", "--dvd-audio-tracks", "1",
                                       "--burn-subtitles", "--author", "disc", "two languages.mkv"},
        folder_.Path());
    ASSERT_EQ(made.exitCode, 0) << made.err;
    const std::vector<ListedSound> sounds = ListedSounds(folder_.File("disc"));
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_EQ(sounds[0].language, "en");
    EXPECT_TRUE(ListedSubtitles(folder_.File("disc")).empty()) << "the subtitles are in the picture";
    const std::string log = ReadBytes(StateFolder(folder_.Path()) + "/ferrowick-discforge/avi_log.txt");
    EXPECT_NE(log.find("The text subtitle track 1 of "), std::string::npos) << log;
    EXPECT_NE(log.find("is drawn into its picture."), std::string::npos) << log;
}

TEST_F(DvdSoundStreams, ThePlayedTrackGoesOnTheDiscThoughNotListed)
{
    const CliOutcome made = RunCli(
        {"--target", "dvd", "--standard", "pal", "--dvd-audio-tracks", "2", "--author", "disc", "two languages.mkv"},
        folder_.Path());
    ASSERT_EQ(made.exitCode, 0) << made.err;
    const std::vector<ListedSound> sounds = ListedSounds(folder_.File("disc"));
    ASSERT_EQ(sounds.size(), 2u);
    EXPECT_EQ(sounds[0].language, "en");
    EXPECT_EQ(sounds[1].language, "de");
}

} // namespace
} // namespace discforge::test
