// What each of the six disc formats must look like in a finished stream, and the
// authoring tool that has to take it.
#pragma once

#include "support/StreamChecks.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>

namespace discforge::test {

struct DiscCase {
    const char* name;
    int formatCode;
    int width;
    int height;
    bool pal;
    const char* videoCodec;
    const char* audioCodec;
    int sampleRate;
    int aspectCode;      // MPEG-1: pixel shape of a 4:3 picture on the standard; MPEG-2: 2 = 4:3, 3 = 16:9
    int bitRateField;    // the sequence header's bit rate, in 400 bit/s
    int vbvSizeField;    // the sequence header's VBV size, in 16 kbit
    const char* authoringType; // "dvd", or vcdimager's image type
};

inline constexpr DiscCase discCases[] = {
    {"VcdNtsc", 1, 352, 240, false, "mpeg1video", "mp2", 44100, 12, 1150000 / 400, 20, "vcd2"},
    {"SvcdNtsc", 3, 480, 480, false, "mpeg2video", "mp2", 44100, 2, 2376000 / 400, 112, "svcd"},
    {"DvdNtsc", 4, 720, 480, false, "mpeg2video", "ac3", 48000, 2, 9700000 / 400, 112, "dvd"},
    {"VcdPal", 17, 352, 288, true, "mpeg1video", "mp2", 44100, 8, 1150000 / 400, 20, "vcd2"},
    {"SvcdPal", 19, 480, 576, true, "mpeg2video", "mp2", 44100, 2, 2376000 / 400, 112, "svcd"},
    {"DvdPal", 20, 720, 576, true, "mpeg2video", "ac3", 48000, 2, 9700000 / 400, 112, "dvd"},
};

// The same DVDs with frames shown 16:9: the format code adds 32.
inline constexpr DiscCase wideDiscCases[] = {
    {"WideDvdNtsc", 36, 720, 480, false, "mpeg2video", "ac3", 48000, 3, 9700000 / 400, 112, "dvd"},
    {"WideDvdPal", 52, 720, 576, true, "mpeg2video", "ac3", 48000, 3, 9700000 / 400, 112, "dvd"},
};

inline void PrintTo(const DiscCase& disc, std::ostream* out) { *out << disc.name; }
inline std::string DiscCaseName(const testing::TestParamInfo<DiscCase>& info) { return info.param.name; }

// ffprobe found one picture stream and one sound stream, each with the disc's codec and
// rates, the picture at the disc's size with `pictures` frames.
inline void ExpectDiscStreams(const ProbedFile& probed, const DiscCase& disc, std::int64_t pictures)
{
    ASSERT_EQ(probed.videoStreams, 1);
    ASSERT_EQ(probed.audioStreams, 1);
    EXPECT_EQ(probed.video.at("codec_name"), disc.videoCodec);
    EXPECT_EQ(probed.video.at("width"), std::to_string(disc.width));
    EXPECT_EQ(probed.video.at("height"), std::to_string(disc.height));
    EXPECT_EQ(probed.video.at("r_frame_rate"), disc.pal ? "25/1" : "30000/1001");
    EXPECT_EQ(probed.video.at("nb_read_frames"), std::to_string(pictures));
    EXPECT_EQ(probed.audio.at("codec_name"), disc.audioCodec);
    EXPECT_EQ(probed.audio.at("sample_rate"), std::to_string(disc.sampleRate));
    EXPECT_EQ(probed.audio.at("channels"), "2");
}

// The authoring tool of the disc takes the stream without a complaint; its output goes to `log`.
inline bool PassesAuthoring(const std::string& mpegPath, const DiscCase& disc, const std::string& workFolder,
                            std::string& log)
{
    if (std::string(disc.authoringType) == "dvd") {
        return PassesDvdauthor(mpegPath, disc.pal, workFolder, log);
    }
    return PassesVcdimager(mpegPath, disc.authoringType, workFolder, log);
}

} // namespace discforge::test
