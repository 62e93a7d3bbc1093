// The command line as a user meets it: mistakes, help, exit codes, output names, the
// standard chosen from the input, and inputs that cannot be converted.
#include "CliProcess.h"
#include "SampleInputs.h"
#include "support/StreamChecks.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace discforge::test {
namespace {

using mediagen::FrameRate;

constexpr double shortClipSeconds = 0.4;

std::vector<std::string> MpegFilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& file : std::filesystem::directory_iterator(folder)) {
        if (file.path().extension() == ".mpg") {
            names.push_back(file.path().filename().string());
        }
    }
    return names;
}

std::string ReadText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

// ffprobe's picture size and rate of a converted file, as "352x288@25/1".
std::string PictureOf(const std::string& path)
{
    std::string error;
    const ProbedFile probed = Probe(path, error);
    if (!error.empty() || probed.videoStreams != 1) {
        return "no picture: " + error;
    }
    return probed.video.at("width") + "x" + probed.video.at("height") + "@" + probed.video.at("r_frame_rate");
}

TEST(CommandLineUsage, MistakesExitWithTwoAReasonOnOneLineAndTheUsage)
{
    TestFolder folder;
    ASSERT_TRUE(MakeClip(folder.File("a.avi"), shortClipSeconds, FrameRate::Pal25));
    ASSERT_TRUE(MakeClip(folder.File("b.avi"), shortClipSeconds, FrameRate::Pal25));
    const CliOutcome help = RunCli({"--help"}, folder.Path());

    // One of each kind; the parser's own tests go through every reason.
    struct Mistake {
        std::vector<std::string> arguments;
        std::string named; // what the reason has to name
    };
    const std::vector<Mistake> mistakes{
        {{}, "input"},
        {{"--target", "bluray", "a.avi"}, "bluray"},
        {{"--frobnicate", "a.avi"}, "--frobnicate"},
        {{"--output", "both.mpg", "a.avi", "b.avi"}, "--output"},
    };
    for (const Mistake& mistake : mistakes) {
        const CliOutcome run = RunCli(mistake.arguments, folder.Path());
        const std::string reason = FirstLine(run.err);
        const std::string rest = run.err.substr(std::min(run.err.size(), reason.size() + 1));
        EXPECT_EQ(run.exitCode, 2) << mistake.named;
        EXPECT_TRUE(run.out.empty()) << mistake.named;
        EXPECT_EQ(reason.rfind("discforge-cli: ", 0), 0u) << run.err;
        EXPECT_NE(reason.find(mistake.named), std::string::npos) << run.err;
        EXPECT_EQ(rest.rfind("usage: discforge-cli", 0), 0u) << run.err;
        EXPECT_EQ(help.out.rfind(rest, 0), 0u) << "the usage lines of --help follow the reason:\n" << run.err;
    }
    EXPECT_TRUE(MpegFilesIn(folder.Path()).empty()) << "a refused command line converts nothing";
}

TEST(CommandLineUsage, HelpAndVersionAnswerOnStandardOutput)
{
    TestFolder folder;
    const CliOutcome help = RunCli({"--help"}, folder.Path());
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.err.empty()) << help.err;
    EXPECT_EQ(help.out.rfind("usage: discforge-cli", 0), 0u) << help.out;
    for (const char* option : {"--target", "--standard", "--fit", "--invert", "--deinterlace", "--crop", "--split",
                               "--output", "--shutdown-when-done", "--subtitles", "--burn-subtitles",
                               "--dvd-audio-tracks", "--version", "130"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    }

    const CliOutcome version = RunCli({"--version"}, folder.Path());
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.err.empty()) << version.err;
    EXPECT_EQ(version.out.rfind("discforge-cli ", 0), 0u) << version.out;
    EXPECT_EQ(version.out.find('\n'), version.out.size() - 1) << "one line";
    EXPECT_NE(version.out.find_first_of("0123456789"), std::string::npos) << version.out;
}

TEST(CommandLineRun, AMissingInputIsReportedWhileTheOthersStillConvert)
{
    TestFolder folder;
    ASSERT_TRUE(MakeClip(folder.File("first.avi"), shortClipSeconds, FrameRate::Pal25));
    ASSERT_TRUE(MakeClip(folder.File("last.avi"), shortClipSeconds, FrameRate::Pal25));
    const CliOutcome run = RunCli({"first.avi", "missing.avi", "last.avi"}, folder.Path());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("missing.avi: no such file"), std::string::npos) << run.err;
    EXPECT_EQ(PictureOf(folder.File("first.mpg")), "352x288@25/1");
    EXPECT_EQ(PictureOf(folder.File("last.mpg")), "352x288@25/1");
    EXPECT_FALSE(std::filesystem::exists(folder.File("missing.mpg")));

    // The run log is written when the program ends, whatever the outcome.
    const std::string log = ReadText(StateFolder(folder.Path()) + "/ferrowick-discforge/avi_log.txt");
    EXPECT_EQ(log.rfind("Ferrowick Discforge - v3.60\r\n", 0), 0u) << log;
    // Inputs named relative to the working folder are kept by their whole path.
    EXPECT_NE(log.find("File Name: " + folder.File("first.avi") + "\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("File Name: " + folder.File("last.avi") + "\r\n"), std::string::npos) << log;
}

TEST(CommandLineRun, AnEncodeThatFailsExitsWithOneAndItsReason)
{
    TestFolder folder;
    ASSERT_TRUE(MakeClip(folder.File("clip.avi"), shortClipSeconds, FrameRate::Pal25));
    const std::string unreachable = folder.File("no-such-folder/clip.mpg");
    const CliOutcome run = RunCli({"--output", unreachable, "clip.avi"}, folder.Path());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find(unreachable), std::string::npos) << run.err;
    EXPECT_TRUE(MpegFilesIn(folder.Path()).empty());
}

TEST(CommandLineRun, OutputNamesFollowTheInputUnlessOneIsGiven)
{
    TestFolder folder;
    ASSERT_TRUE(MakeClip(folder.File("clip.avi"), shortClipSeconds, FrameRate::Pal25));
    ASSERT_EQ(RunCli({"clip.avi"}, folder.Path()).exitCode, 0);
    EXPECT_EQ(PictureOf(folder.File("clip.mpg")), "352x288@25/1");
    // An MPEG input keeps its own name free: the output gets a 1 before the extension.
    ASSERT_EQ(RunCli({"clip.mpg"}, folder.Path()).exitCode, 0);
    EXPECT_EQ(PictureOf(folder.File("clip1.mpg")), "352x288@25/1");

    std::filesystem::create_directory(folder.File("elsewhere"));
    ASSERT_EQ(RunCli({"--output", "elsewhere/named.mpg", "clip.avi"}, folder.Path()).exitCode, 0);
    EXPECT_EQ(PictureOf(folder.File("elsewhere/named.mpg")), "352x288@25/1");
    EXPECT_EQ(MpegFilesIn(folder.Path()).size(), 2u) << "nothing else beside the inputs";
}

TEST(CommandLineRun, TheStandardFollowsTheInputRateUnlessOneIsGiven)
{
    TestFolder folder;
    ASSERT_TRUE(MakeClip(folder.File("pal.avi"), shortClipSeconds, FrameRate::Pal25));
    ASSERT_TRUE(MakeClip(folder.File("ntsc.avi"), shortClipSeconds, FrameRate::Ntsc2997));
    ASSERT_EQ(RunCli({"pal.avi"}, folder.Path()).exitCode, 0);
    ASSERT_EQ(RunCli({"ntsc.avi"}, folder.Path()).exitCode, 0);
    EXPECT_EQ(PictureOf(folder.File("pal.mpg")), "352x288@25/1");
    EXPECT_EQ(PictureOf(folder.File("ntsc.mpg")), "352x240@30000/1001");

    ASSERT_EQ(RunCli({"--standard", "pal", "--output", "forced.mpg", "ntsc.avi"}, folder.Path()).exitCode, 0);
    EXPECT_EQ(PictureOf(folder.File("forced.mpg")), "352x288@25/1");
}

} // namespace
} // namespace discforge::test
