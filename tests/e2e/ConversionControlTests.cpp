// What the command line does beyond a plain conversion: picture lists, split outputs,
// and Ctrl-C in the middle of an encode.
#include "CliProcess.h"
#include "OutputDecoder.h"
#include "SampleInputs.h"
#include "support/DiscCases.h"
#include "support/StreamChecks.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

namespace discforge::test {
namespace {

using mediagen::FrameRate;

const DiscCase& VcdNtsc() { return discCases[0]; }
const DiscCase& VcdPal() { return discCases[3]; }

// The files in `folder`; folders such as the program's state folder are not counted.
std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& file : std::filesystem::directory_iterator(folder)) {
        if (file.is_regular_file()) {
            names.push_back(file.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(PictureList, PlaysOnePicturePerSecondAtEitherStandardAndHoldsTheLastPicture)
{
    struct Case {
        const DiscCase& disc;
        const char* standard;
        std::size_t frames; // four seconds at the standard's rate
        std::vector<std::size_t> changes; // the frames that show the next picture
    };
    const Case cases[] = {
        {VcdNtsc(), "ntsc", 119, {30, 60, 90}},
        {VcdPal(), "pal", 100, {25, 50, 75}},
    };
    for (const Case& c : cases) {
        TestFolder folder;
        mediagen::ListRecipe list;
        list.path = folder.File("pictures.lst");
        list.pictures = 4;
        list.width = c.disc.width;
        list.height = c.disc.height;
        std::string error;
        ASSERT_TRUE(mediagen::WritePictureList(list, error)) << error;

        const CliOutcome run = RunCli({"--standard", c.standard, "pictures.lst"}, folder.Path());
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const std::string output = folder.File("pictures.mpg");
        const DecodedOutput decoded = DecodeOutput(output);
        ASSERT_TRUE(decoded.error.empty()) << decoded.error;
        ASSERT_EQ(decoded.pictures.size(), c.frames) << c.standard;
        std::int64_t picture = 0;
        for (std::size_t frame = 0; frame < decoded.pictures.size(); ++frame) {
            if (picture < static_cast<std::int64_t>(c.changes.size()) && frame == c.changes[picture]) {
                ++picture;
            }
            EXPECT_EQ(decoded.pictures[frame].number, picture) << c.standard << " frame " << frame;
        }
        std::string log;
        EXPECT_TRUE(PassesAuthoring(output, c.disc, folder.Path(), log)) << log;
    }
}

TEST(SplitOutput, ComesInNumberedPartsOfAtMostTheGivenSize)
{
    TestFolder folder;
    const double seconds = 14; // a VCD stream of about 2.4 MB
    ASSERT_TRUE(MakeClip(folder.File("clip.avi"), seconds, FrameRate::Pal25));
    const CliOutcome run = RunCli({"--split", "1", "clip.avi"}, folder.Path());
    ASSERT_EQ(run.exitCode, 0) << run.err;

    EXPECT_FALSE(std::filesystem::exists(folder.File("clip.mpg")));
    std::int64_t pictures = 0;
    int parts = 0;
    for (; std::filesystem::exists(folder.File("clip_0" + std::to_string(parts + 1) + ".mpg")); ++parts) {
        const std::string part = folder.File("clip_0" + std::to_string(parts + 1) + ".mpg");
        EXPECT_LE(std::filesystem::file_size(part), 1024u * 1024u) << part;
        std::string error;
        const ProbedFile probed = Probe(part, error);
        ASSERT_TRUE(error.empty()) << error;
        EXPECT_EQ(probed.video.at("codec_name"), "mpeg1video") << part;
        pictures += std::stoll(probed.video.at("nb_read_frames"));
        std::string log;
        EXPECT_TRUE(PassesAuthoring(part, VcdPal(), folder.Path(), log)) << part << "\n" << log;
    }
    EXPECT_GE(parts, 2);
    EXPECT_EQ(pictures, FramesIn(seconds, FrameRate::Pal25)) << "every picture in exactly one part";
}

TEST(Interrupt, CtrlCCancelsTheEncodeRemovesItsPartialOutputAndExitsWith130)
{
    TestFolder folder;
    // A minute for DVD takes a few seconds to encode: long enough to be interrupted.
    ASSERT_TRUE(MakeClip(folder.File("long.avi"), 60, FrameRate::Pal25));
    ASSERT_TRUE(MakeClip(folder.File("next.avi"), 0.4, FrameRate::Pal25));
    const std::vector<std::string> inputs = FilesIn(folder.Path());

    CliProcess process({"--target", "dvd", "long.avi", "next.avi"}, folder.Path());
    ASSERT_TRUE(process.Started());
    // Interrupt once the encode writes its output, or after a while in any case.
    bool writing = false;
    for (int poll = 0; poll < 1000 && !writing; ++poll) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        for (const std::string& name : FilesIn(folder.Path())) {
            writing = writing || (name.rfind(".long.mpg.", 0) == 0 && name.ends_with(".part"));
        }
    }
    process.Interrupt();
    const CliOutcome outcome = process.Wait();
    EXPECT_TRUE(writing) << "the encode's temporary file never appeared";
    EXPECT_EQ(outcome.exitCode, 130) << outcome.err;
    EXPECT_EQ(FilesIn(folder.Path()), inputs) << "no partial output, and the next input was not started";
}

} // namespace
} // namespace discforge::test
