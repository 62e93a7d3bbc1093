// Sound and pictures stay together through a whole conversion: every click of the
// generated sound, which starts exactly on an input second, is heard within one output
// frame of the moment the picture of that second is shown, from the first second of a
// minute-long input to the last, across frame-rate changes and sound forms.
#include "CliProcess.h"
#include "OutputDecoder.h"
#include "SampleInputs.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

namespace discforge::test {
namespace {

using mediagen::AudioForm;
using mediagen::FrameRate;

struct SyncCase {
    const char* name;
    FrameRate inputRate;
    AudioForm sound;
    const char* target;
    bool pal;
    int width; // the input's picture
    int height;
    int seconds;
};

void PrintTo(const SyncCase& sync, std::ostream* out) { *out << sync.name; }

// VCD inputs come at the disc's own picture size, which the frame supply hands on without
// rescaling: the sound is the point here, and the sanitizer build pays dearly for every
// rescaled picture. The DVD case, for the 48000 Hz sound and its coder, is shorter for
// the same reason.
constexpr SyncCase syncCases[] = {
    {"Pal25ToPal", FrameRate::Pal25, AudioForm::Stereo16At44100, "vcd", true, 352, 288, 60},
    {"Pal25ToNtsc", FrameRate::Pal25, AudioForm::Stereo16At44100, "vcd", false, 352, 240, 60},
    {"Ntsc2997ToPal", FrameRate::Ntsc2997, AudioForm::Stereo16At44100, "vcd", true, 352, 288, 60},
    {"Mono8BitAt11025", FrameRate::Pal25, AudioForm::Mono8At11025, "vcd", true, 352, 288, 60},
    {"Stereo16BitAt48000", FrameRate::Pal25, AudioForm::Stereo16At48000, "vcd", true, 352, 288, 60},
    {"Stereo16BitAt44100ToDvd", FrameRate::Pal25, AudioForm::Stereo16At44100, "dvd", true, 180, 144, 20},
};

// The input frame on screen when second `second` starts.
std::int64_t FrameAtSecond(int second, FrameRate rate)
{
    return rate == FrameRate::Pal25 ? 25LL * second : 30000LL * second / 1001;
}

class AudioVideoSync : public testing::TestWithParam<SyncCase> {};

TEST_P(AudioVideoSync, EveryClickIsHeardWithinOneFrameOfItsPicture)
{
    const SyncCase& sync = GetParam();
    TestFolder folder;
    mediagen::AviRecipe recipe;
    recipe.rate = sync.inputRate;
    recipe.audio = sync.sound;
    recipe.width = sync.width;
    recipe.height = sync.height;
    recipe.frames = FramesIn(sync.seconds, sync.inputRate);
    ASSERT_TRUE(MakeAvi(folder.File("minute.avi"), recipe));

    const CliOutcome run =
        RunCli({"--target", sync.target, "--standard", sync.pal ? "pal" : "ntsc", "minute.avi"}, folder.Path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const DecodedOutput output = DecodeOutput(folder.File("minute.mpg"));
    ASSERT_TRUE(output.error.empty()) << output.error;

    // The band survived the scaling and the coding in every picture.
    const auto unreadable = std::count_if(output.pictures.begin(), output.pictures.end(),
                                          [](const DecodedPicture& picture) { return picture.number < 0; });
    EXPECT_EQ(unreadable, 0);
    ASSERT_FALSE(output.pictures.empty());
    EXPECT_EQ(output.pictures.front().number, 0);
    // The pictures reach the end of the input: the last one shown is at most one output
    // frame (and the input frame it falls in) before the input's last frame.
    const double inputFrame = 1 / FramesPerSecond(sync.inputRate);
    EXPECT_LE(static_cast<double>(recipe.frames - 1 - output.pictures.back().number) * inputFrame,
              output.frameDuration + inputFrame);
    ASSERT_EQ(output.clicks.size(), static_cast<std::size_t>(sync.seconds));
    for (int second = 0; second < sync.seconds; ++second) {
        const double shown = FirstShowing(output, FrameAtSecond(second, sync.inputRate));
        const double heard = output.clicks[static_cast<std::size_t>(second)];
        EXPECT_NEAR(heard, shown, output.frameDuration) << "second " << second;
    }
}

INSTANTIATE_TEST_SUITE_P(Conversions, AudioVideoSync, testing::ValuesIn(syncCases),
                         [](const testing::TestParamInfo<SyncCase>& info) { return info.param.name; });

} // namespace
} // namespace discforge::test
