// Subtitles drawn into the picture: a VCD or SVCD shows an input's subtitle file in its
// picture during each cue and at no other time, white text with a dark outline in the
// lower part of the title-safe area; a DVD does so only when asked, and then carries
// no subtitle stream for it, while without the request its picture stays clean and the
// subtitle is a stream of the title.
#include "CliProcess.h"
#include "ShownSubpictures.h"
#include "support/PictureSubtitleClips.h"
#include "support/StreamChecks.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace discforge::test {
namespace {

// What of a picture is text: bright pixels on the dark picture, and the outline's
// pixels darker than the picture round them.
struct TextPixels {
    int bright = 0;
    int outline = 0;
    int top = 0, bottom = -1, left = 0, right = -1; // of the bright pixels
    int Height() const { return bottom - top + 1; }
};

// The picture of `video` (a stream or a VOB) at `seconds`, as gray levels.
TextPixels TextAt(const TestFolder& folder, const std::string& video, double seconds, int width, int height)
{
    const std::string gray = folder.File("picture.gray");
    const CommandResult decoded = RunCommand("ffmpeg -v error -nostdin -y -i " + Quoted(video) + " -map 0:v -ss "
        + std::to_string(seconds) + " -frames:v 1 -f rawvideo -pix_fmt gray " + Quoted(gray));
    EXPECT_EQ(decoded.exitCode, 0) << decoded.output;
    const std::string pixels = ReadBytes(gray);
    TextPixels text{0, 0, height, -1, width, -1};
    if (pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        ADD_FAILURE() << "a picture of " << pixels.size() << " bytes at " << seconds << " s";
        return text;
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int level = static_cast<unsigned char>(pixels[static_cast<std::size_t>(y) * width + x]);
            // The clip's gray is about 32.
            if (level > 160) {
                ++text.bright;
                text.top = std::min(text.top, y);
                text.bottom = std::max(text.bottom, y);
                text.left = std::min(text.left, x);
                text.right = std::max(text.right, x);
            } else if (level < 14) {
                ++text.outline;
            }
        }
    }
    return text;
}

void ExpectReadableInSafeArea(const TextPixels& text, int width, int height, const std::string& when)
{
    SCOPED_TRACE(when);
    ASSERT_GT(text.bright, width * height / 2000) << "letters of some size";
    EXPECT_GT(text.outline, text.bright / 4) << "an outline round the letters";
    EXPECT_GE(text.Height(), height / 20 * 2 / 3) << "capitals at least two thirds of the twentieth";
    EXPECT_GE(text.left, width / 20);
    EXPECT_LE(text.right, width - width / 20);
    EXPECT_LE(text.bottom, height - height / 20);
    EXPECT_GT(text.top, height / 2) << "in the lower part of the picture";
}

class BurntSubtitles : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!DvdToolsInstalled()) {
            GTEST_SKIP() << dvdToolsMissing;
        }
        // A dark, still picture, so that only a subtitle brings bright pixels.
        const CommandResult made
            = RunCommand("ffmpeg -v error -nostdin -y -f lavfi -i color=c=0x202020:size=320x240:rate=25:duration=5"
                         " -f lavfi -i sine=duration=5 -c:v mpeg4 -q:v 3 -c:a pcm_s16le "
                + Quoted(folder_.File("film.avi")));
        ASSERT_EQ(made.exitCode, 0) << made.output;
        std::ofstream(folder_.File("film.en.srt")) << "1\n00:00:01,000 --> 00:00:02,000\nHello there\n\n"
                                                      "2\n00:00:03,000 --> 00:00:04,000\nSecond Words\n";
    }

    TestFolder folder_;
};

TEST_F(BurntSubtitles, AnSvcdShowsEachCueInItsPictureDuringTheCueOnly)
{
    constexpr int width = 480;
    constexpr int height = 576;
    const CliOutcome made = RunCli({"--target", "svcd", "--standard", "pal", "film.avi"}, folder_.Path());
    ASSERT_EQ(made.exitCode, 0) << made.err;
    const std::string stream = folder_.File("film.mpg");
    for (const double outside : {0.5, 2.4, 4.5}) {
        EXPECT_EQ(TextAt(folder_, stream, outside, width, height).bright, 0) << "at " << outside << " s";
    }
    const TextPixels first = TextAt(folder_, stream, 1.5, width, height);
    const TextPixels second = TextAt(folder_, stream, 3.5, width, height);
    ExpectReadableInSafeArea(first, width, height, "the first cue");
    ExpectReadableInSafeArea(second, width, height, "the second cue");
    EXPECT_NE(first.bright, second.bright) << "each cue shows its own text";
    const std::string log = ReadBytes(StateFolder(folder_.Path()) + "/ferrowick-discforge/avi_log.txt");
    EXPECT_NE(log.find("film.en.srt are drawn into the picture of"), std::string::npos) << log;
}

TEST_F(BurntSubtitles, AVcdDrawsTheFileNamedOnTheCommandLineOverTheOneBesideTheVideo)
{
    constexpr int width = 352;
    constexpr int height = 288;
    std::ofstream(folder_.File("named.srt")) << "1\n00:00:02,500 --> 00:00:03,500\nNamed\n";
    const CliOutcome made
        = RunCli({"--target", "vcd", "--standard", "pal", "--subtitles", "named.srt:de", "film.avi"}, folder_.Path());
    ASSERT_EQ(made.exitCode, 0) << made.err;
    const std::string stream = folder_.File("film.mpg");
    EXPECT_EQ(TextAt(folder_, stream, 1.5, width, height).bright, 0) << "the file beside the video is not drawn";
    ExpectReadableInSafeArea(TextAt(folder_, stream, 3.0, width, height), width, height, "the named file's cue");
}

// A DVD rip's subtitles as a VobSub pair, drawn into an SVCD's narrower picture: the
// white box lands where it was in the DVD frame, two thirds as wide, during its cue only.
TEST_F(BurntSubtitles, AnSvcdDrawsAVobSubPairsPicturesScaledToItsFrame)
{
    constexpr int width = 480;
    constexpr int height = 576;
    const std::vector<BoxCue> boxes{{1000, 2000, 210, 450, 300, 60, 4}};
    std::vector<std::string> palette(16, "808080");
    palette[0] = "000000";
    palette[1] = "ffffff";
    std::string log;
    ASSERT_TRUE(MakeSubpictureStream(folder_.Path(), folder_.File("rip.mpg"), 3, boxes, log)) << log;
    ASSERT_TRUE(MakeVobSubPair(folder_.File("rip.mpg"), folder_.File("boxes"), boxes, "de", palette, log)) << log;
    const CliOutcome made
        = RunCli({"--target", "svcd", "--standard", "pal", "--subtitles", "boxes.idx", "film.avi"}, folder_.Path());
    ASSERT_EQ(made.exitCode, 0) << made.err;
    const std::string stream = folder_.File("film.mpg");
    EXPECT_EQ(TextAt(folder_, stream, 0.5, width, height).bright, 0) << "before the cue";
    EXPECT_EQ(TextAt(folder_, stream, 2.5, width, height).bright, 0) << "after the cue";
    const TextPixels box = TextAt(folder_, stream, 1.5, width, height);
    constexpr int slack = 3;
    EXPECT_NEAR(box.left, 210 * 2 / 3, slack);
    EXPECT_NEAR(box.right, (210 + 300) * 2 / 3 - 1, slack);
    EXPECT_NEAR(box.top, 450, slack);
    EXPECT_NEAR(box.bottom, 450 + 60 - 1, slack);
    EXPECT_GT(box.bright, 200 * 60 * 3 / 4) << "the box is filled";
    EXPECT_GT(box.outline, 0) << "its black band is drawn too";
    const std::string runLog = ReadBytes(StateFolder(folder_.Path()) + "/ferrowick-discforge/avi_log.txt");
    EXPECT_NE(runLog.find("The picture subtitle track 1 of"), std::string::npos) << runLog;
}

TEST_F(BurntSubtitles, ADvdDrawsTheSubtitleOnlyWhenAskedAndThenMakesNoStreamOfIt)
{
    constexpr int width = 720;
    constexpr int height = 576;
    const CliOutcome streamed
        = RunCli({"--target", "dvd", "--standard", "pal", "--author", "streamed", "film.avi"}, folder_.Path());
    ASSERT_EQ(streamed.exitCode, 0) << streamed.err;
    EXPECT_EQ(ListedSubtitles(folder_.File("streamed"), 1), std::vector<std::string>{"en"});
    const std::string streamedVob = folder_.File("streamed/VIDEO_TS/VTS_01_1.VOB");
    EXPECT_EQ(TextAt(folder_, streamedVob, 1.5, width, height).bright, 0) << "the picture stays clean";

    const CliOutcome burnt = RunCli(
        {"--target", "dvd", "--standard", "pal", "--burn-subtitles", "--author", "burnt", "film.avi"}, folder_.Path());
    ASSERT_EQ(burnt.exitCode, 0) << burnt.err;
    EXPECT_TRUE(ListedSubtitles(folder_.File("burnt"), 1).empty());
    const std::string burntVob = folder_.File("burnt/VIDEO_TS/VTS_01_1.VOB");
    EXPECT_EQ(TextAt(folder_, burntVob, 2.4, width, height).bright, 0);
    ExpectReadableInSafeArea(TextAt(folder_, burntVob, 1.5, width, height), width, height, "the burnt DVD");
}

} // namespace
} // namespace discforge::test
