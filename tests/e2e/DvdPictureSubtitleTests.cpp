// Picture subtitles carried onto a DVD: a rip's DVD subpictures inside Matroska, a
// VobSub pair beside a video and a Blu-ray PGS track each become a subtitle stream with
// its language; decoding the authored subpicture over the picture shows the box during
// its cue only, where it was (scaled into the title's frame for PGS).
#include "CliProcess.h"
#include "ShownSubpictures.h"
#include "support/PictureSubtitleClips.h"
#include "support/StreamChecks.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace discforge::test {
namespace {

constexpr int edgeSlack = 3; // rounding of the band's edge by scaling and by the overlay

const std::vector<BoxCue> boxes{{1000, 2000, 200, 450, 320, 60, 4}};

void ExpectShownAt(const ShownText& shown, int left, int top, int right, int bottom)
{
    ASSERT_GT(shown.pixels, 0);
    EXPECT_NEAR(shown.left, left, edgeSlack);
    EXPECT_NEAR(shown.top, top, edgeSlack);
    EXPECT_NEAR(shown.right, right, edgeSlack);
    EXPECT_NEAR(shown.bottom, bottom, edgeSlack);
    // The fill and the band are both shown: most of the box changes the picture.
    EXPECT_GT(shown.pixels, (right - left) * (bottom - top) * 3 / 4);
}

class DvdPictureSubtitles : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!DvdToolsInstalled()) {
            GTEST_SKIP() << dvdToolsMissing;
        }
        std::string log;
        ASSERT_TRUE(MakeSubpictureStream(folder_.Path(), folder_.File("rip.mpg"), 4, boxes, log)) << log;
    }

    // The first title's stream of the PAL DVD authored from `input`.
    std::string AuthoredTitle(const std::string& input)
    {
        const CliOutcome made
            = RunCli({"--target", "dvd", "--standard", "pal", "--author", "disc", input}, folder_.Path());
        EXPECT_EQ(made.exitCode, 0) << made.err;
        return folder_.File("disc/VIDEO_TS/VTS_01_1.VOB");
    }

    TestFolder folder_;
};

TEST_F(DvdPictureSubtitles, ARipsSubpicturesInMatroskaAreShownDuringTheirCueOnly)
{
    std::string log;
    ASSERT_TRUE(MakeMatroskaCopy(folder_.File("rip.mpg"), folder_.File("rip.mkv"), "fre", log)) << log;
    const std::string vob = AuthoredTitle("rip.mkv");
    EXPECT_EQ(ListedSubtitles(folder_.File("disc"), 1), std::vector<std::string>{"fr"});

    EXPECT_EQ(TextAt(folder_, vob, 0.5).pixels, 0) << "before the cue";
    EXPECT_EQ(TextAt(folder_, vob, 2.8).pixels, 0) << "after the cue";
    const BoxCue& box = boxes[0];
    ExpectShownAt(TextAt(folder_, vob, 1.5), box.x - box.band, box.y - box.band, box.x + box.width + box.band - 1,
        box.y + box.height + box.band - 1);
}

TEST_F(DvdPictureSubtitles, AVobSubPairBesideAVideoGoesOnItsDiscInItsLanguage)
{
    std::vector<std::string> palette(16, "808080");
    palette[0] = "000000";
    palette[1] = "ffffff";
    std::string log;
    ASSERT_TRUE(MakeVobSubPair(folder_.File("rip.mpg"), folder_.File("film"), boxes, "de", palette, log)) << log;
    const CommandResult video
        = RunCommand("ffmpeg -v error -nostdin -y -f lavfi -i color=c=0x202020:size=720x576:rate=25:duration=3"
                     " -c:v mpeg4 -q:v 3 "
            + Quoted(folder_.File("film.avi")));
    ASSERT_EQ(video.exitCode, 0) << video.output;
    const std::string vob = AuthoredTitle("film.avi");
    EXPECT_EQ(ListedSubtitles(folder_.File("disc"), 1), std::vector<std::string>{"de"});
    EXPECT_EQ(TextAt(folder_, vob, 0.5).pixels, 0) << "before the cue";
    EXPECT_GT(TextAt(folder_, vob, 1.5).pixels, 15000) << "during the cue";
    EXPECT_EQ(TextAt(folder_, vob, 2.5).pixels, 0) << "after the cue";
}

// A VobSub index whose ".sub" holds no subpicture: told in the run log, and the disc is
// made without it.
TEST_F(DvdPictureSubtitles, AVobSubPairOfNoPicturesIsLeftOut)
{
    std::ofstream(folder_.File("film.idx")) << "# VobSub index file, v7 (do not modify this line!)\nsize: 720x576\n"
                                               "id: de, index: 0\ntimestamp: 00:00:01:000, filepos: 000000000\n";
    std::ofstream(folder_.File("film.sub"), std::ios::binary) << std::string(4096, '\x55');
    const CommandResult video
        = RunCommand("ffmpeg -v error -nostdin -y -f lavfi -i color=c=0x202020:size=720x576:rate=25:duration=2"
                     " -c:v mpeg4 -q:v 3 "
            + Quoted(folder_.File("film.avi")));
    ASSERT_EQ(video.exitCode, 0) << video.output;
    AuthoredTitle("film.avi");
    EXPECT_TRUE(ListedSubtitles(folder_.File("disc"), 1).empty());
    const std::string log = ReadBytes(StateFolder(folder_.Path()) + "/ferrowick-discforge/avi_log.txt");
    EXPECT_NE(log.find("shows no subtitle picture. The disc is made without these subtitles."), std::string::npos)
        << log;
}

// A full-HD PGS track of a 16:9 film: its box lands where it was in the frame, scaled to
// the title's, in the widescreen stream.
TEST_F(DvdPictureSubtitles, APgsTrackIsScaledIntoTheTitlesFrame)
{
    const std::vector<BoxCue> cues{{1000, 2000, 800, 900, 300, 50, 6}};
    std::ofstream(folder_.File("hd.sup"), std::ios::binary) << PgsStream(1920, 1080, cues, 255);
    const CommandResult video
        = RunCommand("ffmpeg -v error -nostdin -y -f lavfi -i color=c=0x202020:size=640x360:rate=25:duration=3"
                     " -copyts -i "
            + Quoted(folder_.File("hd.sup"))
            + " -map 0:v -map 1:s -c:v mpeg4 -q:v 3 -c:s copy -metadata:s:s:0 language=jpn "
            + Quoted(folder_.File("hd.mkv")));
    ASSERT_EQ(video.exitCode, 0) << video.output;
    const std::string vob = AuthoredTitle("hd.mkv");
    // A 16:9 title: one subtitle stream, drawn for widescreen sets and for letterbox.
    EXPECT_EQ(ListedSubtitles(folder_.File("disc"), 1), std::vector<std::string>{"ja"});
    EXPECT_EQ(TextAt(folder_, vob, 0.5).pixels, 0) << "before the cue";
    // 794 to 1106 of 1920 across and 894 to 956 of 1080 down, in 720 x 576.
    EXPECT_EQ(TextAt(folder_, vob, 2.5).pixels, 0) << "after the cue";
    ExpectShownAt(TextAt(folder_, vob, 1.5), 298, 477, 414, 509);
    // Letterboxed: 72 lines above, three quarters of the height.
    ExpectShownAt(TextAt(folder_, vob, 1.5, 1), 298, 72 + 358, 414, 72 + 381);
}

} // namespace
} // namespace discforge::test
