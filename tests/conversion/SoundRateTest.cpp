// The sound the supply hands to the encoder, before its lossy coder: a pure tone at
// any of the usual input rates comes out at the disc's rate with everything that is
// not the tone at least 60 dB below it, in the length the running totals give.
#include "ConversionRig.h"

#include "SampleMedia.h"
#include "mediagen/MediaGen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace discforge::test {
namespace {

constexpr int clipFrames = 75; // three seconds at 25 fps

// An AVI of numbered pictures whose stereo sound is a tone of `hertz` at `rate`, half of full scale.
std::string ToneClip(int rate, double hertz)
{
    mediagen::AviRecipe recipe;
    recipe.video = mediagen::VideoCodec::Mjpeg;
    recipe.audio = mediagen::AudioForm::None;
    recipe.width = 96;
    recipe.height = 64;
    recipe.frames = clipFrames;
    const std::string tone = "0.5*sin(2*PI*" + std::to_string(hertz) + "*t)";
    return FfmpegCopy(SampleAvi(recipe),
        "-f lavfi -i 'aevalsrc=" + tone + "|" + tone + ":s=" + std::to_string(rate)
            + ":d=3' -map 0:v -map 1:a -c:v copy " + "-c:a pcm_s16le",
        "tone" + std::to_string(rate) + ".avi");
}

// How far below the tone everything else lies, in dB, over the left channel from
// `first` on for `count` samples at `rate`: the tone is fitted by least squares
// (sine, cosine and a constant) and the rest is what the fit leaves.
double RestBelowTone(const std::vector<double>& left, std::size_t first, std::size_t count, double hertz, int rate)
{
    double ss = 0, cc = 0, sc = 0, sy = 0, cy = 0;
    for (std::size_t i = first; i < first + count; ++i) {
        const double phase = 2 * std::numbers::pi * hertz * static_cast<double>(i) / rate;
        const double s = std::sin(phase);
        const double c = std::cos(phase);
        ss += s * s;
        cc += c * c;
        sc += s * c;
        sy += s * left[i];
        cy += c * left[i];
    }
    const double determinant = ss * cc - sc * sc;
    const double a = (sy * cc - cy * sc) / determinant;
    const double b = (cy * ss - sy * sc) / determinant;
    double tone = 0;
    double rest = 0;
    for (std::size_t i = first; i < first + count; ++i) {
        const double phase = 2 * std::numbers::pi * hertz * static_cast<double>(i) / rate;
        const double fitted = a * std::sin(phase) + b * std::cos(phase);
        tone += fitted * fitted;
        rest += (left[i] - fitted) * (left[i] - fitted);
    }
    return 10 * std::log10(tone / std::max(rest, 1e-30));
}

struct ToneCase {
    int rate;
    int format;
};

class SupplyTone : public testing::TestWithParam<ToneCase> { };

TEST_P(SupplyTone, EverythingButTheToneIsSixtyDecibelsBelowIt)
{
    const ToneCase& tone = GetParam();
    const int discRate = tone.format == formatDvd ? 48000 : 44100;
    // Well inside both rates' bands.
    const double hertz = std::min({7000.0, 0.3 * tone.rate, 0.3 * discRate});
    ConversionRig rig;
    ASSERT_TRUE(rig.AddInput(ToneClip(tone.rate, hertz)));
    rig.core.settings.outputFormat = tone.format;
    rig.core.settings.audioSettingsChanged = true;
    const InputEntry& entry = rig.Entry(0);
    ASSERT_TRUE(entry.hasAudio);
    ASSERT_EQ(entry.waveFormat.sampleRate, static_cast<std::uint32_t>(tone.rate));

    std::vector<double> left;
    std::int64_t consumed = 0;
    std::int64_t delivered = 0;
    while (consumed < entry.selectedSamples) {
        std::int32_t frames = 0;
        std::int32_t bytes = 0;
        const std::uint8_t* samples = nullptr;
        ASSERT_EQ(rig.core.audioSupply.SupplyAudio(static_cast<int>(consumed), &frames, &bytes, &samples), 0);
        ASSERT_GT(frames, 0);
        ASSERT_EQ(bytes % 4, 0);
        consumed += frames;
        delivered += bytes;
        // The length follows the rate ratio, within one stereo frame after every call.
        const double exact = static_cast<double>(consumed) * 4 * discRate / tone.rate;
        ASSERT_LE(std::abs(static_cast<double>(delivered) - exact), 4.0) << "after " << consumed << " frames";
        for (std::int32_t i = 0; i < bytes / 4; ++i) {
            left.push_back(static_cast<std::int16_t>(samples[i * 4] | samples[i * 4 + 1] << 8) / 32768.0);
        }
    }
    ASSERT_GE(left.size(), static_cast<std::size_t>(2 * discRate));
    // One second from half a second in, away from the ends of the sound.
    EXPECT_GE(RestBelowTone(
                  left, static_cast<std::size_t>(discRate / 2), static_cast<std::size_t>(discRate), hertz, discRate),
        60.0);
}

constexpr ToneCase toneCases[] = {
    {8000, formatDvd},
    {11025, formatDvd},
    {22050, formatVcd},
    {32000, formatSvcd},
    {44100, formatDvd},
    {48000, formatVcd},
    {96000, formatDvd},
    {96000, formatVcd},
};

INSTANTIATE_TEST_SUITE_P(
    Rates, SupplyTone, testing::ValuesIn(toneCases), [](const testing::TestParamInfo<ToneCase>& info) {
        return std::to_string(info.param.rate) + (info.param.format == formatDvd ? "ToDvd" : "To44100");
    });

} // namespace
} // namespace discforge::test
