// The usual plugins' names without their plugins: which loads are taken,
// what their functions make of a clip's facts, and DVD index files.
#include "ScriptEvaluation.h"
#include "script/AvsScript.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace discforge {
namespace {

class AvsPluginTest : public ScriptEvaluationTest {
protected:
    void SetUp() override
    {
        MakeFolder("avs-plugin-test");
        std::filesystem::create_directories(folder / "VIDEO_TS");
        for (const char* name : {"clip.avi", "VIDEO_TS/VTS_01_1.VOB", "VIDEO_TS/VTS_01_2.VOB"}) {
            std::ofstream(folder / name) << "x";
        }
        AvsMediaFacts clip;
        clip.videoTrack = 0;
        clip.hasVideo = true;
        clip.width = 720;
        clip.height = 480;
        clip.fpsNumerator = 30000;
        clip.fpsDenominator = 1001;
        clip.frames = 100;
        clip.audioTrack = 1;
        clip.hasAudio = true;
        clip.sampleRate = 48000;
        clip.channels = 2;
        clip.samples = 160160;
        probe.files["clip.avi"] = clip;
        clip.frames = 60;
        probe.files["VTS_01_1.VOB"] = clip;
        clip.frames = 40;
        probe.files["VTS_01_2.VOB"] = clip;
    }

    void WriteIndex(const std::string& name, const std::string& text) { std::ofstream(folder / name) << text; }
};

TEST_F(AvsPluginTest, LoadsOfKnownPluginsAreTakenAndOthersRefusedByName)
{
    EXPECT_TRUE(Run("LoadPlugin(\"C:\\Program Files\\AviSynth\\plugins\\DGDecode.dll\")\n"
                    "LoadPlugin(\"TIVTC.dll\", \"/usr/lib/yadif.so\")\nLoadCPlugin(\"yadif.dll\")\n"
                    "AviSource(\"clip.avi\")\n"))
        << AvsErrorText(error);
    ExpectFailure("AviSource(\"clip.avi\")\nLoadPlugin(\"Unknown.dll\")\n",
        "LoadPlugin: \"Unknown.dll\" is not a plugin whose functions this program has", 2, 1);
    ExpectFailure("LoadVirtualDubPlugin(\"x.vdf\", \"x\")\n", "plugins cannot be loaded", 1, 1);
    ExpectFailure(
        "AviSource(\"clip.avi\").VobSub(\"subs.idx\")\n", "VobSub: the file \"subs.idx\" does not exist", 1, 23);
    ExpectFailure("AviSource(\"clip.avi\").Yadif(mode=4)\n", "Yadif: the mode must be between 0 and 3", 1, 23);
}

TEST_F(AvsPluginTest, DeinterlacersAndMatchersGiveTheLengthsTheyShould)
{
    struct Case {
        const char* chain;
        std::int64_t frames;
        int numerator;
        int denominator;
        const char* note;
    };
    const Case cases[] = {
        {"Yadif()", 100, 30000, 1001, "Yadif runs as FFmpeg's yadif"},
        {"Yadif(mode=1, order=1)", 200, 60000, 1001, "Yadif runs as FFmpeg's yadif, a frame for each field"},
        {"TDeint()", 100, 30000, 1001, "TDeint runs as FFmpeg's bwdif"},
        {"QTGMC(Preset=\"Slower\", Sharpness=0.5)", 200, 60000, 1001,
            "QTGMC runs as FFmpeg's bwdif, a frame for each field"},
        {"QTGMC(FPSDivisor=2)", 100, 30000, 1001, "QTGMC runs as FFmpeg's bwdif"},
        {"TFM().TDecimate()", 80, 24000, 1001, "TDecimate runs as FFmpeg's decimate"},
        {"Telecide(order=1).Decimate(5)", 80, 24000, 1001, "Telecide runs as FFmpeg's fieldmatch"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(Run("AviSource(\"clip.avi\")." + std::string(c.chain) + "\n")) << c.chain << ": " << error.message;
        EXPECT_EQ(result.clip.frames, c.frames) << c.chain;
        EXPECT_EQ(result.clip.fpsNumerator, c.numerator) << c.chain;
        EXPECT_EQ(result.clip.fpsDenominator, c.denominator) << c.chain;
        EXPECT_NE(std::find(result.notes.begin(), result.notes.end(), c.note), result.notes.end()) << c.chain;
    }
    ExpectFailure("AviSource(\"clip.avi\").TDecimate(cycleR=2)\n", "only one frame in each cycle", 1, 23);
}

TEST_F(AvsPluginTest, AnIndexFileOpensItsVobFilesAsOneClip)
{
    // Written where the index was made, on Windows; the files lie beside it here.
    WriteIndex("VIDEO_TS/movie.d2v",
        "DGIndexProjectFile16\r\n2\r\nD:\\RIP\\VIDEO_TS\\VTS_01_1.VOB\r\n"
        "VTS_01_2.VOB\r\n\r\nStream_Type=1\r\nMPEG_Type=2\r\n"
        "Field_Operation=0\r\nFrame_Rate=29970 (30000/1001)\r\n\r\nLocation=0,0,0,0\r\n");
    ASSERT_TRUE(Run("MPEG2Source(\"VIDEO_TS/movie.d2v\")\n")) << AvsErrorText(error);
    EXPECT_EQ(result.clip.frames, 100);
    EXPECT_EQ(result.clip.width, 720);
    EXPECT_FALSE(result.clip.hasAudio) << "the index's source has no sound";
    WriteIndex("film.d2v", "DGIndexProjectFile16\n1\nVIDEO_TS/VTS_01_1.VOB\n\nField_Operation=1\n");
    ASSERT_TRUE(Run("MPEG2Source(\"film.d2v\")\n")) << AvsErrorText(error);
    EXPECT_EQ(result.clip.frames, 48);
    EXPECT_EQ(result.clip.fpsNumerator, 24000);

    WriteIndex("notindex.d2v", "something else\n");
    ExpectFailure("MPEG2Source(\"notindex.d2v\")\n", "MPEG2Source: the file is not a DVD index", 1, 1);
    WriteIndex("short.d2v", "DGIndexProjectFile16\n3\nVIDEO_TS/VTS_01_1.VOB\n");
    ExpectFailure("MPEG2Source(\"short.d2v\")\n", "the index lists fewer files than it says", 1, 1);
    WriteIndex("many.d2v", "DGIndexProjectFile16\n99999999999\n");
    ExpectFailure("MPEG2Source(\"many.d2v\")\n", "count of files is missing or out of range", 1, 1);
    WriteIndex("missing.d2v", "DGIndexProjectFile16\n1\nVTS_09_1.VOB\n");
    ExpectFailure("MPEG2Source(\"missing.d2v\")\n", "the file \"VTS_09_1.VOB\" of the index does not exist", 1, 1);
    WriteIndex("field.d2v", "DGIndexProjectFile16\n1\nVIDEO_TS/VTS_01_1.VOB\n\nField_Operation=7\n");
    ExpectFailure("MPEG2Source(\"field.d2v\")\n", "field operation is none of 0, 1 and 2", 1, 1);
}

TEST_F(AvsPluginTest, IndexingSourcesCountTheirTracksAsTheirPluginsDo)
{
    ASSERT_TRUE(Run("LSMASHVideoSource(\"clip.avi\", fpsnum=25, fpsden=1)\n")) << AvsErrorText(error);
    EXPECT_FALSE(result.clip.hasAudio);
    EXPECT_EQ(result.clip.fpsNumerator, 25);
    EXPECT_EQ(result.clip.frames, 83) << "100 frames at 29.97 last as long as 83 at 25";
    ASSERT_TRUE(Run("AudioDub(LWLibavVideoSource(\"clip.avi\"), LWLibavAudioSource(\"clip.avi\"))\n"))
        << AvsErrorText(error);
    EXPECT_EQ(result.clip.samples, 160160);
    ASSERT_TRUE(Run("AudioDub(LSMASHVideoSource(\"clip.avi\", track=1), LSMASHAudioSource(\"clip.avi\", track=2))\n"))
        << AvsErrorText(error);
    EXPECT_EQ(result.clip.channels, 2);
    ExpectFailure("LSMASHVideoSource(\"clip.avi\", track=2)\n", "has no picture track 1", 1, 1);
}

} // namespace
} // namespace discforge
