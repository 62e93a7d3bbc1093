// A batch too long for its DVD at full width: clips made by the ffmpeg program, a
// 4:3 one with a marked left half and a 16:9 one, planned onto a disc small enough
// that the plan takes the half-width frame. Each stream is 352 wide at its shape with
// the picture where the TV shows it, its sound with its pictures; dvdauthor makes a
// disc of them with a menu, each shape in a title set whose IFO declares 352 columns.
#include "CliProcess.h"
#include "support/StreamChecks.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace discforge::test {
namespace {

constexpr int clipSeconds = 4;
// Two clips of 4 s on 2 MB: 1.44 Mbit/s of video, below the full width's 2.5 and
// above the half width's 1.25.
constexpr const char* discMegabytes = "2";

// A PAL clip at width x height of square pixels and a tone, MPEG-4 part 2 and 16-bit
// sound in AVI; `filter` draws on the white pictures.
bool MakeClip(const std::string& path, int width, int height, const std::string& filter)
{
    const std::string d = std::to_string(clipSeconds);
    const CommandResult made = RunCommand("ffmpeg -nostdin -v error -y -f lavfi -i 'color=white:size="
        + std::to_string(width) + "x" + std::to_string(height) + ":rate=25:duration=" + d
        + "' -f lavfi -i 'sine=frequency=440:sample_rate=48000:duration=" + d + "' -vf '" + filter
        + ",setsar=1' -ac 2 -c:v mpeg4 -q:v 2 -c:a pcm_s16le " + Quoted(path));
    EXPECT_EQ(made.exitCode, 0) << made.output;
    return made.exitCode == 0;
}

// The luma of a stream's first picture along its middle row.
std::vector<int> MiddleRow(const std::string& mpeg, int width, int height)
{
    const CommandResult grey = RunCommand(
        "ffmpeg -nostdin -v error -i " + Quoted(mpeg) + " -frames:v 1 -vf format=gray -f rawvideo - 2>/dev/null");
    std::vector<int> row;
    if (grey.output.size() != static_cast<std::size_t>(width) * height) {
        return row;
    }
    const std::size_t start = static_cast<std::size_t>(width) * (height / 2);
    for (int x = 0; x < width; ++x) {
        row.push_back(static_cast<unsigned char>(grey.output[start + x]));
    }
    return row;
}

// The luma of a stream's first picture down its middle column.
std::vector<int> MiddleColumn(const std::string& mpeg, int width, int height)
{
    const CommandResult grey = RunCommand(
        "ffmpeg -nostdin -v error -i " + Quoted(mpeg) + " -frames:v 1 -vf format=gray -f rawvideo - 2>/dev/null");
    std::vector<int> column;
    if (grey.output.size() != static_cast<std::size_t>(width) * height) {
        return column;
    }
    for (int y = 0; y < height; ++y) {
        column.push_back(static_cast<unsigned char>(grey.output[static_cast<std::size_t>(y) * width + width / 2]));
    }
    return column;
}

// The first and the last place of a line lighter than the black bands (16) around a picture.
std::pair<int, int> LitSpan(const std::vector<int>& line)
{
    constexpr int bandLevel = 40;
    int first = -1;
    int last = -1;
    for (int i = 0; i < static_cast<int>(line.size()); ++i) {
        if (line[static_cast<std::size_t>(i)] > bandLevel) {
            first = first < 0 ? i : first;
            last = i;
        }
    }
    return {first, last};
}

std::string ReadText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The picture size field of a title set's video attributes (byte 0x201 of its IFO,
// bits 5 to 3): 0 for 720 columns, 1 for 704, 2 for 352; and the display shape
// (byte 0x200, bits 3 and 2): 0 for 4:3, 3 for 16:9. -1 when the file is too short.
struct IfoVideo {
    int pictureSize = -1;
    int shape = -1;
};

IfoVideo TitleSetVideo(const std::string& ifo)
{
    const std::string bytes = ReadText(ifo);
    IfoVideo video;
    if (bytes.size() > 0x201) {
        video.shape = (static_cast<unsigned char>(bytes[0x200]) >> 2) & 3;
        video.pictureSize = (static_cast<unsigned char>(bytes[0x201]) >> 3) & 7;
    }
    return video;
}

class HalfWidth : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A 4:3 picture whose right half is grey: the edge between them marks its middle.
        ASSERT_TRUE(MakeClip(folder_.File("marked.avi"), 640, 480, "drawbox=x=320:y=0:w=320:h=480:color=gray:t=fill"));
        ASSERT_TRUE(MakeClip(folder_.File("wide.avi"), 1024, 576, "null"));
    }

    TestFolder folder_;
};

TEST_F(HalfWidth, ALongBatchIsWrittenAtHalfWidthInItsShapesAndAuthoredWithAMenu)
{
    const CliOutcome made = RunCli({"--target", "dvd", "--standard", "pal", "--disc-size", discMegabytes, "--author",
                                       "disc", "marked.avi", "wide.avi"},
        folder_.Path());
    ASSERT_EQ(made.exitCode, 0) << made.err;

    for (const char* name : {"marked", "wide"}) {
        const std::string stream = folder_.File(std::string(name) + ".mpg");
        std::string error;
        const ProbedFile probed = Probe(stream, error);
        ASSERT_TRUE(error.empty()) << error;
        EXPECT_EQ(probed.video.at("width"), "352") << name;
        EXPECT_EQ(probed.video.at("height"), "576") << name;
        EXPECT_EQ(probed.video.at("display_aspect_ratio"), name[0] == 'w' ? "16:9" : "4:3") << name;
        EXPECT_EQ(probed.video.at("nb_read_frames"), std::to_string(clipSeconds * 25)) << name;
        // The sound stays with the pictures. Still pictures code so small that a packet
        // holds several, the later ones without a time of their own: the pictures end
        // where the first starts and the clip's seconds have played.
        EXPECT_LE(probed.audioStart, probed.videoStart + 0.001) << name;
        EXPECT_NEAR(probed.audioEnd, probed.videoStart + clipSeconds, 0.1) << name;
        // Each source fills the frame of its own shape: no bands either way.
        EXPECT_EQ(LitSpan(MiddleRow(stream, 352, 576)), std::make_pair(0, 351)) << name;
        EXPECT_EQ(LitSpan(MiddleColumn(stream, 352, 576)), std::make_pair(0, 575)) << name;
    }
    // The marked edge at the source's middle column lands in the frame's middle.
    const std::vector<int> row = MiddleRow(folder_.File("marked.mpg"), 352, 576);
    ASSERT_EQ(row.size(), 352u);
    int edge = -1;
    for (int x = 0; x < 352 && edge < 0; ++x) {
        edge = row[static_cast<std::size_t>(x)] < 180 ? x : -1;
    }
    EXPECT_NEAR(edge, 176, 3);
    EXPECT_GT(row[10], 200) << "white on the left";
    EXPECT_LT(row[340], 150) << "grey on the right";

    // Every title set holds one shape at 352 columns, its menus beside.
    const std::string videoTs = folder_.File("disc/VIDEO_TS");
    ASSERT_TRUE(std::filesystem::exists(videoTs + "/VIDEO_TS.IFO"));
    EXPECT_TRUE(std::filesystem::exists(videoTs + "/VIDEO_TS.VOB")) << "the menu of the two titles";
    const IfoVideo first = TitleSetVideo(videoTs + "/VTS_01_0.IFO");
    const IfoVideo second = TitleSetVideo(videoTs + "/VTS_02_0.IFO");
    EXPECT_EQ(first.pictureSize, 2);
    EXPECT_EQ(second.pictureSize, 2);
    EXPECT_EQ(first.shape, 0);
    EXPECT_EQ(second.shape, 3);
    const CommandResult listed = RunCommand("lsdvd " + Quoted(folder_.File("disc")) + " 2>/dev/null");
    EXPECT_EQ(listed.exitCode, 0) << listed.output;
    EXPECT_NE(listed.output.find("Title: 02"), std::string::npos) << listed.output;

    const std::string log = ReadText(StateFolder(folder_.Path()) + "/ferrowick-discforge/avi_log.txt");
    EXPECT_NE(log.find("Resolution: 352 x 576, half width, so that the batch fills its disc at "), std::string::npos)
        << log;
}

TEST_F(HalfWidth, AWideSourceOnAFourByThreeHalfWidthFrameIsLetterboxed)
{
    const CliOutcome made = RunCli({"--target", "dvd", "--standard", "pal", "--aspect", "4:3", "--disc-size",
                                       discMegabytes, "marked.avi", "wide.avi"},
        folder_.Path());
    ASSERT_EQ(made.exitCode, 0) << made.err;
    const std::string stream = folder_.File("wide.mpg");
    std::string error;
    const ProbedFile probed = Probe(stream, error);
    ASSERT_TRUE(error.empty()) << error;
    EXPECT_EQ(probed.video.at("width"), "352");
    EXPECT_EQ(probed.video.at("display_aspect_ratio"), "4:3");
    // 16:9 shown in 4:3 takes three quarters of the 576 rows, 72 of black above and below.
    const std::pair<int, int> rows = LitSpan(MiddleColumn(stream, 352, 576));
    EXPECT_NEAR(rows.first, 72, 2);
    EXPECT_NEAR(rows.second, 503, 2);
    EXPECT_EQ(LitSpan(MiddleRow(stream, 352, 576)), std::make_pair(0, 351));
}

} // namespace
} // namespace discforge::test
