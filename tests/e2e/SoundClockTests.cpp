// Sound where the file puts it: flash-and-click clips made by the ffmpeg program in
// the containers and sound coders users bring, with the sound starting on time,
// 0.32 s late or 0.32 s early where the container can say so, each converted to one
// of the three discs in turn. Every click must be heard with the picture of its
// second: within 12 ms where the disc keeps the input's frame rate, within one
// output frame and 5 ms where the frame mapping changes it (a picture is shown from
// the first output frame that reaches it). Where the sound's timestamps jump over a
// gap, the gap is silence and the clicks after it stay with their flashes. The
// sanitizer build (DISCFORGE_FULL_FRAME_MATRIX 0) runs one case of each way the
// sound is placed, and not the ten-minute runs.
#include "CliProcess.h"
#include "OutputDecoder.h"
#include "SampleInputs.h"
#include "SoundClips.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#ifndef DISCFORGE_FULL_FRAME_MATRIX
#define DISCFORGE_FULL_FRAME_MATRIX 1
#endif

namespace discforge::test {
namespace {

using mediagen::FrameRate;

constexpr SoundContainer aviMp3{"AviMp3", "avi", "-c:v mpeg4 -vtag XVID -q:v 3 -c:a libmp3lame -b:a 128k"};
constexpr SoundContainer aviPcm{"AviPcm", "avi", "-c:v mpeg4 -vtag XVID -q:v 3 -c:a pcm_s16le"};
constexpr SoundContainer aviAc3{"AviAc3", "avi", "-c:v mpeg4 -vtag XVID -q:v 3 -c:a ac3 -b:a 192k"};
constexpr SoundContainer mp4Aac{"Mp4Aac", "mp4", "-c:v libx264 -preset veryfast -crf 18 -pix_fmt yuv420p -c:a aac"};
constexpr SoundContainer mkvAc3{"MkvAc3", "mkv", "-c:v libx264 -preset veryfast -crf 18 -c:a ac3 -b:a 192k"};
constexpr SoundContainer mkvVorbis{"MkvVorbis", "mkv", "-c:v libx264 -preset veryfast -crf 18 -c:a libvorbis"};
constexpr SoundContainer mkvOpus{"MkvOpus", "mkv", "-c:v libx264 -preset veryfast -crf 18 -c:a libopus"};
constexpr SoundContainer mpegPs{"MpegPs", "vob", "-c:v mpeg2video -q:v 3 -c:a mp2 -b:a 192k -f vob"};
constexpr SoundContainer mpegTs{"MpegTs", "ts", "-c:v mpeg2video -q:v 3 -c:a ac3 -b:a 192k -f mpegts"};

struct ClockCase {
    const SoundContainer* container;
    SoundStart start;
    const char* target;
    bool pal;
    bool representative = false; // run by the sanitizer build too
};

std::string CaseName(const ClockCase& clock)
{
    return std::string(clock.container->name) + SoundStartName(clock.start) + "To" + clock.target
        + (clock.pal ? "" : "Ntsc");
}

void PrintTo(const ClockCase& clock, std::ostream* out) { *out << CaseName(clock); }

// AVI carries no start times, so its files come on time only.
constexpr ClockCase clockCases[] = {
    {&aviMp3, SoundStart::OnTime, "vcd", true, true},
    {&aviPcm, SoundStart::OnTime, "svcd", true},
    {&aviAc3, SoundStart::OnTime, "dvd", true},
    {&mp4Aac, SoundStart::OnTime, "vcd", true},
    {&mp4Aac, SoundStart::Late, "svcd", true, true},
    {&mp4Aac, SoundStart::Early, "dvd", true},
    {&mkvAc3, SoundStart::OnTime, "svcd", true},
    {&mkvAc3, SoundStart::Late, "dvd", true},
    {&mkvAc3, SoundStart::Early, "vcd", true, true},
    {&mkvVorbis, SoundStart::OnTime, "dvd", true},
    {&mkvVorbis, SoundStart::Late, "vcd", true},
    {&mkvVorbis, SoundStart::Early, "svcd", true},
    {&mkvOpus, SoundStart::OnTime, "vcd", true},
    {&mkvOpus, SoundStart::Late, "svcd", true},
    {&mkvOpus, SoundStart::Early, "dvd", true},
    {&mpegPs, SoundStart::OnTime, "svcd", true},
    {&mpegPs, SoundStart::Late, "dvd", true},
    {&mpegPs, SoundStart::Early, "vcd", true},
    {&mpegTs, SoundStart::OnTime, "dvd", true},
    {&mpegTs, SoundStart::Late, "vcd", true},
    {&mpegTs, SoundStart::Early, "svcd", true},
    {&mkvAc3, SoundStart::Gapped, "dvd", true, true},
    {&mpegTs, SoundStart::Gapped, "vcd", true},
    {&mp4Aac, SoundStart::Late, "dvd", false},
    {&aviMp3, SoundStart::OnTime, "vcd", false},
};

std::vector<ClockCase> CasesOfThisBuild(const auto& cases)
{
    std::vector<ClockCase> chosen;
    std::copy_if(std::begin(cases), std::end(cases), std::back_inserter(chosen),
        [](const ClockCase& clock) { return DISCFORGE_FULL_FRAME_MATRIX || clock.representative; });
    return chosen;
}

constexpr int clipSeconds = 4;
constexpr double sameRateTolerance = 0.012;
constexpr double mappedRateSlack = 0.005;

// Converts `input` and checks every click against the first showing of its second's
// picture; `firstSecond` is the first click the input still holds.
void ExpectClicksWithTheirPictures(const TestFolder& folder, const std::string& input, const ClockCase& clock,
    int seconds, int firstSecond, int checkFrom)
{
    const CliOutcome run = RunCli(
        {"--target", clock.target, "--standard", clock.pal ? "pal" : "ntsc", "--output", "converted.mpg", input},
        folder.Path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const DecodedOutput output = DecodeOutput(folder.File("converted.mpg"));
    ASSERT_TRUE(output.error.empty()) << output.error;
    ASSERT_EQ(output.clicks.size(), static_cast<std::size_t>(seconds - firstSecond));
    const double tolerance = clock.pal ? sameRateTolerance : output.frameDuration + mappedRateSlack;
    for (int second = std::max(firstSecond, checkFrom); second < seconds; ++second) {
        const double shown = FirstShowing(output, 25LL * second);
        ASSERT_GE(shown, 0) << "second " << second << " is never shown";
        const double heard = output.clicks[static_cast<std::size_t>(second - firstSecond)];
        EXPECT_NEAR(heard, shown, tolerance) << "second " << second;
    }
}

class SoundClock : public testing::TestWithParam<ClockCase> { };

TEST_P(SoundClock, EveryClickIsHeardWithTheFlashOfItsSecond)
{
    const ClockCase& clock = GetParam();
    TestFolder folder;
    const std::string input = MakeSoundClip(folder.Path(), *clock.container, clock.start, FrameRate::Pal25, clipSeconds,
        sampleWidth, sampleHeight(clock.pal));
    ASSERT_FALSE(input.empty());
    const bool fromTheStart = clock.start == SoundStart::OnTime || clock.start == SoundStart::Gapped;
    ExpectClicksWithTheirPictures(folder, input, clock, clipSeconds, fromTheStart ? 0 : 1, 0);
}

INSTANTIATE_TEST_SUITE_P(Inputs, SoundClock, testing::ValuesIn(CasesOfThisBuild(clockCases)),
    [](const testing::TestParamInfo<ClockCase>& info) { return CaseName(info.param); });

// Ten minutes on: the sound has not drifted from the pictures, neither where the
// frame mapping turns 25 pictures a second into NTSC's (within its sawtooth) nor
// where a Matroska sound is placed by its timestamps.
class SoundClockAfterTenMinutes : public testing::TestWithParam<ClockCase> { };

TEST_P(SoundClockAfterTenMinutes, TheLastClicksAreStillWithTheirFlashes)
{
    constexpr int seconds = 600;
    constexpr int lastChecked = 10;
    const ClockCase& clock = GetParam();
    TestFolder folder;
    const std::string input = MakeSoundClip(
        folder.Path(), *clock.container, clock.start, FrameRate::Pal25, seconds, sampleWidth, sampleHeight(clock.pal));
    ASSERT_FALSE(input.empty());
    ExpectClicksWithTheirPictures(
        folder, input, clock, seconds, clock.start == SoundStart::OnTime ? 0 : 1, seconds - lastChecked);
}

constexpr ClockCase longCases[] = {
    {&aviPcm, SoundStart::OnTime, "dvd", false},
    {&mkvOpus, SoundStart::Late, "vcd", true},
};

GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(SoundClockAfterTenMinutes);
INSTANTIATE_TEST_SUITE_P(Inputs, SoundClockAfterTenMinutes, testing::ValuesIn(CasesOfThisBuild(longCases)),
    [](const testing::TestParamInfo<ClockCase>& info) { return CaseName(info.param); });

} // namespace
} // namespace discforge::test
