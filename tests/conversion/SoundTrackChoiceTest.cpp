// The window's choice of sound track: the input list names the track played, and
// another one chosen is what the supply hands to the encoder, told by its own tone.
#include "ConversionRig.h"

#include "SampleMedia.h"
#include "app/InputCommands.h"
#include "mediagen/MediaGen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace discforge::test {
namespace {

constexpr double trackTones[] = {400, 1000, 2500}; // hertz, of tracks 1, 2 and 3

// Three seconds of pictures with three AC-3 tracks; the second, in German and
// 5.1, is marked as the default.
std::string ThreeTrackClip()
{
    mediagen::AviRecipe recipe;
    recipe.video = mediagen::VideoCodec::Mjpeg;
    recipe.audio = mediagen::AudioForm::None;
    recipe.width = 96;
    recipe.height = 64;
    recipe.frames = 75;
    std::string arguments;
    std::string maps = " -map 0:v";
    for (int track = 0; track < 3; ++track) {
        arguments += " -f lavfi -i sine=frequency=" + std::to_string(static_cast<int>(trackTones[track]))
            + ":sample_rate=48000:duration=3";
        maps += " -map " + std::to_string(track + 1) + ":a";
    }
    return FfmpegCopy(SampleAvi(recipe),
        arguments + maps
            + " -c:v copy -c:a ac3 -ac:a:1 6 -metadata:s:a:1 language=deu -disposition:a:0 0 "
              "-disposition:a:1 default -disposition:a:2 0",
        "three-tracks.mkv");
}

// The amplitude of each track's tone in the left channel of everything the supply hands out.
std::vector<double> ToneAmplitudes(ConversionRig& rig)
{
    const InputEntry& entry = rig.Entry(0);
    std::vector<double> s(std::size(trackTones));
    std::vector<double> c(std::size(trackTones));
    std::int64_t consumed = 0;
    std::int64_t position = 0;
    while (consumed < entry.selectedSamples) {
        std::int32_t frames = 0;
        std::int32_t bytes = 0;
        const std::uint8_t* samples = nullptr;
        EXPECT_EQ(rig.core.audioSupply.SupplyAudio(static_cast<int>(consumed), &frames, &bytes, &samples), 0);
        if (frames <= 0) {
            break;
        }
        consumed += frames;
        for (std::int32_t i = 0; i < bytes / 4; ++i, ++position) {
            const double value = static_cast<std::int16_t>(samples[i * 4] | samples[i * 4 + 1] << 8);
            for (std::size_t tone = 0; tone < std::size(trackTones); ++tone) {
                const double phase = 2 * std::numbers::pi * trackTones[tone] * static_cast<double>(position) / 48000;
                s[tone] += value * std::sin(phase);
                c[tone] += value * std::cos(phase);
            }
        }
    }
    std::vector<double> amplitudes;
    for (std::size_t tone = 0; tone < std::size(trackTones); ++tone) {
        amplitudes.push_back(std::hypot(s[tone], c[tone]));
    }
    return amplitudes;
}

void ExpectOnlyTone(const std::vector<double>& amplitudes, std::size_t heard)
{
    for (std::size_t tone = 0; tone < amplitudes.size(); ++tone) {
        if (tone != heard) {
            EXPECT_GT(amplitudes[heard], 10 * amplitudes[tone]) << "track " << heard + 1 << " against " << tone + 1;
        }
    }
}

TEST(SoundTrackChoice, TheListNamesTheTrackPlayedAndAnotherChosenIsTheOneSupplied)
{
    ConversionRig rig;
    ASSERT_TRUE(rig.AddInput(ThreeTrackClip()));
    rig.core.settings.outputFormat = formatDvd;
    rig.core.settings.audioSettingsChanged = true;
    ASSERT_EQ(rig.Entry(0).soundTracks.size(), 3u);
    EXPECT_EQ(rig.Entry(0).playedTrack, 2);
    EXPECT_EQ(SoundTrackCaption(rig.Entry(0)), "Sound: 2 of 3 (deu, 5.1)");
    ExpectOnlyTone(ToneAmplitudes(rig), 1);

    ASSERT_TRUE(rig.core.inputCommands.ChooseSoundTrack(0, 3));
    EXPECT_EQ(rig.Entry(0).playedTrack, 3);
    EXPECT_EQ(SoundTrackCaption(rig.Entry(0)), "Sound: 3 of 3 (und, mono)");
    rig.core.settings.audioSettingsChanged = true;
    ExpectOnlyTone(ToneAmplitudes(rig), 2);

    // A track the file lacks changes nothing.
    EXPECT_FALSE(rig.core.inputCommands.ChooseSoundTrack(0, 4));
    EXPECT_EQ(rig.Entry(0).playedTrack, 3);
}

} // namespace
} // namespace discforge::test
