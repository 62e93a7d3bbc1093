// The softeners and the longer dissolves through the media layer, judged by
// the pictures: flicker and noise measured before and after, edges and scene
// cuts that must stay, frame numbers and blend steps of three clips dissolved.
#include "support/StreamChecks.h"

#include "ScriptCapture.h"

#include "../platform/SampleMedia.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace discforge::test {
namespace {

std::string Grey(int value, int frames = 1)
{
    char text[160];
    std::snprintf(text, sizeof text,
        "BlankClip(length=%d, width=64, height=48, fps=25, color=$%02X%02X%02X).ConvertToYV12()", frames, value, value,
        value);
    return text;
}

// Green over the middle of each frame.
std::vector<double> Middles(const Pictures& pictures)
{
    std::vector<double> values;
    for (std::size_t f = 0; f < pictures.frames.size(); ++f) {
        values.push_back(pictures.Mean(f, 16, 12, 32, 24, 1));
    }
    return values;
}

TEST(AvsSoftenMedia, TemporalSoftenEvensFlickerAndKeepsASceneCut)
{
    // 120 and 128 in turn: a flicker within the threshold of 10.
    const std::string flicker = "a = " + Grey(120) + "\nb = " + Grey(128) + "\n(a+b+a+b+a+b+a+b+a+b)";
    const std::vector<double> plain = Middles(ScriptPictures(Script("flicker", flicker)));
    ASSERT_EQ(plain.size(), 10u);
    ASSERT_NEAR(plain[4], 120, 2);
    ASSERT_NEAR(plain[5], 128, 2);
    const std::vector<double> soft
        = Middles(ScriptPictures(Script("flickersoft", flicker + ".TemporalSoften(2, 10, 10)")));
    ASSERT_EQ(soft.size(), 10u);
    // Frame 4 averages frames 2 to 6 (three of 120, two of 128): 123.2; frame 5 124.8.
    for (std::size_t f = 2; f < 8; ++f) {
        EXPECT_NEAR(soft[f], f % 2 == 0 ? 123.2 : 124.8, 2) << "frame " << f;
    }
    // A clip of one frame keeps it: the filter holds frames back until it
    // has those after them.
    EXPECT_EQ(ScriptPictures(Script("onesoft", Grey(120) + ".TemporalSoften(2, 10, 10)")).frames.size(), 1u);
    // A cut from 120 to 240 is far beyond the threshold: nothing crosses it.
    const std::string cut = "(" + Grey(120, 5) + " + " + Grey(240, 5) + ")";
    const std::vector<double> kept = Middles(ScriptPictures(Script("cutsoft", cut + ".TemporalSoften(3, 10, 10)")));
    ASSERT_EQ(kept.size(), 10u);
    for (std::size_t f = 0; f < 10; ++f) {
        EXPECT_NEAR(kept[f], f < 5 ? 120 : 240, 2) << "frame " << f;
    }
}

// Grey noise on the left half, plain white on the right, 128 x 64, lossless.
const std::string& NoisyEdge()
{
    static const std::string path = [] {
        const std::string made = SampleFolder() + "/noisy-edge.avi";
        const CommandResult result
            = RunCommand("ffmpeg -nostdin -v error -y -f lavfi -i "
                         "color=c=0x808080:s=128x64:r=25:d=0.2 -vf "
                         "format=yuv420p,noise=c0s=14:c0f=u,drawbox=x=64:y=0:w=64:h=64:c=white:t=fill "
                         "-c:v ffv1 "
                + Quoted(made));
        EXPECT_EQ(result.exitCode, 0) << result.output;
        return made;
    }();
    return path;
}

double Spread(const Pictures& pictures, int x, int y, int w, int h)
{
    const double mean = pictures.Mean(0, x, y, w, h, 1);
    double sum = 0;
    for (int row = y; row < y + h; ++row) {
        for (int column = x; column < x + w; ++column) {
            const double d = pictures.Mean(0, column, row, 1, 1, 1) - mean;
            sum += d * d;
        }
    }
    return std::sqrt(sum / (w * h));
}

TEST(AvsSoftenMedia, SpatialSoftenSmoothsNoiseAndKeepsAStrongEdge)
{
    const std::string source = "AviSource(\"" + NoisyEdge() + "\")";
    const Pictures plain = ScriptPictures(Script("noisy", source));
    const Pictures soft = ScriptPictures(Script("noisysoft", source + ".SpatialSoften(2, 20, 20)"));
    ASSERT_EQ(soft.width, 128);
    const double before = Spread(plain, 8, 8, 40, 48);
    const double after = Spread(soft, 8, 8, 40, 48);
    ASSERT_GT(before, 4) << "the clip is noisy";
    EXPECT_LT(after, before * 0.6) << before << " -> " << after;
    // The step from grey to white stays where it was and as high.
    for (const Pictures* p : {&plain, &soft}) {
        EXPECT_NEAR(p->Mean(0, 52, 8, 8, 48, 1), 128, 6);
        EXPECT_GT(p->Mean(0, 65, 8, 8, 48, 1), 245);
    }
    EXPECT_GT(soft.Mean(0, 64, 8, 1, 48, 1) - soft.Mean(0, 62, 8, 1, 48, 1), 100);
    // A threshold of 0 softens nothing.
    const Pictures none = ScriptPictures(Script("noisynone", source + ".SpatialSoften(2, 0, 0)"));
    EXPECT_EQ(none.frames[0], plain.frames[0]);
}

TEST(AvsSoftenMedia, ThreeClipsDissolveEachIntoTheEndOfTheOnesBefore)
{
    const Pictures joined = ScriptPictures(Script("dissolvethree",
        "a = AviSource(\"" + Clip() + "\")\nDissolve(a.Trim(0, 9), a.Trim(20, 29), a.Trim(40, 49), 4)"));
    // 10 + 10 - 4 + 10 - 4 frames: 0-5, four blends, 24-25, four blends, 44-49.
    ASSERT_EQ(joined.frames.size(), 22u);
    const std::vector<std::int64_t> numbers = joined.Numbers();
    EXPECT_EQ(std::vector<std::int64_t>(numbers.begin(), numbers.begin() + 6), Range(0, 5));
    EXPECT_EQ(std::vector<std::int64_t>(numbers.begin() + 10, numbers.begin() + 12), Range(24, 25));
    EXPECT_EQ(std::vector<std::int64_t>(numbers.begin() + 16, numbers.end()), Range(44, 49));
    // Black, white, black, overlapping by 2: thirds up, whole white, thirds down.
    const Pictures steps = ScriptPictures(
        Script("dissolvethreesteps", "Dissolve(" + Grey(0, 5) + ", " + Grey(255, 5) + ", " + Grey(0, 5) + ", 2)"));
    const std::vector<double> expected = {0, 0, 0, 85, 170, 255, 170, 85, 0, 0, 0};
    const std::vector<double> means = Middles(steps);
    ASSERT_EQ(means.size(), expected.size());
    for (std::size_t f = 0; f < expected.size(); ++f) {
        EXPECT_NEAR(means[f], expected[f], 5) << "frame " << f;
    }
}

} // namespace
} // namespace discforge::test
