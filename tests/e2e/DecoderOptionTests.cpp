// --decoder-option on the command line: a value the component takes applies to
// the run (the decoder told to decode at half resolution opens the input at
// half its size), and a value it refuses, or a component that does not exist,
// is a usage error with the component's reason, before anything is converted.
#include "CliProcess.h"
#include "SampleInputs.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace discforge::test {
namespace {

constexpr double shortClipSeconds = 0.4;

std::string RunLogOf(const std::string& folder)
{
    std::ifstream file(StateFolder(folder) + "/ferrowick-discforge/avi_log.txt", std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(CommandLineDecoderOption, AValueTheComponentTakesAppliesToTheRun)
{
    TestFolder folder;
    ASSERT_TRUE(MakeClip(folder.File("clip.avi"), shortClipSeconds, mediagen::FrameRate::Pal25));
    const CliOutcome run = RunCli({"--decoder-option", "MPEG-4 Part 2 Video decoder:lowres=1", "--decoder-option",
                                      "Picture converter:sws_flags=neighbor", "clip.avi"},
        folder.Path());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(std::filesystem::exists(folder.File("clip.mpg")));
    const std::string log = RunLogOf(folder.Path());
    EXPECT_NE(log.find("  Resolution: 90 x 72\r\n"), std::string::npos) << log;
}

TEST(CommandLineDecoderOption, ARefusedValueOrAnUnknownComponentIsAUsageError)
{
    TestFolder folder;
    ASSERT_TRUE(MakeClip(folder.File("clip.avi"), shortClipSeconds, mediagen::FrameRate::Pal25));
    struct Refusal {
        std::string option;
        std::string reason;
    };
    const std::vector<Refusal> refusals{
        {"MPEG-4 Part 2 Video decoder:lowres=-1",
            "discforge-cli: MPEG-4 Part 2 Video decoder: -1 for 'lowres' is out of range (0 to 2147483647)\n"},
        {"MPEG-4 Part 2 Video decoder:no_such_option=1",
            "discforge-cli: MPEG-4 Part 2 Video decoder: 'no_such_option' is not an option of this component\n"},
        {"Imaginary decoder:lowres=1",
            "discforge-cli: Imaginary decoder: there is no component named 'Imaginary decoder'\n"},
    };
    for (const Refusal& refusal : refusals) {
        const CliOutcome run = RunCli({"--decoder-option", refusal.option, "clip.avi"}, folder.Path());
        EXPECT_EQ(run.exitCode, 2) << refusal.option;
        EXPECT_NE(run.err.find(refusal.reason), std::string::npos) << run.err;
    }
    const CliOutcome malformed = RunCli({"--decoder-option", "lowres=1", "clip.avi"}, folder.Path());
    EXPECT_EQ(malformed.exitCode, 2);
    EXPECT_NE(malformed.err.find("(COMPONENT:NAME=VALUE)"), std::string::npos) << malformed.err;
    EXPECT_FALSE(std::filesystem::exists(folder.File("clip.mpg"))) << "a refused option converts nothing";
}

} // namespace
} // namespace discforge::test
