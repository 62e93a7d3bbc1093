// Pictures shaped as the TV shows them: clips of every common shape made by the
// ffmpeg program (square pixels, wide DV, HDV) converted on the command line, each
// output judged by where its black bands lie and by the shape ffprobe reads from
// its sequence header, and a DVD of mixed shapes by lsdvd.
#include "CliProcess.h"
#include "UserClips.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace discforge::test {
namespace {

std::string CommandOutput(const std::string& command)
{
    std::string output;
    std::FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) {
        return output;
    }
    char buffer[4096];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.append(buffer, count);
    }
    ::pclose(pipe);
    return output;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// One second of white pictures at width x height, with the pixel shape `sar`
// written into the stream by ffmpeg's setsar, in an AVI (MPEG-4) or an MP4 (H.264).
bool MakeWhiteClip(const std::string& path, int width, int height, const std::string& sar)
{
    const bool mp4 = path.ends_with(".mp4");
    const std::string command = "ffmpeg -nostdin -loglevel error -y -f lavfi -i color=white:s="
        + std::to_string(width) + "x" + std::to_string(height) + ":r=25:d=1 -f lavfi -i anullsrc=r=44100:cl=stereo"
        + " -t 1 -vf setsar=" + sar + (mp4 ? " -c:v libx264 -pix_fmt yuv420p" : " -c:v mpeg4 -q:v 2")
        + " -c:a " + (mp4 ? "aac" : "pcm_s16le") + " " + Quoted(path);
    return std::system(command.c_str()) == 0;
}

// The picture's place in the first frame of a converted stream: the rows and
// columns of its middle that are light, the rest being the black bands.
struct PicturePlace {
    int width = 0;
    int height = 0;
    int top = -1;
    int bottom = -1;
    int left = -1;
    int right = -1;
};

PicturePlace PlaceOfPicture(const std::string& mpeg)
{
    PicturePlace place;
    place.width = std::atoi(CommandOutput("ffprobe -v error -select_streams v:0 -show_entries stream=width -of "
                                          "csv=p=0 " + Quoted(mpeg)).c_str());
    place.height = std::atoi(CommandOutput("ffprobe -v error -select_streams v:0 -show_entries stream=height -of "
                                           "csv=p=0 " + Quoted(mpeg)).c_str());
    const std::string grey = CommandOutput("ffmpeg -nostdin -loglevel error -i " + Quoted(mpeg)
        + " -frames:v 1 -vf format=gray -f rawvideo -");
    if (place.width <= 0 || place.height <= 0
        || grey.size() != static_cast<std::size_t>(place.width) * static_cast<std::size_t>(place.height)) {
        return place;
    }
    const auto light = [&](int x, int y) {
        return static_cast<unsigned char>(grey[static_cast<std::size_t>(y) * place.width + x]) > 128;
    };
    for (int y = 0; y < place.height; ++y) {
        if (light(place.width / 2, y)) {
            place.top = place.top < 0 ? y : place.top;
            place.bottom = y;
        }
    }
    for (int x = 0; x < place.width; ++x) {
        if (light(x, place.height / 2)) {
            place.left = place.left < 0 ? x : place.left;
            place.right = x;
        }
    }
    return place;
}

std::string ShapeOf(const std::string& mpeg)
{
    std::string shape = CommandOutput("ffprobe -v error -select_streams v:0 -show_entries stream=display_aspect_ratio "
                                      "-of csv=p=0 " + Quoted(mpeg));
    while (!shape.empty() && (shape.back() == '\n' || shape.back() == '\r')) {
        shape.pop_back();
    }
    return shape;
}

class PictureShape : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!FfmpegProgramFound()) {
            GTEST_SKIP() << "the ffmpeg program is not installed";
        }
    }

    // Converts `clip` with `arguments` and reads the result's shape and picture place.
    void Convert(const std::string& clip, std::vector<std::string> arguments, PicturePlace& place, std::string& shape)
    {
        const std::string output = folder_.File("out.mpg");
        std::filesystem::remove(output);
        arguments.insert(arguments.end(), {"--output", output, clip});
        const CliOutcome made = RunCli(arguments, folder_.Path());
        ASSERT_EQ(made.exitCode, 0) << made.err;
        place = PlaceOfPicture(output);
        shape = ShapeOf(output);
    }

    TestFolder folder_;
};

// Bands of a band's width, give or take the pixel the scaling blends at each edge.
void ExpectPlace(const PicturePlace& place, int top, int bottom, int left, int right, const std::string& what)
{
    EXPECT_NEAR(place.top, top, 1) << what;
    EXPECT_NEAR(place.bottom, bottom, 1) << what;
    EXPECT_NEAR(place.left, left, 1) << what;
    EXPECT_NEAR(place.right, right, 1) << what;
}

TEST_F(PictureShape, AFourByThreeSourceFillsTheWholeFrameOfEveryTarget)
{
    const std::string clip = folder_.File("vga.avi");
    ASSERT_TRUE(MakeWhiteClip(clip, 640, 480, "1"));
    struct Target {
        const char* target;
        const char* standard;
        int width;
        int height;
    };
    for (const Target& t : {Target{"vcd", "ntsc", 352, 240}, Target{"vcd", "pal", 352, 288},
             Target{"svcd", "ntsc", 480, 480}, Target{"svcd", "pal", 480, 576}, Target{"dvd", "ntsc", 720, 480},
             Target{"dvd", "pal", 720, 576}}) {
        const std::string what = std::string(t.target) + " " + t.standard;
        PicturePlace place;
        std::string shape;
        Convert(clip, {"--target", t.target, "--standard", t.standard}, place, shape);
        ASSERT_EQ(place.width, t.width) << what;
        ASSERT_EQ(place.height, t.height) << what;
        ExpectPlace(place, 0, t.height - 1, 0, t.width - 1, what);
        EXPECT_EQ(shape, "4:3") << what;
    }
}

TEST_F(PictureShape, WideSourcesMakeWideDvdsOrAreLetterboxedWhenFourByThreeIsAsked)
{
    struct Source {
        const char* name;
        int width;
        int height;
        const char* sar;
    };
    // Square 16:9, camcorder DV flagged 16:9, HDV.
    for (const Source& s : {Source{"wide.avi", 1280, 720, "1"}, Source{"dv.avi", 720, 576, "64/45"},
             Source{"hdv.mp4", 1440, 1080, "4/3"}}) {
        const std::string clip = folder_.File(s.name);
        ASSERT_TRUE(MakeWhiteClip(clip, s.width, s.height, s.sar)) << s.name;
        for (const char* choice : {"auto", "16:9"}) {
            PicturePlace place;
            std::string shape;
            Convert(clip, {"--target", "dvd", "--standard", "pal", "--aspect", choice}, place, shape);
            const std::string what = std::string(s.name) + " " + choice;
            EXPECT_EQ(shape, "16:9") << what;
            ExpectPlace(place, 0, 575, 0, 719, what);
        }
        // On a 4:3 frame a 16:9 picture keeps three quarters of the lines: 432 of 576.
        PicturePlace place;
        std::string shape;
        Convert(clip, {"--target", "dvd", "--standard", "pal", "--aspect", "4:3"}, place, shape);
        EXPECT_EQ(shape, "4:3") << s.name;
        ExpectPlace(place, 72, 503, 0, 719, std::string(s.name) + " 4:3");
    }
}

TEST_F(PictureShape, AnNtscHdvClipMakesAWideDvdAndAFourByThreeOneIsPillarboxedOnSixteenByNine)
{
    const std::string hdv = folder_.File("hdv.mp4");
    ASSERT_TRUE(MakeWhiteClip(hdv, 1440, 1080, "4/3"));
    PicturePlace place;
    std::string shape;
    Convert(hdv, {"--target", "dvd", "--standard", "ntsc"}, place, shape);
    EXPECT_EQ(shape, "16:9");
    ExpectPlace(place, 0, 479, 0, 719, "HDV on NTSC");

    // 4:3 on 16:9 keeps three quarters of the columns: 540 of 720.
    const std::string vga = folder_.File("vga.avi");
    ASSERT_TRUE(MakeWhiteClip(vga, 640, 480, "1"));
    Convert(vga, {"--target", "dvd", "--standard", "ntsc", "--aspect", "16:9"}, place, shape);
    EXPECT_EQ(shape, "16:9");
    ExpectPlace(place, 0, 479, 90, 629, "4:3 on 16:9");
}

TEST_F(PictureShape, SvcdLetterboxesWideSourcesUnlessSixteenByNineIsAsked)
{
    const std::string clip = folder_.File("dv.avi");
    ASSERT_TRUE(MakeWhiteClip(clip, 720, 576, "64/45"));
    PicturePlace place;
    std::string shape;
    Convert(clip, {"--target", "svcd", "--standard", "pal"}, place, shape);
    EXPECT_EQ(shape, "4:3");
    ExpectPlace(place, 72, 503, 0, 479, "SVCD auto");

    Convert(clip, {"--target", "svcd", "--standard", "pal", "--aspect", "16:9"}, place, shape);
    EXPECT_EQ(shape, "16:9");
    ExpectPlace(place, 0, 575, 0, 479, "SVCD 16:9");
}

TEST_F(PictureShape, ADvdOfWideAndFourByThreeInputsHasATitleSetForEachShape)
{
    if (std::system("command -v dvdauthor >/dev/null && command -v lsdvd >/dev/null") != 0) {
        GTEST_SKIP() << "dvdauthor or lsdvd is not installed (scripts/install-deps.sh installs them)";
    }
    ASSERT_TRUE(MakeWhiteClip(folder_.File("first.avi"), 1280, 720, "1"));
    ASSERT_TRUE(MakeWhiteClip(folder_.File("second.avi"), 640, 480, "1"));
    ASSERT_TRUE(MakeWhiteClip(folder_.File("third.avi"), 720, 576, "64/45"));
    const CliOutcome made = RunCli(
        {"--target", "dvd", "--standard", "pal", "--author", "disc", "first.avi", "second.avi", "third.avi"},
        folder_.Path());
    ASSERT_EQ(made.exitCode, 0) << made.err;
    const std::string listing = CommandOutput("lsdvd -v " + Quoted(folder_.File("disc")));
    // Title sets in the order their shapes first come: the two wide inputs, then the 4:3 one.
    EXPECT_NE(listing.find("VTS: 01, TTN: 01, FPS: 25.00, Format: PAL, Aspect ratio: 16/9"), std::string::npos)
        << listing;
    EXPECT_NE(listing.find("VTS: 01, TTN: 02, FPS: 25.00, Format: PAL, Aspect ratio: 16/9"), std::string::npos)
        << listing;
    EXPECT_NE(listing.find("VTS: 02, TTN: 01, FPS: 25.00, Format: PAL, Aspect ratio: 4/3"), std::string::npos)
        << listing;
}

} // namespace
} // namespace discforge::test
