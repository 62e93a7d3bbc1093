// The language beyond single calls: the script's own functions with their
// defaults, scopes and recursion, imported files, and the functions on
// numbers, text and clip facts.
#include "ScriptEvaluation.h"
#include "script/AvsScript.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace discforge {
namespace {

class AvsLanguageTest : public ScriptEvaluationTest {
protected:
    void SetUp() override
    {
        MakeFolder("avs-language-test");
        std::filesystem::create_directories(folder / "lib");
        Write("clip.avi", "x");
        Write("lib/inner.avi", "x");
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
        clip.frames = 30;
        probe.files["inner.avi"] = clip;
    }

    void Write(const std::string& name, const std::string& text) { std::ofstream(folder / name) << text; }

    // The length of the clip the script makes; -1 when it fails.
    std::int64_t Frames(const std::string& script) { return Run(script) ? result.clip.frames : -1; }

    // The text `expression` gives, seen as the name Exist asks the probe about.
    std::string Text(const std::string& expression)
    {
        probe.asked.clear();
        if (!Run("x = Exist(" + expression + ")\nBlankClip()\n") || probe.asked.empty()) {
            return "<failed: " + error.message + ">";
        }
        return probe.asked.back().substr(folder.string().size() + 1);
    }
};

const std::string part = "function Part(clip c, int \"first\", int \"count\") {\n"
                         "    first = Default(first, 10)\n"
                         "    count = Defined(count) ? count : 5\n"
                         "    c.Trim(first, first + count - 1)\n"
                         "}\n";

TEST_F(AvsLanguageTest, UserFunctionsTakeOptionalNamedParametersWithDefaults)
{
    EXPECT_EQ(Frames(part + "AviSource(\"clip.avi\").Part()\n"), 5);
    EXPECT_EQ(Frames(part + "AviSource(\"clip.avi\").Part(count=3)\n"), 3);
    EXPECT_EQ(Frames(part + "AviSource(\"clip.avi\")\nPart(40, 20)\n"), 10) << "cut at the clip's end";
    // Defined before the definition's line, called without parentheses on last.
    EXPECT_EQ(Frames("AviSource(\"clip.avi\")\nPart\n" + part), 5);
    // A number parameter takes an integer as a number: 5 / 2 is 2.5 there.
    EXPECT_EQ(Frames("function Half(float x) { return x / 2 }\nBlankClip(length=Round(Half(5)))\n"), 3);
    // An untyped parameter takes any value; the body's last line is the result.
    EXPECT_EQ(Frames("function Pick(a, b) {\n  a > b ? a : b\n}\nBlankClip(length=Pick(4, 9))\n"), 9);
    ExpectFailure(part + "AviSource(\"clip.avi\").Part(\"x\")\n",
        "Part: argument 2 (first) must be an integer, not a string", 6, 23);
    ExpectFailure(
        part + "AviSource(\"clip.avi\").Part(frames=2)\n", "Part: there is no argument named \"frames\"", 6, 23);
    ExpectFailure("function F(clip c, int n) { c }\nBlankClip()\nF()\n", "F: the argument \"n\" is missing", 3, 1);
    ExpectFailure("function F(int n, string n) { n }\n", "the parameter name \"n\" is empty or given twice", 1, 26);
    ExpectFailure("function F(number n) { n }\n", "\"number\" is not a type", 1, 12);
    ExpectFailure("function F() {\n  function G() { 1 }\n}\n", "cannot be defined inside another", 2, 3);
}

TEST_F(AvsLanguageTest, FunctionsHaveTheirOwnScopeAndSeeOnlyGlobals)
{
    ExpectFailure("n = 5\nfunction F() { return n }\nBlankClip(length=F())\n", "I don't know what \"n\" means", 2, 23);
    EXPECT_EQ(Frames("global n = 7\nfunction F() { return n }\nBlankClip(length=F())\n"), 7);
    // A function's assignments and its "last" stay inside it.
    EXPECT_EQ(Frames("function F(clip c) {\n  n = 3\n  BlankClip(length=n)\n  return 1\n}\n"
                     "AviSource(\"clip.avi\")\nx = F(last)\nlast\n"),
        50);
    // "&&" stops at a false left side, so an unset parameter is not compared.
    EXPECT_EQ(Frames("function F(int \"n\") { Defined(n) && n > 2 ? 8 : 4 }\nBlankClip(length=F())\n"), 4);
    EXPECT_EQ(Frames("function F(int \"n\") { Defined(n) && n > 2 ? 8 : 4 }\nBlankClip(length=F(3))\n"), 8);
}

TEST_F(AvsLanguageTest, RecursionWorksUntilItsDepthLimit)
{
    const std::string count = "function Count(int n) { return n <= 0 ? 0 : 1 + Count(n - 1) }\n";
    EXPECT_EQ(Frames(count + "BlankClip(length=Count(60))\n"), 60);
    ExpectFailure(
        count + "BlankClip(length=Count(500))\n", "Count: the functions call each other more than 100 deep", 1, 49);
    EXPECT_EQ(Frames("function Repeat(clip c, int n) { n <= 1 ? c : c + Repeat(c, n - 1) }\n"
                     "AviSource(\"clip.avi\").Repeat(3)\n"),
        150);
    ExpectFailure("function Forever(clip c) { Forever(c) }\nBlankClip().Forever()\n", "more than 100 deep", 1, 28);
    // Two calls at each of 60 steps would be 2^60 calls, a text doubled 60 times 2^60 bytes.
    ExpectFailure("function Both(int n) { n <= 0 ? 0 : Both(n - 1) + Both(n - 1) }\nBlankClip(length=Both(60))\n",
        "the script calls its functions more than 100000 times", 1, 37);
    ExpectFailure("function Grow(string s, int n) { n <= 0 ? s : Grow(s + s, n - 1) }\nx = Grow(\"ab\", 60)\n",
        "the text would be longer than 1048576 bytes", 1, 54);
}

TEST_F(AvsLanguageTest, ImportRunsFilesFromTheirOwnFolderAndRefusesCycles)
{
    // The library names its clip relative to its own folder.
    Write("lib/twice.avsi", "function Twice(clip c) { return c + c }\nsource = AviSource(\"inner.avi\")\n");
    EXPECT_EQ(Frames("Import(\"lib/twice.avsi\")\nTwice(source)\n"), 60);
    EXPECT_EQ(Frames("Import(\"lib\\\\twice.avsi\")\nAviSource(\"clip.avi\").Twice()\n"), 100);
    // An imported script's result is Import's value.
    Write("made.avs", "BlankClip(length=12)\n");
    EXPECT_EQ(Frames("Import(\"made.avs\")\n"), 12);

    Write("a.avsi", "Import(\"b.avsi\")\n");
    Write("b.avsi", "x = 1\nImport(\"a.avsi\")\n");
    ExpectFailure("BlankClip()\nImport(\"a.avsi\")\n",
        "Import: in \"a.avsi\": Import: in \"b.avsi\": Import: \"a.avsi\" is already being imported", 2, 1);
    Write("self.avsi", "Import(\"self.avsi\")\n");
    ExpectFailure("Import(\"self.avsi\")\n", "already being imported", 1, 1);
    Write("broken.avsi", "x = 1\ny = (2\n");
    ExpectFailure("Import(\"broken.avsi\")\n",
        "Import: in \"broken.avsi\": expected \")\" but found the end of the line (line 2, column 7)", 1, 1);
    ExpectFailure("Import(\"missing.avsi\")\n", "Import: the file \"missing.avsi\" does not exist", 1, 1);
    ExpectFailure("Import(3)\n", "a file name is a string", 1, 1);
}

TEST_F(AvsLanguageTest, NumbersAndTextAreWrittenCutAndFound)
{
    EXPECT_EQ(Text("String(12) + \"/\" + String(2.5) + \"/\" + String(3.14159, \"%.2f\") + \"/\" + String(true)"),
        "12/2.500000/3.14/true");
    EXPECT_EQ(Text("String(255, \"%04X\")"), "00FF");
    EXPECT_EQ(Text("String(Value(\"3.5e2\"), \"%.1f\")"), "350.0");
    EXPECT_EQ(Text("String(Round(2.5)) + String(Round(-2.5)) + String(Floor(-1.5)) + String(Ceil(1.2))"), "3-3-22");
    EXPECT_EQ(Text("String(Abs(-7)) + String(Min(3, 1.5, 2), \"%.1f\") + String(Max(1, 4, 2))"), "71.54");
    EXPECT_EQ(Text("String(Int(-2.7)) + String(Sqrt(16.0), \"%g\") + String(Pow(2, 10), \"%g\")"), "-241024");
    EXPECT_EQ(
        Text("LeftStr(\"discforge\", 4) + MidStr(\"discforge\", 5) + MidStr(\"discforge\", 5, 2)"), "discforgefo");
    EXPECT_EQ(Text("RightStr(\"abcdef\", 2) + LCase(\"DVD\") + UCase(\"svcd\") + RevStr(\"ab\")"), "efdvdSVCDba");
    EXPECT_EQ(
        Text("String(FindStr(\"discforge\", \"forge\")) + String(FindStr(\"a\", \"z\")) + String(StrLen(\"hello\"))"),
        "505");
    EXPECT_EQ(Text("Select(2, \"a\", \"b\", \"c\")"), "c");
    EXPECT_EQ(Text("Select(0, \"a\", \"b\")"), "a");
    ExpectFailure("x = Select(3, \"a\")\n", "Select: the index 3 chooses none of the 1 values", 1, 5);
    ExpectFailure("x = String(1, \"%s\")\n", "the format \"%s\" must hold one number", 1, 5);
    ExpectFailure("x = LeftStr(\"a\", -1)\n", "a length cannot be negative", 1, 5);
    EXPECT_EQ(Frames("BlankClip(length=Exist(\"clip.avi\") ? 3 : 4)\n"), 3);
    EXPECT_EQ(Frames("BlankClip(length=Exist(\"none.avi\") ? 3 : 4)\n"), 4);
}

TEST_F(AvsLanguageTest, ClipPropertiesDescribeTheClip)
{
    const std::string facts = "c = AviSource(\"clip.avi\")\n"
                              "ok = c.Width == 320 && c.Height == 240 && c.FrameCount == 50 && c.FrameRate == 25.0\n"
                              "ok = ok && c.AudioRate == 48000 && c.AudioChannels == 2 && c.AudioLength == 96000\n"
                              "ok = ok && c.HasAudio && c.HasVideo && c.IsYV12 && c.IsYUV && !c.IsRGB\n"
                              "ok = ok && !c.KillAudio().HasAudio && c.KillAudio().AudioChannels == 0\n"
                              "ok = ok && c.ConvertToYUY2().IsYUY2 && !c.ConvertToYUY2().IsYV12\n"
                              "ok = ok && BlankClip().IsRGB32 && c.ConvertToRGB24().IsRGB24 && c.ConvertToRGB().IsRGB\n"
                              "ok = ok && c.AssumeFPS(30000, 1001).FrameRateNumerator == 30000\n"
                              "BlankClip(length=ok ? 11 : 22)\n";
    EXPECT_EQ(Frames(facts), 11) << error.message;
}

} // namespace
} // namespace discforge
