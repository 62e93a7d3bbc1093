// A script that joins, trims and retimes clips a user brought converts to every
// disc type: the pictures run on in order, the length is the script's within one
// frame, and each click is heard within a frame of its picture.
#include "CliProcess.h"
#include "OutputDecoder.h"
#include "UserClips.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

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

TEST(ScriptInputRefusal, AScriptOutsideTheLanguageIsNotConvertedAndSaysWhere)
{
    TestFolder folder;
    std::ofstream(folder.File("plugin.avs")) << "LoadPlugin(\"C:\\\\plugins\\\\denoise.dll\")\nBlankClip()\n";
    const CliOutcome run = RunCli({"plugin.avs"}, folder.Path());
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("LoadPlugin: plugins cannot be loaded on this system (line 1, column 1)"), std::string::npos)
        << run.err;
    EXPECT_FALSE(std::ifstream(folder.File("plugin.mpg")).good());
}

} // namespace
} // namespace discforge::test
