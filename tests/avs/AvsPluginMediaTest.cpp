// The usual plugins' functions through the media layer, judged by content:
// a DVD index's VOBs read as one clip, telecined film matched back to its
// frames, text subtitles drawn in their time, and the run-log line saying
// which filter a deinterlacer runs as.
#include "ScriptCapture.h"

#include "platform/MmStream.h"
#include "support/PictureSubtitleClips.h"
#include "support/StreamChecks.h"

#include "../platform/SampleMedia.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace discforge::test {
namespace {

std::string Made(const std::string& name, const std::string& options)
{
    const std::string path = SampleFolder() + "/" + name;
    const CommandResult made
        = RunCommand("ffmpeg -v error -y -i " + Quoted(Clip()) + " " + options + " " + Quoted(path));
    EXPECT_EQ(made.exitCode, 0) << made.output;
    return path;
}

TEST(AvsPluginMedia, AnIndexFileReadsItsVobsInOrder)
{
    std::filesystem::create_directories(SampleFolder() + "/VIDEO_TS");
    Made("VIDEO_TS/VTS_01_1.VOB", "-vf trim=end_frame=20 -c:v mpeg2video -q:v 2 -an -f vob");
    Made("VIDEO_TS/VTS_01_2.VOB",
        "-vf trim=start_frame=20:end_frame=35,setpts=PTS-STARTPTS -c:v mpeg2video -q:v 2 -an -f vob");
    std::ofstream(SampleFolder() + "/VIDEO_TS/disc.d2v") << "DGIndexProjectFile16\r\n2\r\nE:\\DVD\\VTS_01_1.VOB\r\n"
                                                            "VTS_01_2.VOB\r\n\r\nField_Operation=0\r\n\r\n";
    const Pictures pictures
        = ScriptPictures(Script("d2v", "LoadPlugin(\"DGDecode.dll\")\nMPEG2Source(\"VIDEO_TS/disc.d2v\")"));
    EXPECT_EQ(pictures.Numbers(), Range(0, 34));
}

TEST(AvsPluginMedia, FieldMatchingTakesTelecineBackToTheFilmsFrames)
{
    // The 50 numbered frames as film at 24000/1001, telecined 3:2 to 30000/1001.
    const std::string telecined = Made("telecined.avi",
        "-vf 'setpts=N*1001/24000/TB,telecine=first_field=top:pattern=23' -r 30000/1001 -c:v mpeg4 -q:v 2 -an");
    const std::string matched = Script("ivtc", "AviSource(\"telecined.avi\").AssumeTFF().TFM().TDecimate()");
    double rate = 0;
    const Pictures pictures = ScriptPictures(matched, &rate);
    EXPECT_DOUBLE_EQ(rate, 24000.0 / 1001.0);
    const std::vector<std::int64_t> numbers = pictures.Numbers();
    ASSERT_GE(numbers.size(), 48u);
    // Every film frame once, in order: no frame repeated, none of two blended.
    std::vector<std::int64_t> distinct = numbers;
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
    EXPECT_GE(distinct.size(), 48u);
    EXPECT_EQ(std::count(numbers.begin(), numbers.end(), -1), 0);
    // Without matching, the telecined clip has five frames for four, one in
    // five of two films' fields, whose number cannot be read.
    const std::vector<std::int64_t> raw = ScriptPictures(Script("telecined", "AviSource(\"telecined.avi\")")).Numbers();
    EXPECT_GE(raw.size(), 60u);
    EXPECT_GE(std::count(raw.begin(), raw.end(), -1), 5);
}

TEST(AvsPluginMedia, DeinterlacersKeepProgressiveFramesAndSayWhichFilterRuns)
{
    EXPECT_EQ(
        ScriptPictures(Script("yadif", "AviSource(\"" + Clip() + "\").Trim(0, 9).Yadif()")).Numbers(), Range(0, 9));
    const Pictures doubled
        = ScriptPictures(Script("qtgmc", "AviSource(\"" + Clip() + "\").Trim(0, 9).QTGMC(Preset=\"Fast\")"));
    ASSERT_EQ(doubled.frames.size(), 20u);
    EXPECT_EQ(doubled.Numbers()[6], 3);
    MediaError error;
    const std::unique_ptr<MmStream> stream = MmStream::Open(
        Script("tdeintnote", "AviSource(\"" + Clip() + "\").TDeint()"), MmPurpose::PrimaryVideo, error);
    ASSERT_TRUE(stream) << error.text;
    const std::vector<std::string>& notes = stream->OptionNotes();
    EXPECT_NE(std::find(notes.begin(), notes.end(), "TDeint runs as FFmpeg's bwdif"), notes.end());
}

TEST(AvsPluginMedia, TextSubDrawsEachSubtitleInItsTime)
{
    std::ofstream(SampleFolder() + "/words.srt") << "1\n00:00:00,200 --> 00:00:00,600\nHello there\n\n";
    const std::string blank = "BlankClip(length=25, width=320, height=240, fps=25, color=$202020)";
    const Pictures plain = ScriptPictures(Script("subsplain", blank));
    const Pictures titled = ScriptPictures(Script("subs", blank + ".TextSub(\"words.srt\")"));
    ASSERT_EQ(titled.frames.size(), 25u);
    for (std::size_t f = 0; f < 25; ++f) {
        // Frames 5 to 14 lie within 0.2 to 0.6 seconds.
        EXPECT_EQ(plain.frames[f] != titled.frames[f], f >= 5 && f < 15) << "frame " << f;
    }
}

// A VobSub pair of one white box with a black band, 0.4 to 1.0 seconds in: laid over a
// dark clip, the box shows in frames 10 to 24 and nothing changes elsewhere.
TEST(AvsPluginMedia, VobSubShowsItsPicturesInTheirTimeOnly)
{
    if (std::system("command -v spumux >/dev/null") != 0) {
        GTEST_SKIP() << "spumux is not installed (scripts/install-deps.sh installs it)";
    }
    // The media layer keeps the subtitles' video in the user's cache folder: here, the test's.
    ::setenv("XDG_CACHE_HOME", SampleFolder().c_str(), 1);
    const BoxCue box{400, 1000, 200, 450, 320, 60, 4};
    std::string log;
    ASSERT_TRUE(MakeSubpictureStream(SampleFolder(), SampleFolder() + "/boxes.mpg", 2, {box}, log)) << log;
    // spumux gives the band the index's first colour and the fill its second.
    std::vector<std::string> palette(16, "808080");
    palette[0] = "000000";
    palette[1] = "ffffff";
    ASSERT_TRUE(MakeVobSubPair(SampleFolder() + "/boxes.mpg", SampleFolder() + "/boxes", {box}, "en", palette, log))
        << log;
    const std::string blank = "BlankClip(length=40, width=720, height=576, fps=25, color=$202020)";
    const Pictures plain = ScriptPictures(Script("vobsubplain", blank));
    const Pictures titled = ScriptPictures(Script("vobsub", blank + ".VobSub(\"boxes.idx\")"));
    ASSERT_EQ(titled.frames.size(), 40u);
    ASSERT_EQ(plain.frames.size(), 40u);
    for (std::size_t f = 0; f < 40; ++f) {
        const bool shown = f >= 10 && f < 25;
        // The box's middle, its band, and a place beside it.
        const double middle = titled.Mean(f, box.x + 100, box.y + 20, 120, 20, 1);
        const double band = titled.Mean(f, box.x - 3, box.y + 20, 2, 20, 1);
        EXPECT_EQ(middle > 200, shown) << "frame " << f << ": " << middle;
        EXPECT_LT(band, shown ? 10 : 40) << "frame " << f;
        EXPECT_NEAR(titled.Mean(f, 20, 20, 100, 100, 1), plain.Mean(f, 20, 20, 100, 100, 1), 2) << "frame " << f;
        if (!shown) {
            // The overlay's colour conversion may round a level; no more.
            EXPECT_NEAR(titled.Mean(f, box.x - 8, box.y - 8, box.width + 16, box.height + 16, 1),
                plain.Mean(f, box.x - 8, box.y - 8, box.width + 16, box.height + 16, 1), 2)
                << "frame " << f;
        }
    }
}

} // namespace
} // namespace discforge::test
