// A converted picture is as bright as its source: 4:3 clips made by the ffmpeg program, one
// at the DVD's own frame size (each picture converted by the program's own colour
// kernel) and one that is scaled on the way (converted by FFmpeg's scaler), each of
// moving colour gradients: mid-tones of every hue, where every term of a colour counts.
// The decoded stream's mean luma stays within half a level of the source's (+0.01 at
// the disc's size, -0.33 scaled); truncating the colour sums once made every picture
// a level darker (-1.07 and -1.01), the largest error a disc stream then carried.
#include "CliProcess.h"
#include "support/StreamChecks.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

namespace discforge::test {
namespace {

// The mean over all pictures of each picture's mean luma, from ffmpeg's signalstats.
double MeanLuma(const std::string& path)
{
    const CommandResult measured = RunCommand("ffmpeg -nostdin -v error -i " + Quoted(path)
        + " -an -vf 'signalstats,metadata=print:key=lavfi.signalstats.YAVG:file=-' -f null -");
    EXPECT_EQ(measured.exitCode, 0) << measured.output;
    std::istringstream lines(measured.output);
    std::string line;
    double sum = 0;
    int pictures = 0;
    const std::string key = "lavfi.signalstats.YAVG=";
    while (std::getline(lines, line)) {
        const auto at = line.find(key);
        if (at != std::string::npos) {
            sum += std::strtod(line.c_str() + at + key.size(), nullptr);
            ++pictures;
        }
    }
    EXPECT_GT(pictures, 0) << measured.output;
    return pictures == 0 ? 0 : sum / pictures;
}

class Brightness : public ::testing::TestWithParam<std::string> {
protected:
    TestFolder folder_;
};

TEST_P(Brightness, TheStreamIsAsBrightAsItsSource)
{
    // Lossless YUV pictures, so that the source's levels are the ones measured.
    const std::string source = folder_.File("source.avi");
    const CommandResult made = RunCommand("ffmpeg -nostdin -v error -y -f lavfi -i 'gradients=size=" + GetParam()
        + ":rate=25:duration=2:n=4:seed=3:speed=0.05' -f lavfi -i 'sine=frequency=440:sample_rate=48000:duration=2' "
          "-ac 2"
          " -aspect 4:3 -c:v ffvhuff -pix_fmt yuv420p -c:a pcm_s16le "
        + Quoted(source));
    ASSERT_EQ(made.exitCode, 0) << made.output;
    const CliOutcome converted = RunCli({"--target", "dvd", "--standard", "pal", "source.avi"}, folder_.Path());
    ASSERT_EQ(converted.exitCode, 0) << converted.err;
    EXPECT_NEAR(MeanLuma(folder_.File("source.mpg")), MeanLuma(source), 0.5) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, Brightness, ::testing::Values("720x576", "640x480"), [](const ::testing::TestParamInfo<std::string>& info) {
        return info.param == "720x576" ? std::string("AtTheDiscsSize") : std::string("Scaled");
    });

} // namespace
} // namespace discforge::test
