// Interlaced sources and film as users bring them, made by the ffmpeg program:
// a camcorder's DV (bottom field first) and a broadcast recording (1080 lines, top
// field first) come out as pictures of two fields in the source's order, each field
// holding only its own moment; film at 23.976 frames a second comes out for an NTSC
// DVD as its own pictures, flagged to repeat fields into 29.97 frames, in sync.
#include "CliProcess.h"
#include "OutputDecoder.h"
#include "SampleInputs.h"
#include "UserClips.h"
#include "support/StreamChecks.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace discforge::test {
namespace {

std::string Trimmed(std::string text)
{
    text.erase(text.find_last_not_of(" \r\n") + 1);
    return text;
}

// The lines of ffprobe's answer that say something, each followed by a space.
std::string Lines(const std::string& text)
{
    std::string joined;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end;
        const std::string line = Trimmed(text.substr(start, end - start));
        if (!line.empty()) {
            joined += line + " ";
        }
        start = end + 1;
    }
    return joined;
}

std::string ProbeVideo(const std::string& path, const std::string& entries)
{
    return Trimmed(Lines(RunCommand("ffprobe -v error -select_streams v:0 -of default=nw=1:nk=1 -show_entries "
        + entries + " " + Quoted(path))
                             .output));
}

// Every picture of the stream as grey levels, top row first, as a player decodes it
// before showing the fields.
struct GreyPictures {
    int width = 0;
    int height = 0;
    std::vector<std::string> pictures;
};

GreyPictures DecodeGrey(const std::string& mpeg)
{
    GreyPictures grey;
    grey.width = std::atoi(ProbeVideo(mpeg, "stream=width").c_str());
    grey.height = std::atoi(ProbeVideo(mpeg, "stream=height").c_str());
    const std::string raw = mpeg + ".grey";
    const CommandResult decoded = RunCommand(
        "ffmpeg -nostdin -v error -y -i " + Quoted(mpeg) + " -vf format=gray -f rawvideo " + Quoted(raw));
    EXPECT_EQ(decoded.exitCode, 0) << decoded.output;
    const std::size_t size = static_cast<std::size_t>(grey.width) * static_cast<std::size_t>(grey.height);
    std::FILE* file = std::fopen(raw.c_str(), "rb");
    if (file == nullptr || size == 0) {
        return grey;
    }
    std::string picture(size, '\0');
    while (std::fread(picture.data(), 1, size, file) == size) {
        grey.pictures.push_back(picture);
    }
    std::fclose(file);
    return grey;
}

// The bright rows of one field of a picture (rows field, field + 2, ...), as runs of
// neighbouring field rows; each run is given by its first and last frame row.
struct Band {
    int first = 0;
    int last = 0;
};

std::vector<Band> BandsOfField(const GreyPictures& grey, const std::string& picture, int field)
{
    std::vector<double> levels;
    for (int y = field; y < grey.height; y += 2) {
        double sum = 0;
        for (int x = grey.width / 4; x < grey.width * 3 / 4; ++x) {
            sum += static_cast<unsigned char>(picture[static_cast<std::size_t>(y) * grey.width + x]);
        }
        levels.push_back(sum / (grey.width / 2));
    }
    const double brightest = *std::max_element(levels.begin(), levels.end());
    std::vector<Band> bands;
    if (brightest < 100) {
        return bands;
    }
    // Half way between the black (16) and the line.
    const double threshold = (brightest + 16) / 2;
    for (std::size_t row = 0; row < levels.size(); ++row) {
        if (levels[row] <= threshold) {
            continue;
        }
        const int frameRow = 2 * static_cast<int>(row) + field;
        if (!bands.empty() && bands.back().last == frameRow - 2) {
            bands.back().last = frameRow;
        } else {
            bands.push_back({frameRow, frameRow});
        }
    }
    return bands;
}

// A line moving down at `height`-row pictures, 50 a second, woven into 25 pictures of
// two fields in `weave` order (tinterlace's interleave_top or interleave_bottom).
std::string MovingLineFilters(int height, const std::string& weave, const std::string& field)
{
    // 1/72 of the height tall, moving as far each 50th of a second and starting again
    // every 60 (between two pictures of fields), before it leaves the picture.
    const std::string line = std::to_string(height / 72);
    const std::string step = line;
    return "geq=lum='if(between(Y-" + std::to_string(height / 18) + "-mod(N,60)*" + step + ",0," + line
        + "-1),235,16)':cb=128:cr=128,tinterlace=" + weave + ",setfield=" + field;
}

class FieldsAndFilm : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!FfmpegProgramFound()) {
            GTEST_SKIP() << "the ffmpeg program is not installed (scripts/install-deps.sh installs it)";
        }
    }

    // Clips of `seconds`, long enough for vcdimager to take a disc of them.
    std::string MakeLineClip(const std::string& name, int width, int height, const std::string& filters,
        const std::string& codecs, const std::string& seconds = "2.4")
    {
        const std::string path = folder_.File(name);
        const CommandResult made = RunCommand("ffmpeg -nostdin -v error -y -f lavfi -i color=black:s="
            + std::to_string(width) + "x" + std::to_string(height) + ":r=50:d=" + seconds
            + " -f lavfi -i sine=frequency=440:sample_rate=48000:duration=" + seconds + " -vf \"" + filters + "\" "
            + codecs + " " + Quoted(path));
        EXPECT_EQ(made.exitCode, 0) << made.output;
        return path;
    }

    std::string Convert(const std::string& clip, const std::string& target, const std::string& standard,
        const std::string& option = "")
    {
        const std::string output = folder_.File("out-" + target + "-" + standard + option + ".mpg");
        std::vector<std::string> arguments{"--target", target, "--standard", standard, "--output", output};
        if (!option.empty()) {
            arguments.push_back(option);
        }
        arguments.push_back(clip);
        const CliOutcome run = RunCli(arguments, folder_.Path());
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return output;
    }

    // Every picture but the first and last two holds the line once in each field, no
    // taller than the line itself (a field blended into the other would add the line
    // of its moment), the field shown first holding it higher up.
    static void ExpectFieldsApart(const std::string& mpeg, bool topFirst)
    {
        const GreyPictures grey = DecodeGrey(mpeg);
        ASSERT_GE(grey.pictures.size(), 20u) << mpeg;
        for (std::size_t n = 2; n + 2 < grey.pictures.size(); ++n) {
            const std::vector<Band> first = BandsOfField(grey, grey.pictures[n], topFirst ? 0 : 1);
            const std::vector<Band> second = BandsOfField(grey, grey.pictures[n], topFirst ? 1 : 0);
            ASSERT_EQ(first.size(), 1u) << "picture " << n << " of " << mpeg;
            ASSERT_EQ(second.size(), 1u) << "picture " << n << " of " << mpeg;
            const int tallest = grey.height / 72 + 2;
            EXPECT_LE(first[0].last - first[0].first, tallest) << "picture " << n;
            EXPECT_LE(second[0].last - second[0].first, tallest) << "picture " << n;
            EXPECT_LT(first[0].first, second[0].first) << "picture " << n;
        }
    }

    TestFolder folder_;
};

TEST_F(FieldsAndFilm, ACamcordersDvKeepsItsBottomFieldFirst)
{
    const std::string dv = MakeLineClip("camcorder.dv", 720, 576,
        MovingLineFilters(576, "interleave_bottom", "bff"), "-target pal-dv -c:v dvvideo");
    for (const char* target : {"dvd", "svcd"}) {
        const std::string output = Convert(dv, target, "pal");
        EXPECT_EQ(ProbeVideo(output, "stream=field_order"), "bb") << target;
        ExpectFieldsApart(output, false);
        std::string log;
        const std::string work = folder_.File(std::string("authoring-") + target);
        std::filesystem::create_directories(work);
        if (std::string(target) == "dvd") {
            EXPECT_TRUE(PassesDvdauthor(output, true, work, log)) << log;
        } else {
            EXPECT_TRUE(PassesVcdimager(output, "svcd", work, log)) << log;
        }
    }
}

TEST_F(FieldsAndFilm, ABroadcastRecordingKeepsItsTopFieldFirstAndItsFieldsApartWhenScaled)
{
    const std::string broadcast = MakeLineClip("broadcast.ts", 1440, 1080,
        MovingLineFilters(1080, "interleave_top", "tff"),
        "-c:v mpeg2video -flags +ildct+ilme -top 1 -b:v 15M -c:a mp2 -f mpegts", "1.2");
    // The transport stream's programs each name the stream.
    ASSERT_EQ(ProbeVideo(broadcast, "stream=field_order").substr(0, 2), "tt");
    const std::string output = Convert(broadcast, "dvd", "pal");
    EXPECT_EQ(ProbeVideo(output, "stream=height"), "576");
    EXPECT_EQ(ProbeVideo(output, "stream=field_order"), "tt");
    ExpectFieldsApart(output, true);
}

TEST_F(FieldsAndFilm, AProgressiveSourceStaysProgressiveAndAFlippedOrDeinterlacedOneChangesAsAsked)
{
    const std::string progressive = MakeLineClip(
        "progressive.avi", 720, 576, "fps=25,geq=lum='if(between(Y-32-N*16,0,7),235,16)':cb=128:cr=128", "-c:v ffv1");
    EXPECT_EQ(ProbeVideo(Convert(progressive, "dvd", "pal"), "stream=field_order"), "progressive");
    const std::string dv = MakeLineClip("camcorder.dv", 720, 576,
        MovingLineFilters(576, "interleave_bottom", "bff"), "-target pal-dv -c:v dvvideo");
    EXPECT_EQ(ProbeVideo(Convert(dv, "dvd", "pal", "--deinterlace"), "stream=field_order"), "progressive");
    // Upside down, the bottom field's rows are the top field's.
    EXPECT_EQ(ProbeVideo(Convert(dv, "dvd", "pal", "--invert"), "stream=field_order"), "tt");
    // A crop from an odd row makes the source's bottom field the frame's top one.
    std::vector<std::string> crop{"--target", "dvd", "--standard", "pal", "--crop", "0,1,720,574", "--output",
        folder_.File("cropped.mpg"), dv};
    const CliOutcome cropped = RunCli(crop, folder_.Path());
    ASSERT_EQ(cropped.exitCode, 0) << cropped.err;
    EXPECT_EQ(ProbeVideo(folder_.File("cropped.mpg"), "stream=field_order"), "tt");
    ExpectFieldsApart(folder_.File("cropped.mpg"), true);
    // A VCD has frames only: MPEG-1 has no field order to name.
    const std::string vcd = ProbeVideo(Convert(dv, "vcd", "pal"), "stream=field_order");
    EXPECT_TRUE(vcd == "progressive" || vcd == "unknown") << vcd;
}

TEST_F(FieldsAndFilm, FilmForAnNtscDvdIsItsOwnPicturesRepeatingFieldsInSync)
{
    mediagen::AviRecipe recipe;
    recipe.rate = mediagen::FrameRate::Film23976;
    recipe.audio = mediagen::AudioForm::Stereo16At48000;
    recipe.width = 360;
    recipe.height = 240;
    constexpr int seconds = 6;
    recipe.frames = FramesIn(seconds, recipe.rate);
    const std::string clip = folder_.File("film.avi");
    ASSERT_TRUE(MakeAvi(clip, recipe));
    const std::string output = Convert(clip, "dvd", "ntsc");

    // Shown at 29.97 frames a second. ffprobe's average counts the fields of the pictures
    // it reads against their decoding times, which B-pictures put in another order than
    // the fields: over the whole stream that is 29.97 within a picture's fields. (Its
    // r_frame_rate is the rate every picture starts on a multiple of: the fields' 59.94.)
    const std::string average = ProbeVideo(output, "stream=avg_frame_rate -probesize 100M -analyzeduration 100M");
    const auto slash = average.find('/');
    ASSERT_NE(slash, std::string::npos) << average;
    const double shown = std::stod(average.substr(0, slash)) / std::stod(average.substr(slash + 1));
    EXPECT_NEAR(shown, 30000.0 / 1001.0, 30000.0 / 1001.0 / (2.0 * seconds * 30)) << average;
    std::string error;
    EXPECT_EQ(ReadPictureStream(output, error).frameRateCode, 4) << error;
    // The player repeats the first field of every other picture: 3, 2, 3, 2 fields,
    // starting with the top, the bottom, the bottom and the top field.
    const std::string repeats = ProbeVideo(output, "frame=repeat_pict");
    const std::string firstFields = ProbeVideo(output, "frame=top_field_first");
    std::string expectedRepeats;
    std::string expectedFirstFields;
    for (std::int64_t n = 0; n < recipe.frames; ++n) {
        expectedRepeats += n % 2 == 0 ? "1 " : "0 ";
        expectedFirstFields += n % 4 == 0 || n % 4 == 3 ? "1 " : "0 ";
    }
    EXPECT_EQ(repeats + " ", expectedRepeats);
    EXPECT_EQ(firstFields + " ", expectedFirstFields);

    // Each source picture once, in order: none repeated whole, none left out.
    const DecodedOutput decoded = DecodeOutput(output);
    ASSERT_TRUE(decoded.error.empty()) << decoded.error;
    ASSERT_EQ(decoded.pictures.size(), static_cast<std::size_t>(recipe.frames));
    for (std::size_t n = 0; n < decoded.pictures.size(); ++n) {
        EXPECT_EQ(decoded.pictures[n].number, static_cast<std::int64_t>(n)) << "picture " << n;
    }
    // The click of every second is heard while the picture of that second shows: within
    // a film picture and the field the pulldown may move it by.
    // Six seconds of film are 144 pictures, 6.006 s: the click of second 6 is in too.
    ASSERT_EQ(decoded.clicks.size(), static_cast<std::size_t>(seconds) + 1);
    for (int second = 0; second <= seconds; ++second) {
        const double shown = FirstShowing(decoded, 24000LL * second / 1001);
        EXPECT_NEAR(decoded.clicks[static_cast<std::size_t>(second)], shown, 1001.0 / 24000 + 1001.0 / 60000)
            << "second " << second;
    }
    std::string log;
    std::filesystem::create_directories(folder_.File("authoring"));
    EXPECT_TRUE(PassesDvdauthor(output, false, folder_.File("authoring"), log)) << log;
}

} // namespace
} // namespace discforge::test
