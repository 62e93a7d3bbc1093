// Discs made on the command line after a batch: a DVD-Video folder that
// lsdvd reads title by title with the inputs' lengths, its ISO image, VCD and
// SVCD images whose tracks vcd-info lists; a missing tool, a failing tool and a
// cancel, each leaving the converted streams and nothing half-made.
#include "CliProcess.h"
#include "SampleInputs.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <thread>

namespace discforge::test {
namespace {

using mediagen::FrameRate;

// What a command prints on its standard output.
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

std::vector<double> TitleSeconds(const std::string& listing)
{
    std::vector<double> seconds;
    const std::regex title(R"(Title: \d+, Length: (\d+):(\d+):(\d+\.\d+))");
    for (auto it = std::sregex_iterator(listing.begin(), listing.end(), title); it != std::sregex_iterator(); ++it) {
        seconds.push_back(std::stod((*it)[1]) * 3600 + std::stod((*it)[2]) * 60 + std::stod((*it)[3]));
    }
    return seconds;
}

int Count(const std::string& text, const std::string& part)
{
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// Nothing of the tools' work is left beside the disc.
bool NoWorkLeft(const std::string& folder)
{
    if (!std::filesystem::exists(folder)) {
        return true;
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename().string().rfind(".discforge-authoring", 0) == 0) {
            return false;
        }
    }
    return true;
}

// A stand-in for a tool, first on the PATH the child gets while it lives.
class FakeTool {
public:
    FakeTool(const TestFolder& folder, const std::string& name, const std::string& body)
        : saved_(std::getenv("PATH") != nullptr ? std::getenv("PATH") : "")
    {
        std::filesystem::create_directories(folder.File("tools"));
        const std::string path = folder.File("tools/" + name);
        std::ofstream(path) << "#!/bin/sh\n" << body;
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        setenv("PATH", (folder.File("tools") + ":" + saved_).c_str(), 1);
    }
    ~FakeTool() { setenv("PATH", saved_.c_str(), 1); }
    FakeTool(const FakeTool&) = delete;
    FakeTool& operator=(const FakeTool&) = delete;

private:
    std::string saved_;
};

class DiscAuthoring : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(MakeClip(folder_.File("first.avi"), 2, FrameRate::Pal25));
        ASSERT_TRUE(MakeClip(folder_.File("second.avi"), 3, FrameRate::Pal25));
    }
    std::string Absolute(const std::string& name) const { return folder_.File(name); }

    TestFolder folder_;
};

TEST_F(DiscAuthoring, TwoInputsMakeADvdFolderWithATitleEachAndItsIsoImage)
{
    const CliOutcome made = RunCli(
        {"--target", "dvd", "--standard", "pal", "--author", "disc", "--iso", "disc.iso", "first.avi", "second.avi"},
        folder_.Path());
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_TRUE(std::filesystem::exists(Absolute("disc/VIDEO_TS/VIDEO_TS.IFO")));
    EXPECT_TRUE(NoWorkLeft(Absolute("disc")));
    EXPECT_TRUE(std::filesystem::exists(Absolute("first.mpg"))) << "the streams stay without --remove-streams";
    std::ifstream logFile(StateFolder(folder_.Path()) + "/ferrowick-discforge/avi_log.txt");
    const std::string log((std::istreambuf_iterator<char>(logFile)), std::istreambuf_iterator<char>());
    EXPECT_NE(log.find("INFO: dvdauthor creating table of contents"), std::string::npos)
        << "the tools' lines are logged";

    const std::vector<double> titles = TitleSeconds(CommandOutput("lsdvd '" + Absolute("disc") + "'"));
    ASSERT_EQ(titles.size(), 2u) << "one title per input";
    EXPECT_NEAR(titles[0], 2.0, 0.1);
    EXPECT_NEAR(titles[1], 3.0, 0.1);

    const std::string listing = CommandOutput("isoinfo -f -i '" + Absolute("disc.iso") + "'");
    EXPECT_NE(listing.find("/VIDEO_TS/VIDEO_TS.IFO"), std::string::npos) << listing;
    EXPECT_NE(listing.find("/VIDEO_TS/VTS_01_1.VOB"), std::string::npos) << listing;

    const CliOutcome again = RunCli({"--target", "dvd", "--author", "disc", "first.avi"}, folder_.Path());
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_NE(again.err.find("VIDEO_TS already exists"), std::string::npos) << again.err;
}

TEST_F(DiscAuthoring, ASplitInputIsOneTitleOfTheWholeClip)
{
    if (std::system("command -v dvdauthor >/dev/null && command -v lsdvd >/dev/null") != 0) {
        GTEST_SKIP() << "dvdauthor or lsdvd is not installed (scripts/install-deps.sh installs them)";
    }
    // About 1.4 MB of DVD stream: two or three parts of at most 1 MB.
    const double seconds = 8;
    ASSERT_TRUE(MakeClip(Absolute("long.avi"), seconds, FrameRate::Pal25));
    const CliOutcome made = RunCli(
        {"--target", "dvd", "--standard", "pal", "--split", "1", "--author", "disc", "long.avi"}, folder_.Path());
    ASSERT_EQ(made.exitCode, 0) << made.err;
    ASSERT_TRUE(std::filesystem::exists(Absolute("long_02.mpg"))) << "the output was not split";
    EXPECT_FALSE(std::filesystem::exists(Absolute("long_04.mpg")));

    const std::string listing = CommandOutput("lsdvd -c '" + Absolute("disc") + "'");
    const std::vector<double> titles = TitleSeconds(listing);
    ASSERT_EQ(titles.size(), 1u) << listing;
    EXPECT_NEAR(titles[0], seconds, 0.1) << "every part in the title";
}

TEST_F(DiscAuthoring, VcdAndSvcdImagesHoldATrackPerInput)
{
    for (const std::string target : {"vcd", "svcd"}) {
        const CliOutcome made = RunCli(
            {"--target", target, "--author", target, "--remove-streams", "first.avi", "second.avi"}, folder_.Path());
        ASSERT_EQ(made.exitCode, 0) << made.err;
        const std::string cue = Absolute(target + "/videocd.cue");
        ASSERT_TRUE(std::filesystem::exists(cue));
        EXPECT_TRUE(std::filesystem::exists(Absolute(target + "/videocd.bin")));
        EXPECT_TRUE(NoWorkLeft(Absolute(target)));
        EXPECT_FALSE(std::filesystem::exists(Absolute("first.mpg"))) << "--remove-streams removes them";

        const std::string info = CommandOutput("vcd-info --no-banner --cue-file '" + cue + "'");
        EXPECT_EQ(Count(info, "AVSEQ0"), 2) << info;
        EXPECT_NE(info.find(target == "vcd" ? "VCD 2.0 detected" : "SVCD detected"), std::string::npos) << info;
    }
}

TEST_F(DiscAuthoring, AMissingToolNamesItsPackageAndKeepsTheStreams)
{
    const char* saved = std::getenv("PATH");
    const std::string savedPath = saved != nullptr ? saved : "";
    setenv("PATH", folder_.Path().c_str(), 1);
    const CliOutcome made = RunCli({"--target", "dvd", "--author", "disc", "first.avi"}, folder_.Path());
    setenv("PATH", savedPath.c_str(), 1);
    EXPECT_EQ(made.exitCode, 1);
    EXPECT_NE(made.err.find("Install the package dvdauthor."), std::string::npos) << made.err;
    EXPECT_TRUE(std::filesystem::exists(Absolute("first.mpg")));
    EXPECT_FALSE(std::filesystem::exists(Absolute("disc/VIDEO_TS")));
    EXPECT_TRUE(NoWorkLeft(Absolute("disc")));
}

TEST_F(DiscAuthoring, AFailingToolIsToldWithItsLastLinesAndLeavesNothing)
{
    const FakeTool tool(folder_, "vcdimager",
        "i=1\nwhile [ $i -le 12 ]; do echo \"remark $i\"; i=$((i+1)); done\n"
        "echo partial > videocd.bin\nexit 3\n");
    const CliOutcome made
        = RunCli({"--target", "vcd", "--author", "disc", "--remove-streams", "first.avi"}, folder_.Path());
    EXPECT_EQ(made.exitCode, 1);
    EXPECT_NE(made.err.find("vcdimager failed with exit status 3"), std::string::npos) << made.err;
    EXPECT_NE(made.err.find("remark 12"), std::string::npos) << made.err;
    EXPECT_EQ(made.err.find("remark 4\n"), std::string::npos) << "only the last lines";
    EXPECT_FALSE(std::filesystem::exists(Absolute("disc/videocd.bin"))) << "nothing under the final name";
    EXPECT_TRUE(NoWorkLeft(Absolute("disc")));
    EXPECT_TRUE(std::filesystem::exists(Absolute("first.mpg"))) << "a failed disc keeps the streams";
}

TEST_F(DiscAuthoring, ACancelStopsTheToolAndRemovesWhatItWrote)
{
    const FakeTool tool(folder_, "dvdauthor", "mkdir -p disc/VIDEO_TS\necho started\nexec sleep 60\n");
    CliProcess run({"--target", "dvd", "--author", "disc", "first.avi"}, folder_.Path());
    ASSERT_TRUE(run.Started());
    // The tool's work folder appears once the conversion is over and the tool runs.
    for (int wait = 0; wait < 1200 && NoWorkLeft(Absolute("disc")); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ASSERT_FALSE(NoWorkLeft(Absolute("disc"))) << "the tool never started";
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    run.Interrupt();
    const CliOutcome outcome = run.Wait();
    EXPECT_EQ(outcome.exitCode, 130);
    EXPECT_NE(outcome.err.find("cancelled"), std::string::npos) << outcome.err;
    EXPECT_TRUE(NoWorkLeft(Absolute("disc")));
    EXPECT_FALSE(std::filesystem::exists(Absolute("disc/VIDEO_TS")));
    EXPECT_TRUE(std::filesystem::exists(Absolute("first.mpg")));
}

} // namespace
} // namespace discforge::test
