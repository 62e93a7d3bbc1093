// Scripts opened through the media layer, each function checked against the
// frames and sound that the matching ffmpeg command-line filter chain makes
// of the same clip: frame numbers read from the picture, sound sample by sample.
#include "platform/MediaSource.h"
#include "platform/MmStream.h"
#include "support/StreamChecks.h"

#include "ScriptCapture.h"

#include "../platform/MmStreamTestSupport.h"
#include "../platform/SampleMedia.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace discforge::test {
namespace {

// The ffmpeg tool's pictures of `input` through the filter graph (its output labelled [v]).
Pictures ToolPictures(const std::string& input, const std::string& graph, int width, int height)
{
    const std::string out = SampleFolder() + "/tool.bgr0";
    const std::string source = input.empty() ? "" : " -i " + Quoted(input);
    const CommandResult result = RunCommand("ffmpeg -v error -y" + source + " -filter_complex " + Quoted(graph)
        + " -map '[v]' -fps_mode passthrough -f rawvideo -pix_fmt bgr0 " + Quoted(out));
    EXPECT_EQ(result.exitCode, 0) << result.output;
    Pictures pictures;
    pictures.width = width;
    pictures.height = height;
    const std::vector<std::uint8_t> bytes = ReadAll(out);
    const std::size_t size = static_cast<std::size_t>(width) * height * 4;
    for (std::size_t at = 0; at + size <= bytes.size(); at += size) {
        pictures.frames.emplace_back(
            bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin() + static_cast<std::ptrdiff_t>(at + size));
    }
    return pictures;
}

// Mean difference per colour value over every frame; frames must match in number and size.
double PictureDifference(const Pictures& ours, const Pictures& tool)
{
    if (ours.frames.size() != tool.frames.size() || ours.width != tool.width || ours.height != tool.height
        || ours.frames.empty()) {
        ADD_FAILURE() << "ours " << ours.frames.size() << " frames " << ours.width << "x" << ours.height << ", tool "
                      << tool.frames.size() << " frames " << tool.width << "x" << tool.height;
        return 1e9;
    }
    double sum = 0;
    std::size_t count = 0;
    for (std::size_t f = 0; f < ours.frames.size(); ++f) {
        for (std::size_t i = 0; i < ours.frames[f].size(); ++i) {
            if (i % 4 != 3) {
                sum += std::abs(ours.frames[f][i] - tool.frames[f][i]);
                ++count;
            }
        }
    }
    return sum / static_cast<double>(count);
}

Sound ToolSound(const std::string& input, const std::string& filter, int rate, int channels)
{
    const std::string out = SampleFolder() + "/tool.s16";
    const CommandResult result = RunCommand("ffmpeg -v error -y -i " + Quoted(input) + " -vn -af " + Quoted(filter)
        + " -f s16le -ar " + std::to_string(rate) + " -ac " + std::to_string(channels) + " " + Quoted(out));
    EXPECT_EQ(result.exitCode, 0) << result.output;
    Sound sound;
    sound.rate = rate;
    sound.channels = channels;
    const std::vector<std::uint8_t> bytes = ReadAll(out);
    sound.samples.resize(bytes.size() / 2);
    std::memcpy(sound.samples.data(), bytes.data(), sound.samples.size() * 2);
    return sound;
}

// Same format, lengths within a frame's worth, and every common sample within `tolerance`.
void ExpectSameSound(const Sound& ours, const Sound& tool, const std::string& what, int tolerance = 1)
{
    ASSERT_EQ(ours.rate, tool.rate) << what;
    ASSERT_EQ(ours.channels, tool.channels) << what;
    const auto frameSamples = static_cast<std::ptrdiff_t>(ours.rate / 25 * ours.channels);
    EXPECT_LE(
        std::abs(static_cast<std::ptrdiff_t>(ours.samples.size()) - static_cast<std::ptrdiff_t>(tool.samples.size())),
        frameSamples)
        << what << ": " << ours.samples.size() << " against " << tool.samples.size();
    const std::size_t common = std::min(ours.samples.size(), tool.samples.size());
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < common; ++i) {
        if (std::abs(ours.samples[i] - tool.samples[i]) > tolerance && wrong++ == 0) {
            ADD_FAILURE() << what << ": sample " << i << " is " << ours.samples[i] << ", the tool's "
                          << tool.samples[i];
        }
    }
    EXPECT_EQ(wrong, 0u) << what;
    EXPECT_GT(common, 0u) << what;
}

TEST(AvsMedia, TimingFunctionsGiveTheToolsFramesByNumber)
{
    const std::string clip = Clip();
    struct Case {
        const char* name;
        const char* script;
        const char* tool;
    };
    const Case cases[] = {
        {"trim", "AviSource(\"%s\").Trim(10, 29)", "[0:v]trim=start_frame=10:end_frame=30[v]"},
        {"trimcount", "AviSource(\"%s\").Trim(45, -3)", "[0:v]trim=start_frame=45:end_frame=48[v]"},
        {"join", "a = AviSource(\"%s\")\na.Trim(0, 9) ++ a.Trim(40, 49)",
            "[0:v]split[a][b];[a]trim=end_frame=10[x];[b]trim=start_frame=40,setpts=PTS-STARTPTS[y];"
            "[x][y]concat=n=2:v=1:a=0[v]"},
        {"reverse", "AviSource(\"%s\").Trim(0, 19).Reverse()", "[0:v]trim=end_frame=20,reverse[v]"},
        {"changefps", "AviSource(\"%s\").ChangeFPS(50)", "[0:v]fps=50[v]"},
        {"changefpsdown", "AviSource(\"%s\").ChangeFPS(10)", "[0:v]fps=10[v]"},
        {"changefpsntsc", "AviSource(\"%s\").ChangeFPS(30000, 1001)", "[0:v]fps=30000/1001[v]"},
        {"joinedntsc", "a = AviSource(\"%s\")\n(a.Trim(0, 24) ++ a.Trim(25, 49)).ChangeFPS(30000, 1001)",
            "[0:v]fps=30000/1001[v]"},
        {"directshow", "DirectShowSource(\"%s\")", "[0:v]null[v]"},
        {"ffms", "FFmpegSource2(\"%s\", atrack=-1).Trim(3, 7)", "[0:v]trim=start_frame=3:end_frame=8[v]"},
        {"ffvideo", "FFVideoSource(\"%s\")", "[0:v]null[v]"},
    };
    for (const Case& c : cases) {
        char text[512];
        std::snprintf(text, sizeof text, c.script, clip.c_str());
        const Pictures ours = ScriptPictures(Script(c.name, text));
        const Pictures tool = ToolPictures(clip, c.tool, 352, 288);
        EXPECT_EQ(ours.Numbers(), tool.Numbers()) << c.name;
        EXPECT_FALSE(ours.frames.empty()) << c.name;
    }
    double rate = 0;
    const Pictures assumed
        = ScriptPictures(Script("assume", "AviSource(\"" + clip + "\").AssumeFPS(30000, 1001)"), &rate);
    EXPECT_EQ(assumed.Numbers(), Range(0, 49));
    EXPECT_DOUBLE_EQ(rate, 30000.0 / 1001.0);
}

// A script's clip is its pixels: joins must not care what pixel shape a
// source file declares or a resize with a source window leaves behind.
TEST(AvsMedia, JoinsTakeClipsOfEveryPixelShape)
{
    const std::string clip = Clip();
    const CommandResult made = RunCommand("ffmpeg -v error -y -i " + Quoted(clip)
        + " -frames:v 10 -vf scale=720:480,setsar=8/9 -c:v mpeg2video -q:v 2 -an "
        + Quoted(SampleFolder() + "/dvdish.mpg"));
    ASSERT_EQ(made.exitCode, 0) << made.output;
    const Pictures dvd = ScriptPictures(Script("sarjoin",
        "DirectShowSource(\"dvdish.mpg\") + AviSource(\"" + clip + "\").Trim(40, 49).BicubicResize(720, 480)"));
    std::vector<std::int64_t> expected = Range(0, 9);
    const std::vector<std::int64_t> tail = Range(40, 49);
    expected.insert(expected.end(), tail.begin(), tail.end());
    EXPECT_EQ(dvd.Numbers(), expected);
    EXPECT_EQ(dvd.width, 720);
    // Without a join, the result still reports the square pixels it holds.
    MediaError error;
    const std::unique_ptr<MediaSource> alone
        = MediaSource::Open(Script("sarsource", "DirectShowSource(\"dvdish.mpg\").BilinearResize(352, 288)"), error);
    ASSERT_TRUE(alone) << error.text;
    const AVRational shape = alone->Stream(alone->FirstStream(AVMEDIA_TYPE_VIDEO))->codecpar->sample_aspect_ratio;
    EXPECT_EQ(shape.num, 1);
    EXPECT_EQ(shape.den, 1);

    const Pictures window = ScriptPictures(Script("windowjoin",
        "a = AviSource(\"" + clip + "\")\na.Trim(0, 9).BilinearResize(352, 288, 0, 0, 352, 280) ++ a.Trim(40, 49)"));
    EXPECT_EQ(window.Numbers(), expected);
}

TEST(AvsMedia, ClipsMadeByTheToolAreReadFrameExactlyToTheirLastFrame)
{
    const std::string clip = Clip();
    struct Case {
        const char* file;
        const char* options;
        const char* source;
    };
    const Case cases[] = {
        {"xvid.avi", "-c:v mpeg4 -vtag XVID -q:v 3 -c:a libmp3lame -b:a 128k", "AviSource"},
        {"h264.mp4", "-c:v libx264 -preset ultrafast -bf 2 -c:a aac", "FFmpegSource2"},
        {"h264.mkv", "-c:v libx264 -preset ultrafast -bf 2 -c:a libmp3lame", "DirectShowSource"},
    };
    for (const Case& c : cases) {
        const std::string path = SampleFolder() + "/" + c.file;
        const CommandResult made
            = RunCommand("ffmpeg -v error -y -i " + Quoted(clip) + " " + c.options + " " + Quoted(path));
        ASSERT_EQ(made.exitCode, 0) << made.output;
        const Pictures tail = ScriptPictures(
            Script(std::string("tail-") + c.file, std::string(c.source) + "(\"" + c.file + "\").Trim(25, 49)"));
        EXPECT_EQ(tail.Numbers(), Range(25, 49)) << c.file;
        const Pictures retimed = ScriptPictures(Script(
            std::string("ntsc-") + c.file, std::string(c.source) + "(\"" + c.file + "\").ChangeFPS(30000, 1001)"));
        ASSERT_EQ(retimed.frames.size(), 60u) << c.file;
        EXPECT_EQ(retimed.Numbers().back(), 49) << c.file;
    }
}

TEST(AvsMedia, TrackNumbersChooseTheStreamWithThatIndex)
{
    // Streams: 0 the clip's picture, 1 its sound, 2 the picture reversed, 3 the sound at half volume.
    const std::string clip = Clip();
    const std::string tracks = SampleFolder() + "/tracks.mkv";
    const CommandResult made = RunCommand("ffmpeg -v error -y -i " + Quoted(clip)
        + " -filter_complex '[0:v]reverse[r];[0:a]volume=0.5[q]' -map 0:v -map 0:a -map '[r]' -map '[q]'"
          " -c:v mpeg4 -q:v 2 -c:a pcm_s16le "
        + Quoted(tracks));
    ASSERT_EQ(made.exitCode, 0) << made.output;
    const std::string chosen = Script("tracks", "FFmpegSource2(\"tracks.mkv\", vtrack=2, atrack=3)");
    EXPECT_EQ(ScriptPictures(chosen).Numbers(), Range(49, 0));
    ExpectSameSound(ScriptSound(chosen), ToolSound(clip, "volume=0.5", 44100, 2), "atrack=3");
    EXPECT_EQ(
        ScriptPictures(Script("videotrack", "FFVideoSource(\"tracks.mkv\", 2).Trim(0, 4)")).Numbers(), Range(49, 45));
    ExpectSameSound(
        ScriptSound(Script("audiotrack", "AudioDub(BlankClip(length=50, fps=25), FFAudioSource(\"tracks.mkv\", 3))")),
        ToolSound(clip, "volume=0.5", 44100, 2), "FFAudioSource track 3");
    MediaError error;
    EXPECT_FALSE(MmStream::Open(
        Script("wrongtrack", "FFmpegSource2(\"tracks.mkv\", vtrack=1)"), MmPurpose::PrimaryVideo, error));
    EXPECT_NE(
        error.text.find("FFmpegSource2: \"tracks.mkv\" has no picture track 1 (line 1, column 1)"), std::string::npos)
        << error.text;
}

// A file whose headers read well but whose pictures no decoder here knows
// passes the script's evaluation; the graph made of it then refuses to start.
TEST(AvsMedia, AGraphThatCannotStartIsReportedWithTheScriptsName)
{
    const std::string tagged = SampleFolder() + "/tagged.avi";
    const CommandResult made = RunCommand(
        "ffmpeg -v error -y -i " + Quoted(Clip()) + " -frames:v 5 -c:v mpeg4 -vtag XVID -an " + Quoted(tagged));
    ASSERT_EQ(made.exitCode, 0) << made.output;
    std::vector<std::uint8_t> bytes = ReadAll(tagged);
    int renamed = 0;
    for (std::size_t i = 0; i + 4 <= bytes.size(); ++i) {
        if (std::memcmp(&bytes[i], "XVID", 4) == 0) {
            std::memcpy(&bytes[i], "QQQQ", 4);
            ++renamed;
        }
    }
    ASSERT_EQ(renamed, 2); // the stream's handler and its picture format
    std::ofstream(SampleFolder() + "/unknowncodec.avi", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));

    const std::string script = Script("unknowncodec", "AviSource(\"unknowncodec.avi\")");
    MediaError error;
    EXPECT_FALSE(MmStream::Open(script, MmPurpose::PrimaryVideo, error));
    EXPECT_EQ(error.failure, MediaFailure::ScriptFailed);
    EXPECT_EQ(error.text.rfind("cannot play the script '" + script + "': ", 0), 0u) << error.text;
}

TEST(AvsMedia, PictureFunctionsLookLikeTheToolsChain)
{
    const std::string clip = Clip();
    struct Case {
        const char* name;
        const char* script;
        const char* tool;
        int width;
        int height;
    };
    const Case cases[] = {
        {"crop", "Crop(16, 8, -32, -24)", "crop=304:256:16:8", 304, 256},
        {"borders", "AddBorders(8, 16, 24, 32, $102030)", "pad=384:336:8:16:0x102030", 384, 336},
        {"bilinear", "BilinearResize(176, 144)", "scale=176:144:flags=bilinear", 176, 144},
        {"bicubic", "BicubicResize(480, 360)", "scale=480:360:flags=bicubic", 480, 360},
        {"lanczos", "LanczosResize(320, 240)", "scale=320:240:flags=lanczos", 320, 240},
        {"point", "PointResize(704, 576)", "scale=704:576:flags=neighbor", 704, 576},
        {"window", "BilinearResize(176, 144, 16, 8, -16, -8)", "crop=320:272:16:8,scale=176:144:flags=bilinear", 176,
            144},
        {"lanczoswindow", "LanczosResize(320, 240, 32, 0, 176, 144.0, taps=4)",
            "crop=176:144:32:0,scale=320:240:flags=lanczos:param0=4", 320, 240},
        {"vflip", "FlipVertical()", "vflip", 352, 288},
        {"hflip", "FlipHorizontal()", "hflip", 352, 288},
        {"left", "TurnLeft()", "transpose=cclock", 288, 352},
        {"right", "TurnRight()", "transpose=clock", 288, 352},
        {"yv12", "ConvertToYV12()", "format=yuv420p", 352, 288},
        {"yuy2", "ConvertToYUY2()", "format=yuyv422", 352, 288},
        {"rgb24", "ConvertToRGB24()", "format=bgr24", 352, 288},
        {"rgb32", "ConvertToRGB32()", "format=bgra", 352, 288},
        {"convertfps", "ConvertFPS(50)", "framerate=fps=50", 352, 288},
        {"fadein", "FadeIn0(5)", "fade=t=in:start_frame=0:nb_frames=5", 352, 288},
        {"fadeout", "FadeOut0(5)", "fade=t=out:start_frame=5:nb_frames=5", 352, 288},
    };
    for (const Case& c : cases) {
        const Pictures ours
            = ScriptPictures(Script(c.name, "AviSource(\"" + clip + "\").Trim(0, 9)." + std::string(c.script)));
        const Pictures tool
            = ToolPictures(clip, std::string("[0:v]trim=end_frame=10,") + c.tool + "[v]", c.width, c.height);
        // Resizing in another pixel format than the tool's default path differs by rounding.
        EXPECT_LT(PictureDifference(ours, tool), 2.0) << c.name;
    }
    // The extra black frame of FadeOut, and frame numbers that still read under a flip back.
    const Pictures faded = ScriptPictures(Script("fadeoutextra", "AviSource(\"" + clip + "\").Trim(0, 9).FadeOut(3)"));
    ASSERT_EQ(faded.frames.size(), 11u);
    for (std::size_t i = 0; i < faded.frames.back().size(); ++i) {
        ASSERT_TRUE(i % 4 == 3 || faded.frames.back()[i] <= 2) << "byte " << i << " of the added frame";
    }
    const Pictures twice
        = ScriptPictures(Script("flipback", "AviSource(\"" + clip + "\").Trim(0, 4).TurnLeft().TurnRight()"));
    EXPECT_EQ(twice.Numbers(), Range(0, 4));
}

TEST(AvsMedia, SoundFunctionsGiveTheToolsSamples)
{
    const std::string clip = Clip();
    struct Case {
        const char* name;
        const char* script;
        const char* tool;
        int rate;
    };
    const Case cases[] = {
        {"sound", "AviSource(\"%s\")", "anull", 44100},
        {"amplify", "AviSource(\"%s\").Amplify(0.5)", "volume=0.5", 44100},
        {"amplifydb", "AviSource(\"%s\").AmplifydB(-6)", "volume=-6dB", 44100},
        {"amplifyeach", "AviSource(\"%s\").Amplify(1.0, 0.5)", "pan=stereo|c0=c0|c1=0.5*c1", 44100},
        {"amplifydbeach", "AviSource(\"%s\").AmplifydB(-6, -12, 9)", "pan=stereo|c0=0.501187234*c0|c1=0.251188643*c1",
            44100},
        {"delay", "AviSource(\"%s\").DelayAudio(0.1)", "adelay=100|100", 44100},
        {"advance", "AviSource(\"%s\").DelayAudio(-0.2)", "atrim=start=0.2,asetpts=PTS-STARTPTS", 44100},
        {"resample", "AviSource(\"%s\").ResampleAudio(48000)", "aresample=48000", 48000},
        {"trimsound", "AviSource(\"%s\").Trim(10, 29)", "atrim=start_sample=17640:end_sample=52920", 44100},
        {"reversesound", "AviSource(\"%s\").Reverse()", "areverse", 44100},
        {"fadesound", "AviSource(\"%s\").FadeIn0(10)", "afade=t=in:ss=0:ns=17640", 44100},
        {"ffaudio", "AudioDub(BlankClip(length=50, fps=25), FFAudioSource(\"%s\"))", "anull", 44100},
    };
    for (const Case& c : cases) {
        char text[512];
        std::snprintf(text, sizeof text, c.script, clip.c_str());
        ExpectSameSound(ScriptSound(Script(c.name, text)), ToolSound(clip, c.tool, c.rate, 2), c.name);
    }
}

TEST(AvsMedia, NormalizeBringsThePeakOfTheSoundMadeSoFarToItsVolume)
{
    const std::string clip = Clip();
    const Sound original = ToolSound(clip, "anull", 44100, 2);
    int peak = 0;
    for (const std::int16_t sample : original.samples) {
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    }
    ASSERT_GT(peak, 0);
    // The quartered sound is measured, so the gain is four times the plain clip's.
    char filter[64];
    std::snprintf(filter, sizeof filter, "volume=%.12f:precision=double", 0.9 * 32768 / peak);
    ExpectSameSound(ScriptSound(Script("normalize", "AviSource(\"" + clip + "\").Amplify(0.25).Normalize(0.9)")),
        ToolSound(clip, filter, 44100, 2), "normalize");
}

TEST(AvsMedia, NormalizeMeasuresAgainWhenItsFileHasChanged)
{
    const std::string changing = SampleFolder() + "/changing.avi";
    std::filesystem::copy_file(Clip(), changing, std::filesystem::copy_options::overwrite_existing);
    const std::string script = Script("changing", "AviSource(\"changing.avi\").Normalize(0.9)");
    const Sound before = ScriptSound(script);
    // The same sound at half volume, in a file of the same size: a peak kept
    // from before would give it half the volume now.
    const CommandResult made = RunCommand("ffmpeg -v error -y -i " + Quoted(Clip())
        + " -c:v copy -af volume=0.5 -c:a pcm_s16le " + Quoted(SampleFolder() + "/half.avi"));
    ASSERT_EQ(made.exitCode, 0) << made.output;
    std::filesystem::copy_file(
        SampleFolder() + "/half.avi", changing, std::filesystem::copy_options::overwrite_existing);
    ExpectSameSound(ScriptSound(script), before, "after the change", 3);
}

TEST(AvsMedia, KilledSoundAndMadeClipsOpenAsTheyShould)
{
    const std::string clip = Clip();
    MediaError error;
    EXPECT_FALSE(
        MmStream::Open(Script("kill", "AviSource(\"" + clip + "\").KillAudio()"), MmPurpose::PrimaryAudio, error));
    EXPECT_EQ(error.failure, MediaFailure::NoStream) << error.text;

    const Pictures bars = ScriptPictures(Script("bars", "ColorBars(320, 240).Trim(0, 4)"));
    const Pictures toolBars = ToolPictures("", "smptebars=s=320x240:r=30000/1001,trim=end_frame=5[v]", 320, 240);
    EXPECT_LT(PictureDifference(bars, toolBars), 1.0);

    const Pictures blank = ScriptPictures(Script("blank", "BlankClip(length=12, width=64, height=48, color=$0000FF)"));
    ASSERT_EQ(blank.frames.size(), 12u);
    EXPECT_GE(blank.frames[5][0], 250) << "blue first in BGRX";
    EXPECT_LE(blank.frames[5][2], 5);
    const Sound silence = ScriptSound(Script("blanksound", "BlankClip(length=25, fps=25)"));
    EXPECT_EQ(silence.samples.size(), 44100u);
    EXPECT_EQ(std::count(silence.samples.begin(), silence.samples.end(), 0), 44100);

    const std::string still = SampleFolder() + "/still.png";
    ASSERT_EQ(RunCommand("ffmpeg -v error -y -f lavfi -i testsrc2=s=160x120 -frames:v 1 " + Quoted(still)).exitCode, 0);
    const Pictures shown = ScriptPictures(Script("still", "ImageSource(\"still.png\", 0, 9, 25)"));
    const Pictures toolStill = ToolPictures(still, "[0:v]loop=loop=9:size=1[v]", 160, 120);
    EXPECT_LT(PictureDifference(shown, toolStill), 1.0);
}

TEST(AvsMedia, ImageSourceReadsANumberedSequenceFromItsStartNumber)
{
    // Files img0003.png.. hold the clip's frames 0..; frames 5..12 are clip frames 2..9. The
    // script lies beside them in a folder whose percent sign is no part of the pattern.
    std::filesystem::create_directories(SampleFolder() + "/100% seq");
    const std::string pattern = SampleFolder() + "/100%% seq/img%04d.png";
    const CommandResult made
        = RunCommand("ffmpeg -v error -y -i " + Quoted(Clip()) + " -frames:v 12 -start_number 3 " + Quoted(pattern));
    ASSERT_EQ(made.exitCode, 0) << made.output;
    double rate = 0;
    const Pictures ours = ScriptPictures(Script("100% seq/sequence", "ImageSource(\"img%04d.png\", 5, 12, 25)"), &rate);
    EXPECT_EQ(ours.Numbers(), Range(2, 9));
    EXPECT_DOUBLE_EQ(rate, 25.0);
    const Pictures tool = ToolPictures(pattern, "[0:v]trim=start_frame=2:end_frame=10[v]", 352, 288);
    EXPECT_LT(PictureDifference(ours, tool), 1.0);
}

TEST(AvsMedia, SubtitleDrawsTheTextOnlyOnItsFrames)
{
    const std::string clip = Clip();
    const Pictures plain = ScriptPictures(Script("plain", "AviSource(\"" + clip + "\").Trim(0, 5)"));
    const Pictures titled = ScriptPictures(
        Script("titled", "AviSource(\"" + clip + "\").Trim(0, 5).Subtitle(\"Hello\", 40, 120, 2, 3, size=40)"));
    ASSERT_EQ(plain.frames.size(), 6u);
    ASSERT_EQ(titled.frames.size(), 6u);
    for (std::size_t f = 0; f < 6; ++f) {
        const bool shown = f == 2 || f == 3;
        EXPECT_EQ(plain.frames[f] != titled.frames[f], shown) << "frame " << f;
    }
}

TEST(AvsMedia, SeekingBackRebuildsTheGraphFrameExactly)
{
    const std::string script = Script("seek", "a = AviSource(\"" + Clip() + "\")\na.Trim(20, 29) + a.Trim(0, 9)");
    std::unique_ptr<MmStream> stream = RunningVideo(script);
    ASSERT_TRUE(stream);
    const std::int64_t perFrame = stream->TimePerFrame();
    for (const std::int64_t frame : {12, 3, 17, 0, 19}) {
        ASSERT_TRUE(stream->Seek(frame * perFrame));
        ASSERT_EQ(UpdateAndWait(*stream), MmAnswer::Done);
        EXPECT_EQ(ShownNumber(*stream), frame < 10 ? frame + 20 : frame - 10) << "frame " << frame;
    }
}

} // namespace
} // namespace discforge::test
