// A batch planned onto a disc of a given size: three clips of different lengths made
// by the ffmpeg program share a small disc at one quality, each stream close to its
// planned size and the authored disc within the size; a batch that cannot fit is
// refused before anything is written.
#include "CliProcess.h"
#include "support/StreamChecks.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace discforge::test {
namespace {

// A PAL clip of `seconds` with moving, noisy pictures, which take every bit a plan
// gives them, and a tone; MPEG-4 part 2 and 16-bit sound in AVI, as users bring.
bool MakeNoisyClip(const std::string& path, int seconds)
{
    const std::string d = std::to_string(seconds);
    const CommandResult made
        = RunCommand("ffmpeg -nostdin -v error -y -f lavfi -i 'testsrc2=size=720x576:rate=25:duration=" + d
            + ",noise=alls=24:allf=t' -f lavfi -i 'sine=frequency=440:sample_rate=48000:duration=" + d
            + "' -ac 2 -c:v mpeg4 -q:v 3 -c:a pcm_s16le " + Quoted(path));
    EXPECT_EQ(made.exitCode, 0) << made.output;
    return made.exitCode == 0;
}

std::int64_t FolderBytes(const std::string& folder)
{
    std::int64_t bytes = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            bytes += static_cast<std::int64_t>(entry.file_size());
        }
    }
    return bytes;
}

class DiscFill : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const auto& [name, seconds] : clips_) {
            ASSERT_TRUE(MakeNoisyClip(folder_.File(name + ".avi"), seconds));
        }
    }

    TestFolder folder_;
    const std::vector<std::pair<std::string, int>> clips_{{"six", 6}, {"nine", 9}, {"twelve", 12}};
};

TEST_F(DiscFill, ThreeClipsShareAFifteenMegabyteDiscAtOneQuality)
{
    const CliOutcome made = RunCli({"--target", "dvd", "--standard", "pal", "--disc-size", "15", "--author", "disc",
                                       "six.avi", "nine.avi", "twelve.avi"},
        folder_.Path());
    ASSERT_EQ(made.exitCode, 0) << made.err;

    // 15,000,000 bytes less 256 KiB and 16 KiB a title of authoring, 1.16 % and 7040
    // bytes a second of packs and 192 kbit/s of sound: 4,054,627 bit/s of video for 27 s.
    const std::vector<std::int64_t> planned{3264156, 4896234, 6528312};
    std::int64_t total = 0;
    std::vector<double> perSecond;
    for (std::size_t i = 0; i < clips_.size(); ++i) {
        const std::string stream = folder_.File(clips_[i].first + ".mpg");
        const auto bytes = static_cast<std::int64_t>(std::filesystem::file_size(stream));
        EXPECT_NEAR(static_cast<double>(bytes), static_cast<double>(planned[i]), planned[i] * 0.01) << stream;
        total += bytes;
        perSecond.push_back(static_cast<double>(bytes) / clips_[i].second);
        // The sound stays with the pictures through both passes.
        std::string error;
        const ProbedFile probed = Probe(stream, error);
        ASSERT_TRUE(error.empty()) << error;
        EXPECT_EQ(probed.video.at("nb_read_frames"), std::to_string(clips_[i].second * 25)) << stream;
        EXPECT_LE(probed.audioStart, probed.videoStart + 0.001) << stream;
        EXPECT_NEAR(probed.audioEnd, probed.videoEnd, 0.1) << stream;
        const std::string check = folder_.File("check-" + clips_[i].first);
        std::filesystem::create_directories(check);
        std::string log;
        EXPECT_TRUE(PassesDvdauthor(stream, true, check, log)) << log;
    }
    EXPECT_GE(total, 13500000);
    EXPECT_LE(total, 15000000);
    const auto [least, most] = std::minmax_element(perSecond.begin(), perSecond.end());
    EXPECT_LE(*most, *least * 1.2);
    EXPECT_LE(FolderBytes(folder_.File("disc")), 15000000);
}

TEST_F(DiscFill, AnSvcdStreamMeetsItsPlanAndVcdimagerTakesIt)
{
    const CliOutcome made
        = RunCli({"--target", "svcd", "--standard", "pal", "--disc-size", "5", "twelve.avi"}, folder_.Path());
    ASSERT_EQ(made.exitCode, 0) << made.err;
    // 5,000,000 bytes less 750 sectors of 2324 bytes for the image's own areas and the
    // track's gaps, 1.14 % and 690 bytes a second of packs and 224 kbit/s of sound:
    // 1,917,401 bit/s of video for 12 s.
    const std::string stream = folder_.File("twelve.mpg");
    EXPECT_NEAR(static_cast<double>(std::filesystem::file_size(stream)), 3256999.0, 32570.0);
    const std::string check = folder_.File("check-svcd");
    std::filesystem::create_directories(check);
    std::string log;
    EXPECT_TRUE(PassesVcdimager(stream, "svcd", check, log)) << log;
}

TEST_F(DiscFill, ABatchBeyondTheDiscIsRefusedAndNothingIsWritten)
{
    const CliOutcome refused = RunCli({"--target", "dvd", "--standard", "pal", "--disc-size", "3", "--author", "disc",
                                          "six.avi", "nine.avi", "twelve.avi"},
        folder_.Path());
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("at most 0 minutes on 3 MB at this quality; the batch has 1"), std::string::npos)
        << refused.err;
    for (const auto& clip : clips_) {
        EXPECT_FALSE(std::filesystem::exists(folder_.File(clip.first + ".mpg"))) << clip.first;
    }
    EXPECT_FALSE(std::filesystem::exists(folder_.File("disc")));
}

} // namespace
} // namespace discforge::test
