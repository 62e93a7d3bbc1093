// Pictures shaped as the TV shows them: clips of every common shape made by the
// ffmpeg program (square pixels, wide DV, HDV) converted on the command line, each
// output judged by where its black bands lie and by the shape ffprobe reads from
// its sequence header, and a DVD of mixed shapes by lsdvd.
#include "CliProcess.h"
#include "UserClips.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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
    const std::string command = "ffmpeg -nostdin -loglevel error -y -f lavfi -i color=white:s=" + std::to_string(width)
        + "x" + std::to_string(height) + ":r=25:d=1 -f lavfi -i anullsrc=r=44100:cl=stereo" + " -t 1 -vf setsar=" + sar
        + (mp4 ? " -c:v libx264 -pix_fmt yuv420p" : " -c:v mpeg4 -q:v 2") + " -c:a " + (mp4 ? "aac" : "pcm_s16le") + " "
        + Quoted(path);
    return std::system(command.c_str()) == 0;
}

// The first picture of a converted stream as grey levels, top row first.
struct GreyPicture {
    int width = 0;
    int height = 0;
    std::string levels;

    int At(int x, int y) const { return static_cast<unsigned char>(levels[static_cast<std::size_t>(y) * width + x]); }
};

GreyPicture FirstPicture(const std::string& mpeg)
{
    GreyPicture picture;
    const std::string probe = "ffprobe -v error -select_streams v:0 -of csv=p=0 -show_entries stream=";
    picture.width = std::atoi(CommandOutput(probe + "width " + Quoted(mpeg)).c_str());
    picture.height = std::atoi(CommandOutput(probe + "height " + Quoted(mpeg)).c_str());
    picture.levels = CommandOutput(
        "ffmpeg -nostdin -loglevel error -i " + Quoted(mpeg) + " -frames:v 1 -vf format=gray -f rawvideo -");
    if (picture.width <= 0 || picture.height <= 0
        || picture.levels.size()
            != static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height)) {
        picture.width = picture.height = 0;
    }
    return picture;
}

// The picture's place in a frame: the rows and columns of its middle that are
// lighter than the black bands around it.
struct PicturePlace {
    int width = 0;
    int height = 0;
    int top = -1;
    int bottom = -1;
    int left = -1;
    int right = -1;
};

PicturePlace PlaceIn(const GreyPicture& picture)
{
    // The bands are at 16; the pictures of these tests are 64 or lighter.
    constexpr int bandLevel = 40;
    PicturePlace place;
    place.width = picture.width;
    place.height = picture.height;
    for (int y = 0; y < picture.height; ++y) {
        if (picture.At(picture.width / 2, y) > bandLevel) {
            place.top = place.top < 0 ? y : place.top;
            place.bottom = y;
        }
    }
    for (int x = 0; x < picture.width; ++x) {
        if (picture.At(x, picture.height / 2) > bandLevel) {
            place.left = place.left < 0 ? x : place.left;
            place.right = x;
        }
    }
    return place;
}

PicturePlace PlaceOfPicture(const std::string& mpeg) { return PlaceIn(FirstPicture(mpeg)); }

// The display shape ffprobe reads from the sequence header, as "4:3" or "16:9" when
// within a hundredth of one: MPEG-1's pixel shapes give a VCD 880:657, near enough.
std::string ShapeOf(const std::string& mpeg)
{
    std::string shape = CommandOutput("ffprobe -v error -select_streams v:0 -show_entries stream=display_aspect_ratio "
                                      "-of csv=p=0 "
        + Quoted(mpeg));
    shape = shape.substr(0, shape.find_first_of(",\r\n"));
    const std::size_t colon = shape.find(':');
    if (colon == std::string::npos) {
        return shape;
    }
    const double width = std::atof(shape.substr(0, colon).c_str());
    const double height = std::atof(shape.substr(colon + 1).c_str());
    if (height > 0 && std::abs(width / height - 4.0 / 3.0) < 0.01) {
        return "4:3";
    }
    if (height > 0 && std::abs(width / height - 16.0 / 9.0) < 0.01) {
        return "16:9";
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

    // The run log's lines so far.
    std::string RunLog() const
    {
        std::ifstream log(StateFolder(folder_.Path()) + "/ferrowick-discforge/avi_log.txt");
        return std::string((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
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
    for (const Target& t :
        {Target{"vcd", "ntsc", 352, 240}, Target{"vcd", "pal", 352, 288}, Target{"svcd", "ntsc", 480, 480},
            Target{"svcd", "pal", 480, 576}, Target{"dvd", "ntsc", 720, 480}, Target{"dvd", "pal", 720, 576}}) {
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
        const char* described; // the run log's line of its size
    };
    // Square 16:9, camcorder DV flagged 16:9, HDV.
    for (const Source& s : {Source{"wide.avi", 1280, 720, "1", "  Resolution: 1280 x 720\r\n"},
             Source{"dv.avi", 720, 576, "64/45", "  Resolution: 720 x 576, shown 16:9\r\n"},
             Source{"hdv.mp4", 1440, 1080, "4/3", "  Resolution: 1440 x 1080, shown 16:9\r\n"}}) {
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
        EXPECT_NE(RunLog().find(s.described), std::string::npos) << s.name << ": " << RunLog();
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
    const CliOutcome made
        = RunCli({"--target", "dvd", "--standard", "pal", "--author", "disc", "first.avi", "second.avi", "third.avi"},
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

// A phone clip: 1280 x 720 stored, grey with a white quarter-sized corner at the
// stored top left, its turn written into the video track header's matrix as phones
// write it (the ffmpeg program here writes no turn of its own). `degrees` is the
// clockwise turn that stands it upright.
bool MakePhoneClip(const std::string& path, int degrees)
{
    const std::string stored = path + ".stored.mp4";
    const std::string command = "ffmpeg -nostdin -loglevel error -y -f lavfi -i "
                                "'color=0x606060:s=1280x720:r=25:d=1,drawbox=x=0:y=0:w=320:h=180:color=white:t=fill'"
                                " -f lavfi -i anullsrc=r=44100:cl=stereo -t 1 -c:v libx264 -pix_fmt yuv420p -c:a aac "
        + Quoted(stored);
    if (std::system(command.c_str()) != 0) {
        return false;
    }
    std::ifstream in(stored, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The first track is the video's; its matrix follows the header's fixed fields.
    const std::size_t header = bytes.find("tkhd");
    if (header == std::string::npos || header + 100 > bytes.size()) {
        return false;
    }
    const std::size_t matrix = header + (bytes[header + 4] == 0 ? 44 : 56);
    constexpr std::int32_t one = 0x10000;
    std::int32_t entries[9] = {one, 0, 0, 0, one, 0, 0, 0, 0x40000000};
    if (degrees == 90) {
        const std::int32_t turned[9] = {0, one, 0, -one, 0, 0, 720 * one, 0, 0x40000000};
        std::copy(turned, turned + 9, entries);
    } else if (degrees == 180) {
        const std::int32_t turned[9] = {-one, 0, 0, 0, -one, 0, 1280 * one, 720 * one, 0x40000000};
        std::copy(turned, turned + 9, entries);
    } else if (degrees == 270) {
        const std::int32_t turned[9] = {0, -one, 0, one, 0, 0, 0, 1280 * one, 0x40000000};
        std::copy(turned, turned + 9, entries);
    }
    for (int i = 0; i < 9; ++i) {
        const auto value = static_cast<std::uint32_t>(entries[i]);
        for (int b = 0; b < 4; ++b) {
            bytes[matrix + static_cast<std::size_t>(4 * i + b)] = static_cast<char>(value >> (24 - 8 * b));
        }
    }
    std::ofstream(path, std::ios::binary) << bytes;
    std::filesystem::remove(stored);
    return true;
}

std::string RotationSaidBy(const std::string& clip)
{
    std::string said = CommandOutput("ffprobe -v error -select_streams v:0 -show_entries stream_side_data=rotation "
                                     "-of csv=p=0 "
        + Quoted(clip));
    said.erase(std::remove_if(said.begin(), said.end(), [](char c) { return c == '\n' || c == '\r'; }), said.end());
    return said;
}

TEST_F(PictureShape, PhoneClipsTurnedInTheirTrackHeaderComeOutUpright)
{
    struct Turn {
        int degrees;
        const char* said; // what ffprobe reads from the matrix: counter-clockwise degrees
        double cornerX; // where the white corner stands, as parts of the upright picture
        double cornerY;
        int top; // where the picture lies on a 4:3 PAL frame
        int bottom;
        int left;
        int right;
    };
    // Upright 720 x 1280 on 4:3: 576 lines of 9/16 x 576 x 15/16 = 303.75 columns from 208.
    // Upright 1280 x 720 on 4:3: 432 lines from 72.
    for (const Turn& t : {Turn{90, "-90", 0.875, 0.125, 0, 575, 208, 511},
             Turn{180, "-180", 0.875, 0.875, 72, 503, 0, 719}, Turn{270, "90", 0.125, 0.875, 0, 575, 208, 511}}) {
        const std::string what = std::to_string(t.degrees) + " degrees";
        const std::string clip = folder_.File("phone" + std::to_string(t.degrees) + ".mp4");
        ASSERT_TRUE(MakePhoneClip(clip, t.degrees)) << what;
        ASSERT_EQ(RotationSaidBy(clip), t.said) << what;

        const std::string output = folder_.File("phone.mpg");
        const CliOutcome made = RunCli(
            {"--target", "dvd", "--standard", "pal", "--aspect", "4:3", "--output", output, clip}, folder_.Path());
        ASSERT_EQ(made.exitCode, 0) << made.err;
        EXPECT_NE(RunLog().find(t.degrees == 180 ? "  Resolution: 1280 x 720\r\n" : "  Resolution: 720 x 1280\r\n"),
            std::string::npos)
            << what << ": the upright size";
        const GreyPicture picture = FirstPicture(output);
        const PicturePlace place = PlaceIn(picture);
        ExpectPlace(place, t.top, t.bottom, t.left, t.right, what);
        const auto at = [&](double x, double y) {
            return picture.At(place.left + static_cast<int>(x * (place.right - place.left)),
                place.top + static_cast<int>(y * (place.bottom - place.top)));
        };
        EXPECT_GT(at(t.cornerX, t.cornerY), 180) << what << ": the white corner";
        for (const double x : {0.125, 0.875}) {
            for (const double y : {0.125, 0.875}) {
                if (x != t.cornerX || y != t.cornerY) {
                    EXPECT_LT(at(x, y), 150) << what << ": grey at " << x << ", " << y;
                }
            }
        }
    }
}

} // namespace
} // namespace discforge::test
