// Projects on the command line: written from the inputs and options given,
// converted with the options they hold (those given again override them), and
// refused with the program's message when damaged.
#include "CliProcess.h"
#include "SampleInputs.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace discforge::test {
namespace {

using mediagen::FrameRate;

std::vector<char> Bytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class ProjectOnTheCommandLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(MakeClip(folder_.File("clip.avi"), 0.4, FrameRate::Pal25));
        mediagen::ListRecipe list;
        list.path = folder_.File("pictures.lst");
        list.pictures = 2;
        list.width = sampleWidth;
        list.height = sampleHeight(true);
        std::string error;
        ASSERT_TRUE(mediagen::WritePictureList(list, error)) << error;
    }

    TestFolder folder_;
};

TEST_F(ProjectOnTheCommandLine, ASavedProjectConvertsTheSameBytesAsTheOptionsGivenDirectly)
{
    const CliOutcome saved = RunCli(
        {"--save-project", "both.mdp", "--fit", "fill", "--invert", "clip.avi", "pictures.lst"}, folder_.Path());
    ASSERT_EQ(saved.exitCode, 0) << saved.err;
    const std::vector<char> project = Bytes(folder_.File("both.mdp"));
    ASSERT_GT(project.size(), 285u + 2 * 1104u) << "the records, then the extension block";
    EXPECT_EQ(std::string(&project[285]), folder_.File("clip.avi")) << "saved absolute, to open from anywhere";
    EXPECT_EQ(std::string(&project[285 + 2 * 1104], 4), "FDXB");
    EXPECT_EQ(project[285 + 959], 1) << "invert";
    EXPECT_EQ(project[285 + 962], 1) << "fill in";
    EXPECT_FALSE(std::filesystem::exists(folder_.File("clip.mpg"))) << "saving converts nothing";

    ASSERT_EQ(RunCli({"--project", "both.mdp", "--standard", "pal"}, folder_.Path()).exitCode, 0);
    std::filesystem::rename(folder_.File("clip.mpg"), folder_.File("clip-project.mpg"));
    std::filesystem::rename(folder_.File("pictures.mpg"), folder_.File("pictures-project.mpg"));
    ASSERT_EQ(
        RunCli({"--standard", "pal", "--fit", "fill", "--invert", "clip.avi", "pictures.lst"}, folder_.Path()).exitCode,
        0);
    EXPECT_EQ(Bytes(folder_.File("clip-project.mpg")), Bytes(folder_.File("clip.mpg")));
    EXPECT_EQ(Bytes(folder_.File("pictures-project.mpg")), Bytes(folder_.File("pictures.mpg")));

    // An option given again overrides the project's; the others still come from it.
    ASSERT_EQ(RunCli({"--project", "both.mdp", "--standard", "pal", "--fit", "crop", "--output", "override.mpg"},
                  folder_.Path())
                  .exitCode,
        1)
        << "--output names one file; this project has two inputs";
    ASSERT_EQ(RunCli({"--save-project", "one.mdp", "--invert", "clip.avi"}, folder_.Path()).exitCode, 0);
    ASSERT_EQ(RunCli({"--project", "one.mdp", "--standard", "pal", "--fit", "crop", "--output", "override.mpg"},
                  folder_.Path())
                  .exitCode,
        0);
    ASSERT_EQ(
        RunCli({"--standard", "pal", "--fit", "crop", "--invert", "--output", "direct.mpg", "clip.avi"}, folder_.Path())
            .exitCode,
        0);
    EXPECT_EQ(Bytes(folder_.File("override.mpg")), Bytes(folder_.File("direct.mpg")));
}

TEST_F(ProjectOnTheCommandLine, ADamagedProjectIsRefusedWithItsMessageAndConvertsNothing)
{
    ASSERT_EQ(RunCli({"--save-project", "good.mdp", "clip.avi", "pictures.lst"}, folder_.Path()).exitCode, 0);
    const std::vector<char> project = Bytes(folder_.File("good.mdp"));
    const struct {
        const char* name;
        std::size_t bytes;
    } cuts[] = {{"header.mdp", 100}, {"record.mdp", 285 + 1104 + 500}};
    for (const auto& cut : cuts) {
        std::ofstream(folder_.File(cut.name), std::ios::binary)
            .write(project.data(), static_cast<std::streamsize>(cut.bytes));
        const CliOutcome run = RunCli({"--project", cut.name}, folder_.Path());
        EXPECT_EQ(run.exitCode, 1) << cut.name;
        EXPECT_NE(run.err.find("Project open error: Can not read from file " + std::string(cut.name) + "."),
            std::string::npos)
            << run.err;
    }
    const CliOutcome missing = RunCli({"--project", "missing.mdp"}, folder_.Path());
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("Project open error: Can not open file missing.mdp."), std::string::npos) << missing.err;
    EXPECT_FALSE(std::filesystem::exists(folder_.File("clip.mpg")));
    EXPECT_FALSE(std::filesystem::exists(folder_.File("pictures.mpg")));
}

} // namespace
} // namespace discforge::test
