// Planned sizes hold for short clips as for long ones: a clip of 4 s and one of 60 s
// made by the ffmpeg program, each alone on a disc sized for about 3 Mbit/s of video,
// come out within half a per cent of the stream the plan gives them, the 4 s ones within
// one per cent: with B-pictures they land half to three quarters of a per cent over.
#include "CliProcess.h"
#include "support/StreamChecks.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace discforge::test {
namespace {

// Moving noisy pictures take every bit a plan gives them; MPEG-4 part 2 and 16-bit
// sound in AVI, as users bring. The long clip's noise is drawn at a quarter of the
// area, so that its source stays small.
bool MakeNoisyClip(const std::string& path, int seconds, const char* size)
{
    const std::string d = std::to_string(seconds);
    const CommandResult made = RunCommand("ffmpeg -nostdin -v error -y -f lavfi -i 'testsrc2=size=" + std::string(size)
        + ":rate=25:duration=" + d + ",noise=alls=24:allf=t' -f lavfi -i 'sine=frequency=440:sample_rate=48000:duration="
        + d + "' -ac 2 -c:v mpeg4 -q:v 4 -c:a pcm_s16le " + Quoted(path));
    EXPECT_EQ(made.exitCode, 0) << made.output;
    return made.exitCode == 0;
}

std::int64_t StreamBytes(const TestFolder& folder, const std::string& name)
{
    return static_cast<std::int64_t>(std::filesystem::file_size(folder.File(name)));
}

// A single input fills the disc less the authoring's own 256 KiB and 16 KiB for its title.
constexpr std::int64_t dvdAuthoringBytes = 262144 + 16384;

TEST(ShortPlan, AFourSecondDvdClipMeetsItsPlanAtLowAndHighRates)
{
    TestFolder folder;
    ASSERT_TRUE(MakeNoisyClip(folder.File("low.avi"), 4, "720x576"));
    std::filesystem::copy_file(folder.File("low.avi"), folder.File("high.avi"));
    // 2 MB hold 3.2 Mbit/s of video for 4 s, 4 MB hold 7.1 Mbit/s.
    for (const auto& [name, megabytes] : {std::pair{"low", 2}, std::pair{"high", 4}}) {
        const CliOutcome made = RunCli(
            {"--target", "dvd", "--standard", "pal", "--disc-size", std::to_string(megabytes), std::string(name) + ".avi"},
            folder.Path());
        ASSERT_EQ(made.exitCode, 0) << made.err;
        const std::int64_t planned = megabytes * 1000000 - dvdAuthoringBytes;
        EXPECT_NEAR(static_cast<double>(StreamBytes(folder, std::string(name) + ".mpg")), static_cast<double>(planned),
            planned * 0.01)
            << name;
    }
}

TEST(ShortPlan, AFourSecondSvcdClipMeetsItsPlan)
{
    TestFolder folder;
    ASSERT_TRUE(MakeNoisyClip(folder.File("short.avi"), 4, "720x576"));
    const CliOutcome made
        = RunCli({"--target", "svcd", "--standard", "pal", "--disc-size", "3", "short.avi"}, folder.Path());
    ASSERT_EQ(made.exitCode, 0) << made.err;
    // 3,000,000 bytes less 750 sectors of 2324 bytes for the image's areas and the track's gaps.
    EXPECT_NEAR(static_cast<double>(StreamBytes(folder, "short.mpg")), 1257000.0, 1257000 * 0.01);
}

TEST(ShortPlan, AMinuteLongDvdClipMeetsItsPlan)
{
    TestFolder folder;
    ASSERT_TRUE(MakeNoisyClip(folder.File("minute.avi"), 60, "360x288"));
    const CliOutcome made
        = RunCli({"--target", "dvd", "--standard", "pal", "--disc-size", "26", "minute.avi"}, folder.Path());
    ASSERT_EQ(made.exitCode, 0) << made.err;
    const std::int64_t planned = 26000000 - dvdAuthoringBytes;
    EXPECT_NEAR(static_cast<double>(StreamBytes(folder, "minute.mpg")), static_cast<double>(planned), planned * 0.005);
}

} // namespace
} // namespace discforge::test
