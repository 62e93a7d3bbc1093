// Output frame n of a conversion shows source frame s = n x input rate / output rate,
// rounded down (the output rate is 25 for PAL and exactly 29.97 for NTSC), from the
// first frame through the middle to the last, and every click of the sound is heard
// within one output frame of its picture: for every kind of input users bring, made by
// the ffmpeg command-line tool, at the frame-rate pairs users meet.
//
// The whole matrix (every kind at every rate pair; the program streams know no
// 2997/100 rate) runs in the normal build: 70 conversions of three seconds at a small
// picture size. The sanitizer build, about five times slower per conversion, runs one
// case for each way frames are fetched and for each fault these checks found (picked in
// RepresentativeCase); CMake sets DISCFORGE_FULL_FRAME_MATRIX to 0 there.
#include "SampleInputs.h"
#include "ShownFrames.h"
#include "UserClips.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#ifndef DISCFORGE_FULL_FRAME_MATRIX
#define DISCFORGE_FULL_FRAME_MATRIX 1
#endif

namespace discforge::test {
namespace {

using mediagen::FrameRate;

constexpr int clipSeconds = 3;

struct RatePair {
    const char* name;
    FrameRate input;
    std::int64_t numerator; // input frames per second as a fraction
    std::int64_t denominator;
    bool pal;
};

constexpr RatePair ratePairs[] = {
    {"25ToPal", FrameRate::Pal25, 25, 1, true},
    {"25ToNtsc", FrameRate::Pal25, 25, 1, false},
    {"2997By100ToNtsc", FrameRate::Exact2997, 2997, 100, false},
    {"30000By1001ToNtsc", FrameRate::Ntsc2997, 30000, 1001, false},
    {"30000By1001ToPal", FrameRate::Ntsc2997, 30000, 1001, true},
    {"24000By1001ToNtsc", FrameRate::Film23976, 24000, 1001, false},
};

constexpr ClipKind clipKinds[] = {ClipKind::XvidPcm, ClipKind::XvidMp3, ClipKind::MsMpeg4v2Mp3, ClipKind::MsMpeg4v3Pcm,
    ClipKind::MjpegPcm, ClipKind::MjpegMp3, ClipKind::RawPcm, ClipKind::RawMp3, ClipKind::H264Mp4, ClipKind::H264Mkv,
    ClipKind::Mpeg1Ps, ClipKind::Mpeg2Ps};

struct MatrixCase {
    ClipKind kind;
    RatePair pair;
};

void PrintTo(const MatrixCase& matrixCase, std::ostream* out)
{
    *out << ClipKindName(matrixCase.kind) << " " << matrixCase.pair.name;
}

// Output frames per second as a fraction.
std::int64_t OutputNumerator(const RatePair& pair) { return pair.pal ? 25 : 2997; }
std::int64_t OutputDenominator(const RatePair& pair) { return pair.pal ? 1 : 100; }

// n x input rate / output rate, rounded down, in whole numbers.
std::int64_t SourceFrameOf(std::int64_t n, const RatePair& pair)
{
    return n * pair.numerator * OutputDenominator(pair) / (pair.denominator * OutputNumerator(pair));
}

// The sanitizer build's cases: the sequential fetch of MPEG-4 part 2 with an AVI
// that FFmpeg started late for its MP3 (every picture was one frame late); the AVI
// reader with such a file; the seek-per-frame fetch (uncompressed YUY2); an input of
// exactly 29.97 frames per second (the rounded 1/29.97); a program stream (the seek
// landed a key frame late); Matroska (the file's length, which the sound sets).
bool RepresentativeCase(ClipKind kind, const std::string& pair)
{
    return (kind == ClipKind::XvidMp3 && pair == "25ToNtsc") || (kind == ClipKind::MjpegMp3 && pair == "25ToPal")
        || (kind == ClipKind::RawMp3 && pair == "30000By1001ToPal")
        || (kind == ClipKind::XvidPcm && pair == "2997By100ToNtsc") || (kind == ClipKind::Mpeg2Ps && pair == "25ToPal")
        || (kind == ClipKind::H264Mkv && pair == "24000By1001ToNtsc");
}

std::vector<MatrixCase> MatrixCases()
{
    std::vector<MatrixCase> cases;
    for (const ClipKind kind : clipKinds) {
        for (const RatePair& pair : ratePairs) {
            if (ClipKindTakes(kind, pair.input)
                && (DISCFORGE_FULL_FRAME_MATRIX || RepresentativeCase(kind, pair.name))) {
                cases.push_back(MatrixCase{kind, pair});
            }
        }
    }
    return cases;
}

class FrameExactConversion : public testing::TestWithParam<MatrixCase> { };

TEST_P(FrameExactConversion, EveryOutputFrameShowsItsSourceFrameWithItsSound)
{
    if (!FfmpegProgramFound()) {
        GTEST_SKIP() << "the ffmpeg program is not installed (scripts/install-deps.sh installs it)";
    }
    const ClipKind kind = GetParam().kind;
    const RatePair& pair = GetParam().pair;
    TestFolder folder;
    const UserClip clip
        = MakeUserClip(folder.Path(), kind, pair.input, clipSeconds, sampleWidth, sampleHeight(pair.pal));
    ASSERT_FALSE(clip.path.empty());
    const ShownFrames shown = ConvertAndRead(folder.Path(), clip.path, "vcd", pair.pal);
    ASSERT_TRUE(shown.output.error.empty()) << shown.output.error;
    ASSERT_FALSE(shown.numbers.empty());

    const std::int64_t lastPicture = clip.frames - 1;
    std::string wrong;
    int wrongFrames = 0;
    for (std::size_t n = 0; n < shown.numbers.size(); ++n) {
        const std::int64_t expected = std::min(SourceFrameOf(static_cast<std::int64_t>(n), pair), lastPicture);
        if (shown.numbers[n] != expected && ++wrongFrames <= 10) {
            wrong += " " + std::to_string(n) + ":" + std::to_string(shown.numbers[n]) + "/" + std::to_string(expected);
        }
    }
    EXPECT_EQ(wrongFrames, 0) << "output frame:shown/expected" << wrong;

    // The output lasts as long as the input: no output frame starts after the input's
    // last picture has ended, and the output is at most one output frame shorter.
    const auto outputFrames = static_cast<std::int64_t>(shown.numbers.size());
    EXPECT_LE(SourceFrameOf(outputFrames - 1, pair), lastPicture) << outputFrames << " output frames";
    EXPECT_GE((outputFrames + 1) * OutputDenominator(pair) * pair.numerator,
        clip.frames * pair.denominator * OutputNumerator(pair))
        << outputFrames << " output frames";

    // The click at the start of second j is heard while the picture on screen then is
    // shown, give or take an output frame. (A clip at 29.97 frames per second lasts a
    // little over its seconds, so it may end with the click of one more.)
    ASSERT_GE(shown.output.clicks.size(), static_cast<std::size_t>(clipSeconds));
    for (std::size_t second = 0; second < shown.output.clicks.size(); ++second) {
        const std::int64_t picture = static_cast<std::int64_t>(second) * pair.numerator / pair.denominator;
        ASSERT_LE(picture, lastPicture) << "a click after the last picture";
        const double heard = shown.output.clicks[second];
        const double from = FirstShowing(shown.output, picture);
        const double next = FirstShowing(shown.output, picture + 1);
        const double until = next >= 0 ? next : shown.output.pictures.back().time + shown.output.frameDuration;
        EXPECT_GE(heard, from - shown.output.frameDuration) << "second " << second;
        EXPECT_LE(heard, until + shown.output.frameDuration) << "second " << second;
    }
}

INSTANTIATE_TEST_SUITE_P(UserClips, FrameExactConversion, testing::ValuesIn(MatrixCases()),
    [](const testing::TestParamInfo<MatrixCase>& info) {
        return std::string(ClipKindName(info.param.kind)) + "_" + info.param.pair.name;
    });

// Pictures larger than the disc's are scaled down as they are converted, from the
// decoder's own pictures, by the sequential fetch (MPEG-4 part 2) and by the AVI
// reader (H.264): every output frame still shows its own source frame.
class ScaledDownConversion : public testing::TestWithParam<ClipKind> { };

TEST_P(ScaledDownConversion, EveryOutputFrameShowsItsSourceFrame)
{
    if (!FfmpegProgramFound()) {
        GTEST_SKIP() << "the ffmpeg program is not installed (scripts/install-deps.sh installs it)";
    }
    constexpr RatePair pair = ratePairs[0];
    TestFolder folder;
    const UserClip clip = MakeUserClip(folder.Path(), GetParam(), pair.input, 2, 640, 480);
    ASSERT_FALSE(clip.path.empty());
    const ShownFrames shown = ConvertAndRead(folder.Path(), clip.path, "vcd", pair.pal);
    ASSERT_TRUE(shown.output.error.empty()) << shown.output.error;
    ASSERT_EQ(static_cast<std::int64_t>(shown.numbers.size()), clip.frames);
    for (std::size_t n = 0; n < shown.numbers.size(); ++n) {
        EXPECT_EQ(shown.numbers[n], static_cast<std::int64_t>(n)) << "output frame " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(UserClips, ScaledDownConversion, testing::Values(ClipKind::XvidMp3, ClipKind::H264Mp4),
    [](const testing::TestParamInfo<ClipKind>& info) { return std::string(ClipKindName(info.param)); });

} // namespace
} // namespace discforge::test
