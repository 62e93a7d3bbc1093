// Subtitle files beside a video and named on the command line become DVD subtitle
// streams with their languages: lsdvd lists them, and decoding the subpicture over the
// picture shows the text during its cue only, large enough and inside the title-safe
// area. A damaged file is told in the run log and the disc is made without it.
#include "CliProcess.h"
#include "ShownSubpictures.h"
#include "support/StreamChecks.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace discforge::test {
namespace {

class DvdSubtitles : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!DvdToolsInstalled()) {
            GTEST_SKIP() << dvdToolsMissing;
        }
        for (const char* name : {"film.avi", "other.avi"}) {
            // A dark, still picture, so that only the subtitle changes what is shown.
            const CommandResult made
                = RunCommand("ffmpeg -v error -nostdin -y -f lavfi -i color=c=0x202020:size=320x240:rate=25:duration=4"
                             " -f lavfi -i sine=duration=4 -c:v mpeg4 -q:v 3 -c:a pcm_s16le "
                    + Quoted(folder_.File(name)));
            ASSERT_EQ(made.exitCode, 0) << made.output;
        }
    }

    TestFolder folder_;
};

TEST_F(DvdSubtitles, ASidecarSrtIsShownDuringItsCueOnlyInsideTheSafeArea)
{
    std::ofstream(folder_.File("film.en.srt")) << "1\r\n00:00:01,000 --> 00:00:02,500\r\nHello there\r\n\r\n";
    const CliOutcome made
        = RunCli({"--target", "dvd", "--standard", "pal", "--author", "disc", "film.avi"}, folder_.Path());
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_EQ(ListedSubtitles(folder_.File("disc"), 1), std::vector<std::string>{"en"});

    const std::string vob = folder_.File("disc/VIDEO_TS/VTS_01_1.VOB");
    EXPECT_EQ(TextAt(folder_, vob, 0.5).pixels, 0) << "before the cue";
    EXPECT_EQ(TextAt(folder_, vob, 3.5).pixels, 0) << "after the cue";
    const ShownText shown = TextAt(folder_, vob, 1.8);
    ASSERT_GT(shown.pixels, 500);
    // At least a twentieth of the frame high, within the middle 90 % of the frame.
    EXPECT_GE(shown.bottom - shown.top + 1, palHeight / 20);
    EXPECT_GE(shown.left, palWidth / 20);
    EXPECT_LE(shown.right, palWidth - palWidth / 20);
    EXPECT_GE(shown.top, palHeight / 20);
    EXPECT_LE(shown.bottom, palHeight - palHeight / 20);
    EXPECT_GT(shown.top, palHeight / 2) << "at the bottom of the picture";
}

TEST_F(DvdSubtitles, NamedFilesKeepTheirLanguagesAndADamagedOneIsLeftOut)
{
    std::ofstream(folder_.File("german.srt")) << "1\n00:00:01,000 --> 00:00:02,000\nHallo\n";
    std::ofstream(folder_.File("french.srt")) << "1\n00:00:01,000 --> 00:00:02,000\nSalut\n";
    std::ofstream(folder_.File("other.srt"), std::ios::binary) << std::string("\x00\x01\x02garbage", 10);
    const CliOutcome made = RunCli({"--target", "dvd", "--standard", "pal", "--author", "disc", "--subtitles",
                                       "german.srt:ger", "--subtitles", "french.srt:fr", "film.avi", "other.avi"},
        folder_.Path());
    ASSERT_EQ(made.exitCode, 0) << made.err;
    const std::vector<std::string> expected{"de", "fr"};
    EXPECT_EQ(ListedSubtitles(folder_.File("disc"), 1), expected);
    const std::string log = ReadBytes(StateFolder(folder_.Path()) + "/ferrowick-discforge/avi_log.txt");
    EXPECT_NE(log.find("holds binary bytes, not text. The disc is made without these subtitles."), std::string::npos)
        << log;

    const CliOutcome misplaced
        = RunCli({"--target", "dvd", "--author", "disc2", "film.avi", "--subtitles", "german.srt"}, folder_.Path());
    EXPECT_NE(misplaced.exitCode, 0);
    EXPECT_NE(misplaced.err.find("--subtitles goes before the INPUT it belongs to"), std::string::npos);
}

} // namespace
} // namespace discforge::test
