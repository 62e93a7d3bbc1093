// A script that joins, trims and retimes clips a user brought converts to every
// disc type: the pictures run on in order, the length is the script's within one
// frame, and each click is heard within a frame of its picture.
#include "CliProcess.h"
#include "OutputDecoder.h"
#include "UserClips.h"
#include "support/PictureSubtitleClips.h"
#include "support/StreamChecks.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace discforge::test {
namespace {

using mediagen::FrameRate;

struct ScriptCase {
    const char* name;
    const char* target;
};

void PrintTo(const ScriptCase& script, std::ostream* out) { *out << script.name; }

// NTSC discs take the script's 29.97 pictures one for one, so every repeat the
// retime made is seen as the script made it.
constexpr ScriptCase scriptCases[] = {
    {"Vcd", "vcd"},
    {"Svcd", "svcd"},
    {"Dvd", "dvd"},
};

class ScriptInput : public testing::TestWithParam<ScriptCase> { };

TEST_P(ScriptInput, JoinedTrimmedAndRetimedClipsConvertInLengthAndInSync)
{
    const ScriptCase& disc = GetParam();
    TestFolder folder;
    const UserClip mp4 = MakeUserClip(folder.Path(), ClipKind::H264Mp4, FrameRate::Pal25, 2, 352, 288);
    const UserClip avi = MakeUserClip(folder.Path(), ClipKind::XvidMp3, FrameRate::Pal25, 2, 352, 288);
    ASSERT_FALSE(mp4.path.empty());
    ASSERT_FALSE(avi.path.empty());
    const std::string mp4Name = mp4.path.substr(mp4.path.rfind('/') + 1);
    const std::string aviName = avi.path.substr(avi.path.rfind('/') + 1);
    // Frames 0-24 of one clip, then 25-49 of the other: numbers 0 to 49 and a click at
    // each second, retimed to NTSC film-video rate with frames repeated.
    std::ofstream(folder.File("joined.avs")) << "# joined in a script\n"
                                             << "a = FFmpegSource2(\"" << mp4Name << "\", atrack=-1).Trim(0, 24)\n"
                                             << "b = AviSource(\"" << aviName << "\").Trim(25, 49)\n"
                                             << "a ++ b\n"
                                             << "ChangeFPS(30000, 1001)\n";

    const CliOutcome run
        = RunCli({"--target", disc.target, "--standard", "ntsc", "--fit", "fill", "joined.avs"}, folder.Path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const DecodedOutput output = DecodeOutput(folder.File("joined.mpg"));
    ASSERT_TRUE(output.error.empty()) << output.error;
    ASSERT_FALSE(output.pictures.empty());

    std::int64_t previous = -1;
    for (const DecodedPicture& picture : output.pictures) {
        ASSERT_GE(picture.number, previous) << "at " << picture.time << " s";
        previous = picture.number;
    }
    EXPECT_EQ(output.pictures.front().number, 0);
    EXPECT_EQ(output.pictures.back().number, 49);
    const double length = output.pictures.back().time - output.pictures.front().time + output.frameDuration;
    EXPECT_NEAR(length, 60 * 1001.0 / 30000, output.frameDuration);

    ASSERT_EQ(output.clicks.size(), 2u);
    EXPECT_NEAR(output.clicks[0], FirstShowing(output, 0), output.frameDuration);
    EXPECT_NEAR(output.clicks[1], FirstShowing(output, 25), output.frameDuration);

    // The run log describes the script's result; a script has no codec text.
    std::ifstream logFile(StateFolder(folder.Path()) + "/ferrowick-discforge/avi_log.txt");
    std::stringstream log;
    log << logFile.rdbuf();
    EXPECT_NE(log.str().find("File 4CC: \r\n"), std::string::npos) << log.str();
    EXPECT_NE(log.str().find("  Resolution: 352 x 288\r\n"), std::string::npos) << log.str();
    EXPECT_NE(log.str().find("  Frame Rate: 29.97\r\n"), std::string::npos) << log.str();
    EXPECT_NE(log.str().find("  Total Frames: 60\r\n"), std::string::npos) << log.str();
}

INSTANTIATE_TEST_SUITE_P(Conversions, ScriptInput, testing::ValuesIn(scriptCases),
    [](const testing::TestParamInfo<ScriptCase>& info) { return info.param.name; });

// A script as a disc guide has it: a function of its own with defaults, an
// imported one, a resize, a dissolve, a loop, levels and a fade, converted
// for each disc at PAL in the length the script says.
TEST_P(ScriptInput, AGuidesScriptOfSeveralFunctionsConvertsInItsLength)
{
    const ScriptCase& disc = GetParam();
    TestFolder folder;
    const UserClip mp4 = MakeUserClip(folder.Path(), ClipKind::H264Mp4, FrameRate::Pal25, 2, 352, 288);
    const UserClip avi = MakeUserClip(folder.Path(), ClipKind::XvidMp3, FrameRate::Pal25, 2, 352, 288);
    ASSERT_FALSE(mp4.path.empty());
    ASSERT_FALSE(avi.path.empty());
    std::ofstream(folder.File("common.avsi"))
        << "function Finish(clip c) { c.Levels(0, 1.0, 255, 0, 255, coring=false) }\n";
    std::ofstream(folder.File("guide.avs"))
        << "LoadPlugin(\"C:\\Program Files\\AviSynth\\plugins\\DGDecode.dll\")\n"
        << "Import(\"common.avsi\")\n"
        << "function Prepare(clip c, int \"first\", int \"last\") {\n"
        << "    first = Default(first, 0)\n"
        << "    last = Default(last, c.FrameCount - 1)\n"
        << "    return c.Trim(first, last).Spline36Resize(352, 288).Tweak(bright=2)\n"
        << "}\n"
        << "a = FFmpegSource2(\"" << mp4.path.substr(mp4.path.rfind('/') + 1) << "\", atrack=-1).Prepare(0, 24)\n"
        << "b = AviSource(\"" << avi.path.substr(avi.path.rfind('/') + 1) << "\").Prepare(last=49, first=25)\n"
        << "Dissolve(a, b, 5)\n"
        << "Loop(2, 0, 4)\n"
        << "Finish()\n"
        << "FadeOut(5)\n";
    const CliOutcome run
        = RunCli({"--target", disc.target, "--standard", "pal", "--fit", "fill", "guide.avs"}, folder.Path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const DecodedOutput output = DecodeOutput(folder.File("guide.mpg"));
    ASSERT_TRUE(output.error.empty()) << output.error;
    ASSERT_FALSE(output.pictures.empty());
    // 25 + 25 frames less the 5 of the dissolve, 5 looped once more, one black frame after the fade.
    const double length = output.pictures.back().time - output.pictures.front().time + output.frameDuration;
    EXPECT_NEAR(length, 51 / 25.0, output.frameDuration);
    // Output frames 0-9 are the first five twice, 10-24 the first clip's 5-19,
    // 25-29 the dissolve, 30-44 the second clip's own frames, then the fade.
    ASSERT_GE(output.pictures.size(), 50u);
    int read = 0;
    for (std::size_t i = 0; i < 45; ++i) {
        const auto at = static_cast<std::int64_t>(i);
        const std::int64_t expected = i < 10 ? at % 5 : i < 25 ? at - 5 : at;
        if (output.pictures[i].number >= 0 && (i < 25 || i >= 30)) {
            EXPECT_EQ(output.pictures[i].number, expected) << "output frame " << i;
            ++read;
        }
    }
    EXPECT_GE(read, 35);
}

// A dark clip with a VobSub pair of one white box from 0.4 to 1.0 seconds, converted to a
// PAL DVD stream: the box is seen in the pictures of its time and in no other.
TEST(ScriptInputSubtitles, AVobSubsPictureIsSeenInItsTimeOnly)
{
    if (std::system("command -v spumux >/dev/null") != 0) {
        GTEST_SKIP() << "spumux is not installed (scripts/install-deps.sh installs it)";
    }
    TestFolder folder;
    const BoxCue box{400, 1000, 200, 450, 320, 60, 4};
    std::vector<std::string> palette(16, "808080");
    palette[0] = "000000";
    palette[1] = "ffffff";
    std::string log;
    ASSERT_TRUE(MakeSubpictureStream(folder.Path(), folder.File("boxes.mpg"), 2, {box}, log)) << log;
    ASSERT_TRUE(MakeVobSubPair(folder.File("boxes.mpg"), folder.File("subs"), {box}, "en", palette, log)) << log;
    const CommandResult clip
        = RunCommand("ffmpeg -v error -nostdin -y -f lavfi -i color=c=0x202020:size=720x576:rate=25"
                     ":duration=2 -c:v mpeg4 -q:v 2 "
            + Quoted(folder.File("dark.avi")));
    ASSERT_EQ(clip.exitCode, 0) << clip.output;
    std::ofstream(folder.File("titled.avs")) << "AviSource(\"dark.avi\").VobSub(\"subs.idx\")\n";
    const CliOutcome run = RunCli({"--target", "dvd", "--standard", "pal", "titled.avs"}, folder.Path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    // The mean green of the box's middle, which the white fill covers.
    const PictureReading middle = [&box](const pattern::ConstPatternImage& picture) {
        double sum = 0;
        for (int y = box.y + 20; y < box.y + 40; ++y) {
            for (int x = box.x + 100; x < box.x + 220; ++x) {
                sum += picture.pixels[static_cast<std::size_t>(y) * picture.stride + x * picture.bytesPerPixel + 1];
            }
        }
        return sum / (20 * 120);
    };
    const DecodedOutput output = DecodeOutput(folder.File("titled.mpg"), {middle});
    ASSERT_TRUE(output.error.empty()) << output.error;
    ASSERT_EQ(output.width, 720);
    ASSERT_GE(output.pictures.size(), 45u);
    for (std::size_t i = 0; i < output.pictures.size(); ++i) {
        const double at = output.pictures[i].time - output.pictures.front().time;
        const bool shown = at > 0.4 - 0.02 && at < 1.0 - 0.02;
        EXPECT_EQ(output.pictures[i].readings[0] > 200, shown)
            << "picture " << i << " at " << at << ": " << output.pictures[i].readings[0];
        if (!shown) {
            EXPECT_LT(output.pictures[i].readings[0], 60) << "picture " << i;
        }
    }
}

TEST(ScriptInputRefusal, AScriptOutsideTheLanguageIsNotConvertedAndSaysWhere)
{
    TestFolder folder;
    std::ofstream(folder.File("plugin.avs")) << "LoadPlugin(\"C:\\\\plugins\\\\denoise.dll\")\nBlankClip()\n";
    const CliOutcome run = RunCli({"plugin.avs"}, folder.Path());
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("LoadPlugin: \"C:\\\\plugins\\\\denoise.dll\" is not a plugin whose functions this program "
                           "has; plugins cannot be loaded on this system (line 1, column 1)"),
        std::string::npos)
        << run.err;
    EXPECT_FALSE(std::ifstream(folder.File("plugin.mpg")).good());
}

} // namespace
} // namespace discforge::test
