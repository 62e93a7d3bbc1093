// The script language on its own: parsing, evaluation, the facts of the
// result, the graph it becomes, and every malformed script's message and place.
#include "script/AvsScript.h"
#include "ScriptEvaluation.h"
#include "script/AvsParser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace discforge {
namespace {

class AvsScriptTest : public ScriptEvaluationTest {
protected:
    void SetUp() override
    {
        MakeFolder("avs-script-test");
        std::filesystem::create_directories(folder / "sub");
        for (const char* name : {"clip.avi", "other.avi", "sub/inner.avi", "still.png", "big.avi"}) {
            std::ofstream(folder / name) << "x";
        }
        AvsMediaFacts clip;
        clip.videoTrack = 0;
        clip.audioTrack = 1;
        clip.hasVideo = true;
        clip.width = 320;
        clip.height = 240;
        clip.fpsNumerator = 25;
        clip.frames = 50;
        clip.hasAudio = true;
        clip.sampleRate = 48000;
        clip.channels = 2;
        clip.samples = 96000;
        probe.files["clip.avi"] = clip;
        probe.files["other.avi"] = clip;
        probe.files["inner.avi"] = clip;
        AvsMediaFacts big = clip;
        big.width = 640;
        probe.files["big.avi"] = big;
        AvsMediaFacts still;
        still.videoTrack = 0;
        still.hasVideo = true;
        still.width = 64;
        still.height = 48;
        still.fpsNumerator = 25;
        still.frames = 1;
        probe.files["still.png"] = still;
    }
};

TEST_F(AvsScriptTest, ImplicitLastMethodsAndJoinsGiveTheResultsFacts)
{
    ASSERT_TRUE(Run("# a comment\n"
                    "a = AviSource(\"clip.avi\")   /* inline */\n"
                    "b = AVISOURCE(\"other.avi\").Trim(10, 19)\n"
                    "a ++ b\n"
                    "Trim(5, -20)  [* nested [* comment *] *]\n"
                    "AssumeFPS(30000, 1001)\n"))
        << AvsErrorText(error);
    EXPECT_EQ(result.clip.frames, 20);
    EXPECT_EQ(result.clip.fpsNumerator, 30000);
    EXPECT_EQ(result.clip.fpsDenominator, 1001);
    EXPECT_EQ(result.clip.width, 320);
    EXPECT_TRUE(result.clip.hasAudio);
    // 20 frames at 25 per second of 48 kHz sound, cut before the new rate.
    EXPECT_EQ(result.clip.samples, 38400);
    EXPECT_NE(result.graph.find("[out0]"), std::string::npos);
    EXPECT_NE(result.graph.find("[out1]"), std::string::npos);
    EXPECT_NE(result.graph.find("trim=start_frame=5:end_frame=25"), std::string::npos) << result.graph;
}

TEST_F(AvsScriptTest, ValuesOperatorsAndNamedArguments)
{
    ASSERT_TRUE(Run("w = 100 + 2 * 30 - $10\n"
                    "big = w > 140 ? true : false\n"
                    "AviSource(\"clip.avi\", audio=false)\n"
                    "BilinearResize(big ? w : 8, Height / 2)\n"
                    "return last.Crop(left=2, top=2, width=-2, height=-2) \\\n"
                    "   .AddBorders(1, 1, 1, 1, $FF0000)\n"))
        << AvsErrorText(error);
    EXPECT_EQ(result.clip.width, 144 - 4 + 2);
    EXPECT_EQ(result.clip.height, 120 - 4 + 2);
    EXPECT_FALSE(result.clip.hasAudio);
    EXPECT_EQ(result.graph.find("[out1]"), std::string::npos);
    EXPECT_NE(result.graph.find("color=0xFF0000"), std::string::npos);
}

TEST_F(AvsScriptTest, RelativePathsStartAtTheScriptsFolderAndWindowsPathsAreNamed)
{
    EXPECT_TRUE(Run("AviSource(\"sub\\inner.avi\")\n")) << AvsErrorText(error);
    EXPECT_NE(result.graph.find((folder / "sub/inner.avi").string()), std::string::npos) << result.graph;
    ExpectFailure("\nAviSource(\"C:\\video\\clip.avi\")\n", "Windows path \"C:\\video\\clip.avi\"", 2, 1);
    ExpectFailure("AviSource(\"missing.avi\")\n", "AviSource: the file \"missing.avi\" does not exist", 1, 1);
}

TEST_F(AvsScriptTest, AClipUsedTwiceIsSplitAndUnusedClipsAreLeftOut)
{
    ASSERT_TRUE(Run("a = AviSource(\"clip.avi\")\nunused = AviSource(\"other.avi\")\na + a.Reverse()\n"))
        << AvsErrorText(error);
    EXPECT_EQ(result.clip.frames, 100);
    EXPECT_EQ(result.graph.find("other.avi"), std::string::npos) << result.graph;
    EXPECT_NE(result.graph.find("split=2"), std::string::npos) << result.graph;
    EXPECT_NE(result.graph.find("asplit=2"), std::string::npos) << result.graph;
}

TEST_F(AvsScriptTest, SpecialCharactersInPathsAndTextsAreEscaped)
{
    std::ofstream(folder / "it's [a]; b,c.avi") << "x";
    probe.files["it's [a]; b,c.avi"] = probe.files["clip.avi"];
    ASSERT_TRUE(Run("AviSource(\"it's [a]; b,c.avi\").Subtitle(\"a:b, 'c' [d]; e\\\\f\")\n")) << AvsErrorText(error);
    EXPECT_EQ(result.graph.find("it's"), std::string::npos) << "quote left bare: " << result.graph;
    EXPECT_NE(result.graph.find("it\\\\\\'s \\[a\\]\\; b\\,c.avi"), std::string::npos) << result.graph;
}

TEST_F(AvsScriptTest, MalformedScriptsNameTheFaultAndItsPlace)
{
    ExpectFailure("AviSource(\"clip.avi\")\nTrim(0, 10\n", "expected \",\" or \")\" in the arguments of Trim", 2, 11);
    ExpectFailure("AviSource(\"clip.avi\"))\n", "unexpected \")\"", 1, 22);
    ExpectFailure("x = 1\nAviSource(\"clip.avi)\n", "the string is not closed", 2, 11);
    ExpectFailure(
        "AviSource(\"clip.avi\").Trim(\"a\", 5)\n", "Trim: argument 2 (first_frame) must be an integer", 1, 23);
    ExpectFailure("AviSource(\"clip.avi\")\n  MCTemporalDenoise(0.5)\n",
        "there is no function named \"MCTemporalDenoise\"", 2, 3);
    ExpectFailure(
        "LoadPlugin(\"x.dll\")\n", "LoadPlugin: \"x.dll\" is not a plugin whose functions this program has", 1, 1);
    ExpectFailure("\n\nfunction Twice(clip c) { return c + c\n", "the \"{\" of the function is not closed", 3, 24);
    ExpectFailure("AviSource(\"clip.avi\")\nScriptClip(\"subtitle(string(current_frame))\")\n",
        "runtime filters are not supported", 2, 1);
    ExpectFailure("a = b\nb = a\n", "I don't know what \"b\" means", 1, 5);
    ExpectFailure("AviSource(\"clip.avi\")\n/* open", "the comment \"/*\" is not closed", 2, 1);
    ExpectFailure("x = 1\n", "the script does not produce a clip", 1, 1);
    ExpectFailure("return 5\n", "the script's result is an integer", 1, 1);
    ExpectFailure("AviSource(\"clip.avi\") + AviSource(\"big.avi\")\n", "Splice: the picture sizes differ", 1, 23);
    ExpectFailure("AviSource(\"clip.avi\").Crop(0, 0, 400, 0)\n", "Crop: the area", 1, 23);
    ExpectFailure("AviSource(\"clip.avi\").Overlay(AviSource(\"big.avi\"), mode=\"Add\")\n",
        "Overlay: the mode Add needs an overlay of the base's size at 0, 0", 1, 23);
    ExpectFailure("AviSource(\"clip.avi\").Overlay(AviSource(\"big.avi\"), mode=\"Burn\")\n",
        "Overlay: the mode \"Burn\" is none of", 1, 23);
    ExpectFailure("AviSource(\"clip.avi\").ColorYUV(levels=\"TV->HDR\")\n", "ColorYUV: levels must be", 1, 23);
    ExpectFailure("AviSource(\"clip.avi\").SelectEvery(4, 2, 1)\n", "SelectEvery: the offsets must rise", 1, 23);
    ExpectFailure("AviSource(\"clip.avi\").Loop(0)\n", "Loop: the number of times must be between 1 and 100000", 1, 23);
    ExpectFailure("AviSource(\"clip.avi\").TimeStretch(pitch=500)\n",
        "TimeStretch: the rate and the pitch must be between 25 and 400 percent", 1, 23);
    ExpectFailure(
        "a = AviSource(\"clip.avi\")\nDissolve(a, a, a)\n", "Dissolve: the argument \"overlap\" is missing", 2, 1);
    ExpectFailure("a = AviSource(\"clip.avi\")\nDissolve(a, a, AviSource(\"big.avi\"), 5)\n",
        "Dissolve: the clips differ in picture size", 2, 1);
    ExpectFailure(
        "AviSource(\"clip.avi\").DeleteFrame(50)\n", "DeleteFrame: the frame 50 is not one of the clip's 50", 1, 23);
    ExpectFailure(
        "AviSource(\"clip.avi\").Subtitle(\"x\", align=10)\n", "Subtitle: align must be between 1 and 9", 1, 23);
    ExpectFailure("AviSource(\"clip.avi\").StackHorizontal(AviSource(\"big.avi\").Crop(0, 0, 0, 200))\n",
        "StackHorizontal: the clips must have the same height", 1, 23);
    ExpectFailure("Tone(type=\"Pink\")\n", "Tone: the type \"Pink\" is none of", 1, 1);
    ExpectFailure("AviSource(\"clip.avi\").BicubicResize(160, 120, 0, 0.5, 300.5, 0, 20, 10)\n",
        "BicubicResize: the source window 20x10 at 300.5,0 does not lie inside the 320x240 picture", 1, 23);
    ExpectFailure("AviSource(\"clip.avi\").BilinearResize(160, 120, 0.25, 0, -0.5, -240.5)\n",
        "BilinearResize: the source window 319.25x-0.5 at 0.25,0 does not lie inside", 1, 23);
    ExpectFailure("Trim(0, 5)\n", "Trim: there is no clip to work on", 1, 1);
    ExpectFailure("AviSource(\"clip.avi\").Trim(first_frame=1, first_frame=2, last_frame=3)\n", "given twice", 1, 23);
    ExpectFailure("x = 10 / 0\n", "division by zero", 1, 8);
    ExpectFailure("x = 99999999999\n", "too large", 1, 5);
    ExpectFailure(
        "BlankClip(length=100000, width=720, height=576).Reverse()\n", "Reverse: the clip is too long", 1, 49);
}

TEST_F(AvsScriptTest, BinaryBytesHugeScriptsAndDeepNestingAreRefusedWithoutHarm)
{
    ExpectFailure("AviSource(\"clip.avi\")\nx = 1 " + std::string("\x01\x02"), "the byte 0x01", 2, 7);
    ExpectFailure(std::string("x\0y", 3), "the byte 0x00", 1, 2);
    ExpectFailure(std::string(10 << 20, '#'), "larger than", 1, 1);
    std::string deep = "x = " + std::string(100000, '(') + "1" + std::string(100000, ')') + "\n";
    ExpectFailure(deep, "nested too deeply", 1, 206);
    std::string chain = "AviSource(\"clip.avi\")\n";
    for (int i = 0; i < 6000; ++i) {
        chain += "FlipVertical()\n";
    }
    ExpectFailure(chain, "more than 5000 filters", 5000, 1);
}

TEST_F(AvsScriptTest, SourcesMadeFromNothingHaveTheirKnownDefaults)
{
    ASSERT_TRUE(Run("BlankClip()\n")) << AvsErrorText(error);
    EXPECT_EQ(result.clip.frames, 240);
    EXPECT_EQ(result.clip.width, 640);
    EXPECT_EQ(result.clip.fpsNumerator, 24);
    EXPECT_EQ(result.clip.samples, 441000);
    ASSERT_TRUE(Run("ColorBars(320, 240).Trim(0, 29).ChangeFPS(25)\n")) << AvsErrorText(error);
    EXPECT_EQ(result.clip.frames, 25);
    EXPECT_EQ(result.clip.sampleRate, 48000);
    ASSERT_TRUE(Run("ImageSource(\"still.png\", 0, 9, 25).FadeOut(3)\n")) << AvsErrorText(error);
    EXPECT_EQ(result.clip.frames, 11);
    ASSERT_TRUE(Run("AudioDub(BlankClip(length=10, fps=25), FFAudioSource(\"clip.avi\")).DelayAudio(0.5)\n"))
        << AvsErrorText(error);
    EXPECT_EQ(result.clip.samples, 96000 + 24000);
}

TEST_F(AvsScriptTest, AnEndlessLoopLastsADayAndATrimTakesWhatItNeeds)
{
    // 50 frames at 25 per second, 1920 samples each, played 43 200 times: a day
    // of 2 160 000 frames. Frames 10-19 fill it with the 40 others 215 996 times.
    for (const std::string call : {"Loop()", "Loop(-1)", "Loop(times=-5)"}) {
        ASSERT_TRUE(Run("AviSource(\"clip.avi\")." + call + "\n")) << call << ": " << AvsErrorText(error);
        EXPECT_EQ(result.clip.frames, 2160000) << call;
        EXPECT_EQ(result.clip.samples, std::int64_t{2160000} * 1920) << call;
    }
    ASSERT_TRUE(Run("AviSource(\"clip.avi\").Loop(-1, 10, 19)\n")) << AvsErrorText(error);
    EXPECT_EQ(result.clip.frames, 40 + 215996 * 10);
    ASSERT_TRUE(Run("AviSource(\"clip.avi\").Loop().Trim(0, 1499)\n")) << AvsErrorText(error);
    EXPECT_EQ(result.clip.frames, 1500);
}

TEST_F(AvsScriptTest, DissolvingSeveralClipsOverlapsEachWithTheNext)
{
    // Four clips of 50 frames, each overlapping the one before by 5.
    ASSERT_TRUE(Run("a = AviSource(\"clip.avi\")\nDissolve(a, a, a, a, 5)\n")) << AvsErrorText(error);
    EXPECT_EQ(result.clip.frames, 4 * 50 - 3 * 5);
    ASSERT_TRUE(Run("a = AviSource(\"clip.avi\")\nDissolve(a, a.Trim(0, 9), overlap=20)\n")) << AvsErrorText(error);
    EXPECT_EQ(result.clip.frames, 50);
}

TEST_F(AvsScriptTest, SsrcAndResampleAudioChangeTheRateAndKeepTheLength)
{
    // clip.avi holds 96000 samples at 48 kHz: two seconds, which is 88200 at 44.1 kHz.
    for (const std::string call : {"SSRC(44100)", "SSRC(44100, fast=false)", "ResampleAudio(44100)"}) {
        ASSERT_TRUE(Run("AviSource(\"clip.avi\")." + call + "\n")) << call << ": " << AvsErrorText(error);
        EXPECT_EQ(result.clip.sampleRate, 44100) << call;
        EXPECT_EQ(result.clip.samples, 88200) << call;
    }
    ExpectFailure("AviSource(\"clip.avi\").SSRC(500)\n", "out of range", 1, 23);
}

TEST_F(AvsScriptTest, NormalizeRefusesToShowItsGainAndLeavesSilenceAlone)
{
    ExpectFailure("AviSource(\"clip.avi\")\n  Normalize(show=true)\n", "Normalize: showing the gain", 2, 3);
    probe.peak = 0;
    ASSERT_TRUE(Run("AviSource(\"clip.avi\").Normalize()\n")) << AvsErrorText(error);
    EXPECT_EQ(result.graph.find("volume="), std::string::npos) << result.graph;
}

TEST_F(AvsScriptTest, APictureSequenceWithAGapNamesItsFirstMissingPicture)
{
    for (const char* name : {"seq/p08.png", "seq/p09.png", "seq/p10.png", "seq/p12.png", "seq/p13.png"}) {
        std::filesystem::create_directories(folder / "seq");
        std::ofstream(folder / name) << "x";
    }
    probe.files["p08.png"] = probe.files["still.png"];
    ASSERT_TRUE(Run("ImageSource(\"seq/p%02d.png\", 8, 10)\n")) << AvsErrorText(error);
    EXPECT_EQ(result.clip.frames, 3);
    EXPECT_EQ(result.clip.width, 64);
    ExpectFailure("\nImageSource(\"seq/p%02d.png\", 8, 13)\n",
        "ImageSource: the picture \"seq/p11.png\" of the sequence does not exist", 2, 1);
    ExpectFailure("ImageSource(\"seq/p%2d.png\", 8, 10)\n", "one number written %d or %0Nd", 1, 1);
}

TEST(AvsParser, ContinuationLinesJoinAndTripleQuotedStringsKeepQuotes)
{
    AvsError error;
    const auto tree = ParseAvsScript("x = \"\"\"say \"hi\" now\"\"\"\ny = 1 +\\\n 2\nz = 3\n\\ + 4\n", error);
    ASSERT_TRUE(tree) << AvsErrorText(error);
    ASSERT_EQ(tree->children.size(), 3u);
    EXPECT_EQ(tree->children[0]->children[0]->text, "say \"hi\" now");
    EXPECT_EQ(tree->children[2]->children[0]->kind, AvsNodeKind::Binary);
}

} // namespace
} // namespace discforge
