// More sound streams in a DVD program stream: tracks the library reads from files made
// by the ffmpeg program, each placed by its start instant, 5.1 kept as 5.1, AC-3 at
// 48 kHz carried as it is; refused where a disc cannot carry them.
#include "ConvertLibrary.h"
#include "SyntheticInput.h"
#include "support/StreamChecks.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace discforge::test {
namespace {

constexpr int32_t dvdPal = 20;
constexpr int32_t vcdPal = 17;

EncodeSoundTrack Track(const std::string& path, int32_t stream, int64_t startPts = 0, bool copy = false)
{
    EncodeSoundTrack track{};
    track.size = sizeof(EncodeSoundTrack);
    track.streamIndex = stream;
    track.path = path.c_str();
    track.startPts = startPts;
    track.copy = copy ? 1 : 0;
    return track;
}

// Lines "codec,channels,bit rate" of every sound stream of a file, in order.
std::vector<std::string> SoundStreams(const std::string& path)
{
    const CommandResult probed = RunCommand("ffprobe -v error -select_streams a -show_entries "
                                            "stream=codec_name,channels,bit_rate -of csv=p=0 "
        + Quoted(path));
    EXPECT_EQ(probed.exitCode, 0) << probed.output;
    std::vector<std::string> lines;
    std::istringstream text(probed.output);
    for (std::string line; std::getline(text, line);) {
        if (!line.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}

// The video's peak rate as the first sequence header declares it, in bit/s; -1 when none.
int64_t DeclaredPeakRate(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const std::size_t at = bytes.find(std::string("\x00\x00\x01\xB3", 4));
    if (at == std::string::npos || at + 11 > bytes.size()) {
        return -1;
    }
    const auto byte = [&bytes, at](std::size_t i) { return int64_t{static_cast<uint8_t>(bytes[at + i])}; };
    // 18 bits after size, shape and picture rate, in units of 400 bit/s.
    return ((byte(8) << 10) | (byte(9) << 2) | (byte(10) >> 6)) * 400;
}

// Seconds from the start of a sound stream to its first loud sample; -1 when none.
double Onset(const TestFolder& folder, const std::string& path, int stream)
{
    const std::string pcm = folder.File("onset.raw");
    const CommandResult decoded = RunCommand("ffmpeg -v error -nostdin -y -i " + Quoted(path) + " -map 0:a:"
        + std::to_string(stream) + " -ac 1 -ar 48000 -f s16le " + Quoted(pcm));
    EXPECT_EQ(decoded.exitCode, 0) << decoded.output;
    std::ifstream file(pcm, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto word = static_cast<int16_t>(
            static_cast<uint8_t>(bytes[i]) | static_cast<uint16_t>(static_cast<uint8_t>(bytes[i + 1]) << 8));
        if (std::abs(word) > 3000) {
            return static_cast<double>(i / 2) / 48000;
        }
    }
    return -1;
}

// A sound file of `seconds` whose tone begins one second in.
std::string ToneFile(const TestFolder& folder, const std::string& name, const std::string& coding)
{
    const std::string path = folder.File(name);
    const CommandResult made = RunCommand("ffmpeg -v error -nostdin -y -f lavfi -i "
                                          "\"aevalsrc=if(gte(t\\,1)\\,0.5*sin(2*PI*1000*t)\\,0):s=44100:d=4\" "
        + coding + " " + Quoted(path));
    EXPECT_EQ(made.exitCode, 0) << made.output;
    return path;
}

TEST(SoundTracks, AreRefusedWhereADiscCannotCarryThem)
{
    ConvertLibrary library;
    ASSERT_TRUE(library.Loaded()) << library.Error();
    ASSERT_NE(library.soundTracks, nullptr);
    const std::string path = "/nowhere/sound.mka";
    std::vector<EncodeSoundTrack> eight(8, Track(path, 0));

    library.shutdown();
    EXPECT_NE(library.soundTracks(eight.data(), 1, 0), 0) << "no format chosen";
    ASSERT_EQ(library.init(vcdPal), 0);
    EXPECT_NE(library.soundTracks(eight.data(), 1, 0), 0) << "a VCD has one sound stream";

    ASSERT_EQ(library.init(dvdPal), 0);
    EXPECT_NE(library.soundTracks(eight.data(), 8, 0), 0) << "nine streams with the supply's";
    EXPECT_EQ(library.soundTracks(eight.data(), 7, 0), 0);
    EXPECT_EQ(library.soundTracks(eight.data(), 8, 1), 0) << "eight when the first replaces the supply's";
    EXPECT_NE(library.soundTracks(nullptr, 2, 0), 0);
    EncodeSoundTrack shortRecord = Track(path, 0);
    shortRecord.size = sizeof(EncodeSoundTrack) - 8;
    EXPECT_NE(library.soundTracks(&shortRecord, 1, 0), 0);
    EncodeSoundTrack noPath = Track(path, 0);
    noPath.path = nullptr;
    EXPECT_NE(library.soundTracks(&noPath, 1, 0), 0);
    EncodeSoundTrack badStream = Track(path, -1);
    EXPECT_NE(library.soundTracks(&badStream, 1, 0), 0);
}

class SoundTrackEncode : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(library_.Loaded()) << library_.Error();
        ASSERT_EQ(library_.init(dvdPal), 0);
        settings_.width = 720;
        settings_.height = 576;
        settings_.frames = 75; // 3 s
        settings_.sampleRate = 48000;
    }

    ConvertLibrary library_;
    TestFolder folder_;
    SyntheticSettings settings_;
};

TEST_F(SoundTrackEncode, EachTrackBecomesAStreamOfItsOwnPlacedByItsStart)
{
    const std::string surround = ToneFile(folder_, "surround.mka", "-ac 6 -c:a flac");
    const std::string ready = ToneFile(folder_, "ready.mka", "-ac 2 -ar 48000 -c:a ac3 -b:a 384k");
    // Half a second into the file plays with the first picture: the tone then starts 0.5 s
    // in. Matroska counts in milliseconds.
    const std::vector<EncodeSoundTrack> tracks
        = {Track(surround, 0, 500), Track(ready, 0, 0, true), Track(ready, 0, 0, false)};
    ASSERT_EQ(library_.soundTracks(tracks.data(), 3, 0), 0);
    SyntheticInput input(settings_);
    const EncodeParameters parameters = input.Parameters(folder_.File("tracks.mpg"));
    ASSERT_EQ(library_.makeMpeg(&parameters), ENCODE_COMPLETED);

    const std::vector<std::string> streams = SoundStreams(folder_.File("tracks.mpg"));
    ASSERT_EQ(streams.size(), 4u);
    EXPECT_EQ(streams[0], "ac3,2,192000") << "the supply's stream";
    EXPECT_EQ(streams[1], "ac3,6,448000") << "5.1 stays 5.1";
    EXPECT_EQ(streams[2], "ac3,2,384000") << "AC-3 at 48 kHz is carried as it is";
    EXPECT_EQ(streams[3], "ac3,2,192000") << "the same track encoded when not asked to copy";
    // 9.7 Mbit/s leave room for one 192 kbit/s stream; the other three (448 + 384 + 192)
    // come out of the video's peak.
    EXPECT_EQ(DeclaredPeakRate(folder_.File("tracks.mpg")), 8676000);
    EXPECT_NEAR(Onset(folder_, folder_.File("tracks.mpg"), 1), 0.5, 0.04);
    EXPECT_NEAR(Onset(folder_, folder_.File("tracks.mpg"), 2), 1.0, 0.04);
    EXPECT_NEAR(Onset(folder_, folder_.File("tracks.mpg"), 3), 1.0, 0.04);
    std::string log;
    EXPECT_TRUE(PassesDvdauthor(folder_.File("tracks.mpg"), true, folder_.Path(), log)) << log;

    // The tracks were for that encode only.
    const EncodeParameters next = input.Parameters(folder_.File("next.mpg"));
    ASSERT_EQ(library_.makeMpeg(&next), ENCODE_COMPLETED);
    EXPECT_EQ(SoundStreams(folder_.File("next.mpg")).size(), 1u);
    EXPECT_EQ(DeclaredPeakRate(folder_.File("next.mpg")), 9700000);
}

TEST_F(SoundTrackEncode, AFirstTrackInTheSuppliesPlaceAndAnUnreadableOneFails)
{
    const std::string surround = ToneFile(folder_, "surround.mka", "-ac 6 -c:a flac");
    const EncodeSoundTrack first = Track(surround, 0);
    ASSERT_EQ(library_.soundTracks(&first, 1, 1), 0);
    SyntheticInput input(settings_);
    const EncodeParameters parameters = input.Parameters(folder_.File("replaced.mpg"));
    ASSERT_EQ(library_.makeMpeg(&parameters), ENCODE_COMPLETED);
    const std::vector<std::string> streams = SoundStreams(folder_.File("replaced.mpg"));
    ASSERT_EQ(streams.size(), 1u);
    EXPECT_EQ(streams[0], "ac3,6,448000");
    // The supply was still pulled to its end.
    EXPECT_GT(input.soundConsumed, 0);
    EXPECT_NEAR(Onset(folder_, folder_.File("replaced.mpg"), 0), 1.0, 0.04);

    const std::string missing = folder_.File("missing.mka");
    const EncodeSoundTrack gone = Track(missing, 0);
    ASSERT_EQ(library_.soundTracks(&gone, 1, 0), 0);
    const EncodeParameters failing = input.Parameters(folder_.File("failing.mpg"));
    EXPECT_EQ(library_.makeMpeg(&failing), ENCODE_CALLBACK_FAILED);
    EXPECT_FALSE(std::ifstream(folder_.File("failing.mpg")).good());
}

} // namespace
} // namespace discforge::test
