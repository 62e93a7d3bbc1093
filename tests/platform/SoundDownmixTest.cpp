// Sound of more than two channels comes as stereo: the centre (where films keep the
// speech) is heard on both sides, and a loud track on every channel, the low-frequency
// one included, does not clip.
#include "MmStreamTestSupport.h"

#include "support/StreamChecks.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace discforge::test {
namespace {

constexpr int rate = 48000;

// One second of 5.1 sound at 48000 Hz made by the ffmpeg program, each channel
// given by its expression (front left, front right, centre, LFE, back left, back right).
std::string SurroundClip(const std::string& name, const std::vector<std::string>& channels)
{
    std::string expressions;
    for (const std::string& channel : channels) {
        expressions += (expressions.empty() ? "" : "|") + channel;
    }
    const std::string path = SampleFolder() + "/" + name;
    const CommandResult made = RunCommand("ffmpeg -nostdin -v error -y -f lavfi -i 'aevalsrc=" + expressions
        + ":c=5.1:s=" + std::to_string(rate) + ":d=1' -c:a pcm_s16le " + Quoted(path));
    EXPECT_EQ(made.exitCode, 0) << made.output;
    return path;
}

// The whole stereo sound of a file, as 16-bit words, left then right.
std::vector<std::int16_t> StereoOf(const std::string& path)
{
    MediaError error;
    std::unique_ptr<MmStream> stream = MmStream::Open(path, MmPurpose::PrimaryAudio, error);
    EXPECT_TRUE(stream) << error.text;
    std::vector<std::int16_t> words;
    if (!stream) {
        return words;
    }
    EXPECT_EQ(stream->WaveFormat().channels, 2);
    EXPECT_EQ(stream->WaveFormat().bitsPerSample, 16);
    std::vector<std::uint8_t> block(1920 * 4);
    EXPECT_TRUE(stream->CreateAudioSample(block.data(), block.size(), error)) << error.text;
    EXPECT_TRUE(stream->Run(error)) << error.text;
    for (int i = 0; i < 25; ++i) {
        EXPECT_EQ(UpdateAndWait(*stream), MmAnswer::Done) << stream->LastError();
        for (std::size_t at = 0; at + 1 < block.size(); at += 2) {
            words.push_back(static_cast<std::int16_t>(block[at] | block[at + 1] << 8));
        }
    }
    return words;
}

// The amplitude of the `hertz` tone on one side (0 left, 1 right), by correlation.
double ToneAmplitude(const std::vector<std::int16_t>& words, int side, double hertz)
{
    double s = 0;
    double c = 0;
    const std::size_t frames = words.size() / 2;
    for (std::size_t i = 0; i < frames; ++i) {
        const double phase = 2 * std::numbers::pi * hertz * static_cast<double>(i) / rate;
        const double value = words[i * 2 + static_cast<std::size_t>(side)] / 32768.0;
        s += value * std::sin(phase);
        c += value * std::cos(phase);
    }
    return 2 * std::hypot(s, c) / static_cast<double>(frames);
}

TEST(SoundDownmix, TheCentreIsHeardOnBothSides)
{
    const std::vector<std::int16_t> stereo
        = StereoOf(SurroundClip("centre.wav", {"0", "0", "0.5*sin(2*PI*440*t)", "0", "0", "0"}));
    ASSERT_EQ(stereo.size(), static_cast<std::size_t>(2 * rate));
    for (int side = 0; side < 2; ++side) {
        // Mixed in with the front and back channels, yet well audible: above -20 dB.
        EXPECT_GT(ToneAmplitude(stereo, side, 440), 0.05) << "side " << side;
    }
}

TEST(SoundDownmix, EveryChannelAtFullScaleDoesNotClip)
{
    const std::string loud = "0.99*sin(2*PI*440*t)";
    const std::string bass = "0.99*sin(2*PI*50*t)";
    const std::vector<std::int16_t> stereo = StereoOf(SurroundClip("loud.wav", {loud, loud, loud, bass, loud, loud}));
    ASSERT_EQ(stereo.size(), static_cast<std::size_t>(2 * rate));
    const auto clipped = std::count_if(
        stereo.begin(), stereo.end(), [](std::int16_t word) { return word >= 32767 || word <= -32768; });
    EXPECT_EQ(clipped, 0);
    // Still loud: the mix is scaled to fit, not silenced.
    EXPECT_GT(ToneAmplitude(stereo, 0, 440), 0.3);
}

} // namespace
} // namespace discforge::test
