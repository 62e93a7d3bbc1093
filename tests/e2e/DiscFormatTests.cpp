// Every disc format from the command line: a generated clip in, and out a stream of the
// disc's codecs, picture and rates, as long as the clip, that the authoring tool takes.
#include "CliProcess.h"
#include "OutputDecoder.h"
#include "SampleInputs.h"
#include "support/DiscCases.h"
#include "support/StreamChecks.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace discforge::test {
namespace {

const char* TargetOf(const DiscCase& disc)
{
    switch (disc.formatCode & 15) {
    case 3:
        return "svcd";
    case 4:
        return "dvd";
    default:
        return "vcd";
    }
}

class DiscFormatFromTheCommandLine : public testing::TestWithParam<DiscCase> { };

TEST_P(DiscFormatFromTheCommandLine, ConvertsAClipIntoACompliantStreamOfItsLength)
{
    const DiscCase& disc = GetParam();
    TestFolder folder;
    const auto rate = disc.pal ? mediagen::FrameRate::Pal25 : mediagen::FrameRate::Ntsc2997;
    const std::int64_t frames = FramesIn(2, rate);
    ASSERT_TRUE(MakeClip(folder.File("clip.avi"), 2, rate));

    const CliOutcome run
        = RunCli({"--target", TargetOf(disc), "--standard", disc.pal ? "pal" : "ntsc", "clip.avi"}, folder.Path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "") << "a conversion without trouble has nothing to report";
    const std::string output = folder.File("clip.mpg");
    ASSERT_TRUE(std::filesystem::exists(output));

    std::string error;
    const ProbedFile probed = Probe(output, error);
    ASSERT_TRUE(error.empty()) << error;
    ExpectDiscStreams(probed, disc, frames);

    // Pictures and sound each last as long as the clip, within one frame, from the first
    // picture on. The sound may start earlier by its coder's delay, which its time stamps
    // take back. (A picture that starts in the packet of the one before has no time stamp
    // of its own, so the pictures' span can measure one frame short; the difference of
    // two time stamps is then one frame give or take the last bit.)
    const double frameSeconds = 1 / FramesPerSecond(rate);
    const double clipSeconds = static_cast<double>(frames) * frameSeconds;
    const double oneFrame = frameSeconds + 1e-9;
    EXPECT_NEAR(probed.videoEnd - probed.videoStart, clipSeconds, oneFrame);
    EXPECT_NEAR(probed.audioEnd - probed.videoStart, clipSeconds, oneFrame);
    EXPECT_LE(probed.audioStart, probed.videoStart);

    // The clip's own pictures, in order from the first to the last.
    const DecodedOutput decoded = DecodeOutput(output);
    ASSERT_TRUE(decoded.error.empty()) << decoded.error;
    ASSERT_EQ(static_cast<std::int64_t>(decoded.pictures.size()), frames);
    for (std::size_t i = 0; i < decoded.pictures.size(); ++i) {
        EXPECT_EQ(decoded.pictures[i].number, static_cast<std::int64_t>(i)) << "picture " << i;
    }

    std::string log;
    EXPECT_TRUE(PassesAuthoring(output, disc, folder.Path(), log)) << log;
}

INSTANTIATE_TEST_SUITE_P(AllSix, DiscFormatFromTheCommandLine, testing::ValuesIn(discCases), DiscCaseName);

} // namespace
} // namespace discforge::test
