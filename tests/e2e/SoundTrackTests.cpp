// The sound track an input plays: the one its file marks as default, else the
// first; another one when the command line or the project asks for it. Each track
// carries a tone of its own, so the converted sound tells which one was taken.
#include "CliProcess.h"
#include "SampleInputs.h"
#include "support/StreamChecks.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>
#include <vector>

namespace discforge::test {
namespace {

constexpr double trackTones[] = {400, 1000, 2500}; // hertz, of tracks 1, 2 and 3
constexpr int measureRate = 8000;

std::string ReadText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A clip of three seconds with `tracks` sound tracks; `codecs` and `marks` are ffmpeg
// options for the sound coders and the tracks' dispositions and languages.
std::string MultiTrackClip(const TestFolder& folder, const std::string& name, int tracks, const std::string& codecs)
{
    mediagen::AviRecipe recipe;
    recipe.video = mediagen::VideoCodec::RawRgb;
    recipe.audio = mediagen::AudioForm::None;
    recipe.width = sampleWidth;
    recipe.height = sampleHeight(true);
    recipe.frames = 75;
    if (!MakeAvi(folder.File("pictures.avi"), recipe)) {
        return {};
    }
    std::string inputs = "-i " + Quoted(folder.File("pictures.avi"));
    std::string maps = " -map 0:v";
    for (int track = 0; track < tracks; ++track) {
        inputs += " -f lavfi -i sine=frequency=" + std::to_string(static_cast<int>(trackTones[track]))
            + ":sample_rate=48000:duration=3";
        maps += " -map " + std::to_string(track + 1) + ":a";
    }
    const std::string path = folder.File(name);
    const CommandResult made = RunCommand(
        "ffmpeg -v error -nostdin -y " + inputs + maps + " -c:v mpeg4 -q:v 3 " + codecs + " " + Quoted(path));
    EXPECT_EQ(made.exitCode, 0) << made.output;
    return made.exitCode == 0 ? path : std::string{};
}

// Which track's tone the converted stream's first sound stream carries (the one a
// player starts with): its number, or 0 when no tone stands out ten times above the others.
int TrackHeard(const TestFolder& folder, const std::string& stream)
{
    const std::string pcm = folder.File("heard.raw");
    const CommandResult decoded = RunCommand("ffmpeg -v error -nostdin -y -i " + Quoted(stream)
        + " -map 0:a:0 -ac 1 -ar " + std::to_string(measureRate) + " -f s16le " + Quoted(pcm));
    EXPECT_EQ(decoded.exitCode, 0) << decoded.output;
    const std::string bytes = ReadText(pcm);
    std::vector<double> amplitudes;
    for (const double hertz : trackTones) {
        double s = 0;
        double c = 0;
        const std::size_t samples = bytes.size() / 2;
        for (std::size_t i = 0; i < samples; ++i) {
            const auto word = static_cast<std::int16_t>(
                static_cast<std::uint8_t>(bytes[i * 2]) | static_cast<std::uint8_t>(bytes[i * 2 + 1]) << 8);
            const double phase = 2 * std::numbers::pi * hertz * static_cast<double>(i) / measureRate;
            s += word * std::sin(phase);
            c += word * std::cos(phase);
        }
        amplitudes.push_back(std::hypot(s, c));
    }
    for (std::size_t track = 0; track < amplitudes.size(); ++track) {
        bool standsOut = amplitudes[track] > 0;
        for (std::size_t other = 0; other < amplitudes.size(); ++other) {
            standsOut = standsOut && (other == track || amplitudes[track] > 10 * amplitudes[other]);
        }
        if (standsOut) {
            return static_cast<int>(track) + 1;
        }
    }
    return 0;
}

class SoundTracks : public testing::Test {
protected:
    void SetUp() override
    {
        // Track 2 is the default, in German and 5.1.
        threeTracks_ = MultiTrackClip(folder_, "three.mkv", 3,
            "-c:a ac3 -ac:a:1 6 -metadata:s:a:1 language=deu -metadata:s:a:0 language=eng -disposition:a:0 0 "
            "-disposition:a:1 default -disposition:a:2 0");
        ASSERT_FALSE(threeTracks_.empty());
    }

    int Convert(const std::vector<std::string>& options)
    {
        std::vector<std::string> arguments{"--target", "dvd", "--standard", "pal", "--output", "converted.mpg"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        run_ = RunCli(arguments, folder_.Path());
        return run_.exitCode;
    }

    TestFolder folder_;
    std::string threeTracks_;
    CliOutcome run_;
};

TEST_F(SoundTracks, TheTrackTheFileMarksAsDefaultIsTakenAndTheRunLogListsThemAll)
{
    ASSERT_EQ(Convert({threeTracks_}), 0) << run_.err;
    EXPECT_EQ(TrackHeard(folder_, folder_.File("converted.mpg")), 2);
    const std::string log = ReadText(StateFolder(folder_.Path()) + "/ferrowick-discforge/avi_log.txt");
    EXPECT_NE(log.find("Sound track 1: eng, ac3, mono (1 channels), 48000 Hz"), std::string::npos) << log;
    EXPECT_NE(log.find("Sound track 2: deu, ac3, 5.1 (6 channels), 48000 Hz, default, played"), std::string::npos)
        << log;
    EXPECT_NE(log.find("Sound track 3: und, ac3, mono (1 channels), 48000 Hz"), std::string::npos) << log;
}

TEST_F(SoundTracks, WithoutADefaultTheFirstTrackIsTaken)
{
    const std::string twoTracks
        = MultiTrackClip(folder_, "two.mp4", 2, "-c:a aac -disposition:a:0 0 -disposition:a:1 0");
    ASSERT_FALSE(twoTracks.empty());
    ASSERT_EQ(Convert({twoTracks}), 0) << run_.err;
    EXPECT_EQ(TrackHeard(folder_, folder_.File("converted.mpg")), 1);
    ASSERT_EQ(Convert({"--audio-track", "2", twoTracks}), 0) << run_.err;
    EXPECT_EQ(TrackHeard(folder_, folder_.File("converted.mpg")), 2);
}

TEST_F(SoundTracks, TheCommandLineTakesTheTrackAskedFor)
{
    ASSERT_EQ(Convert({"--audio-track", "3", threeTracks_}), 0) << run_.err;
    EXPECT_EQ(TrackHeard(folder_, folder_.File("converted.mpg")), 3);
    ASSERT_EQ(Convert({"--audio-track", "1", threeTracks_}), 0) << run_.err;
    EXPECT_EQ(TrackHeard(folder_, folder_.File("converted.mpg")), 1);
}

TEST_F(SoundTracks, ATrackTheFileLacksIsAUsageErrorAndNothingIsWritten)
{
    EXPECT_EQ(Convert({"--audio-track", "4", threeTracks_}), 2);
    EXPECT_NE(run_.err.find("--audio-track 4"), std::string::npos) << run_.err;
    EXPECT_NE(run_.err.find("has 3 sound tracks"), std::string::npos) << run_.err;
    EXPECT_FALSE(std::filesystem::exists(folder_.File("converted.mpg")));
    EXPECT_EQ(Convert({"--audio-track", "0", threeTracks_}), 2);
    EXPECT_FALSE(std::filesystem::exists(folder_.File("converted.mpg")));
}

TEST_F(SoundTracks, AProjectKeepsTheTrackChosen)
{
    const CliOutcome saved
        = RunCli({"--audio-track", "3", "--save-project", "tracks.mdp", threeTracks_}, folder_.Path());
    ASSERT_EQ(saved.exitCode, 0) << saved.err;
    ASSERT_EQ(Convert({"--project", "tracks.mdp"}), 0) << run_.err;
    EXPECT_EQ(TrackHeard(folder_, folder_.File("converted.mpg")), 3);
    // A project saved without a choice plays the file's default.
    const CliOutcome plain = RunCli({"--save-project", "plain.mdp", threeTracks_}, folder_.Path());
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    ASSERT_EQ(Convert({"--project", "plain.mdp"}), 0) << run_.err;
    EXPECT_EQ(TrackHeard(folder_, folder_.File("converted.mpg")), 2);
}

} // namespace
} // namespace discforge::test
