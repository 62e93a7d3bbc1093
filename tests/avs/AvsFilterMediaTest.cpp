// The internal filters through the media layer, each judged by what it does
// to the picture or the sound: frame numbers read from the picture, levels
// and edges measured, tones compared with the wave they should be.
#include "ScriptCapture.h"

#include "../platform/SampleMedia.h"

#include <gtest/gtest.h>

#include <cmath>

namespace discforge::test {
namespace {

std::string Numbered(const std::string& chain) { return "AviSource(\"" + Clip() + "\")." + chain; }

// The value a grey of `rgb` has after a trip through limited-range luma.
double LumaOf(double rgb) { return 16 + rgb * 219 / 255; }
double RgbOf(double luma) { return (luma - 16) * 255 / 219; }

TEST(AvsFilterMedia, FrameSelectionsGiveTheFramesTheyName)
{
    struct Case {
        const char* name;
        const char* chain;
        std::vector<std::int64_t> numbers;
    };
    const Case cases[] = {
        {"even", "Trim(0, 9).SelectEven()", {0, 2, 4, 6, 8}},
        {"odd", "Trim(0, 9).SelectOdd()", {1, 3, 5, 7, 9}},
        {"every", "Trim(0, 19).SelectEvery(5, 1, 3)", {1, 3, 6, 8, 11, 13, 16, 18}},
        {"loop", "Trim(0, 5).Loop(3, 2, 4)", {0, 1, 2, 3, 4, 2, 3, 4, 2, 3, 4, 5}},
        {"freeze", "Trim(0, 9).FreezeFrame(2, 4, 7)", {0, 1, 7, 7, 7, 5, 6, 7, 8, 9}},
        {"duplicate", "Trim(0, 4).DuplicateFrame(3, 1)", {0, 1, 1, 2, 3, 3, 4}},
        {"delete", "Trim(0, 5).DeleteFrame(2, 0)", {1, 3, 4, 5}},
        {"rangeevery", "SelectRangeEvery(10, 3, 2)", {2, 3, 4, 12, 13, 14, 22, 23, 24, 32, 33, 34, 42, 43, 44}},
        {"fields", "Trim(0, 5).SeparateFields().Weave()", {0, 1, 2, 3, 4, 5}},
        {"tfffields", "Trim(0, 5).AssumeTFF().SeparateFields().Weave()", {0, 1, 2, 3, 4, 5}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScriptPictures(Script(c.name, Numbered(c.chain))).Numbers(), c.numbers) << c.name;
    }
    double rate = 0;
    EXPECT_EQ(ScriptPictures(Script("everyrate", Numbered("SelectEvery(5, 0, 2)")), &rate).frames.size(), 20u);
    EXPECT_DOUBLE_EQ(rate, 10.0);
    // Fields 2k and 2k+1 woven again are source frame k.
    const Pictures doubled
        = ScriptPictures(Script("doubleweave", Numbered("Trim(0, 4).SeparateFields().DoubleWeave()")));
    ASSERT_EQ(doubled.frames.size(), 10u);
    EXPECT_EQ(doubled.height, 288);
    const std::vector<std::int64_t> woven = doubled.Numbers();
    for (std::size_t k = 0; k < 5; ++k) {
        EXPECT_EQ(woven[2 * k], static_cast<std::int64_t>(k)) << "frame " << 2 * k;
    }
    const Pictures fields = ScriptPictures(Script("separate", Numbered("Trim(0, 4).SeparateFields()")), &rate);
    EXPECT_EQ(fields.frames.size(), 10u);
    EXPECT_EQ(fields.height, 144);
    EXPECT_DOUBLE_EQ(rate, 50.0);
}

// The clip's clicks come at each second: sound cut and repeated with its
// frames keeps each click with the frame it belongs to.
TEST(AvsFilterMedia, LoopAndRangesTakeTheSoundOfTheirFrames)
{
    const Sound looped = ScriptSound(Script("loopsound", Numbered("Loop(2, 20, 29)")));
    const Sound ranges = ScriptSound(Script("rangesound", Numbered("SelectRangeEvery(25, 10, 20)")));
    ASSERT_EQ(looped.channels, 2);
    // 60 frames of 1764 samples; frames 20-29 twice puts the click of frame 25 at 25 and 35.
    EXPECT_EQ(looped.samples.size(), 60u * 1764 * 2);
    // Frames 20-29 and 45-49: the click of frame 25 is the range's sixth frame.
    EXPECT_EQ(ranges.samples.size(), 15u * 1764 * 2);
    auto loudest = [](const Sound& sound, std::size_t from, std::size_t to) {
        std::size_t at = from;
        for (std::size_t i = from; i < to && i < sound.samples.size() / 2; ++i) {
            if (std::abs(sound.samples[2 * i]) > std::abs(sound.samples[2 * at])) {
                at = i;
            }
        }
        return at / 1764;
    };
    EXPECT_EQ(loudest(looped, 20 * 1764, 30 * 1764), 25u);
    EXPECT_EQ(loudest(looped, 30 * 1764, 40 * 1764), 35u);
    EXPECT_EQ(loudest(ranges, 0, 10 * 1764), 5u);
}

TEST(AvsFilterMedia, DissolveBlendsTheOverlapInEqualSteps)
{
    const Pictures joined = ScriptPictures(
        Script("dissolvenumbers", "a = AviSource(\"" + Clip() + "\")\nDissolve(a.Trim(0, 9), a.Trim(40, 49), 4)"));
    ASSERT_EQ(joined.frames.size(), 16u);
    const std::vector<std::int64_t> numbers = joined.Numbers();
    EXPECT_EQ(std::vector<std::int64_t>(numbers.begin(), numbers.begin() + 6), Range(0, 5));
    EXPECT_EQ(std::vector<std::int64_t>(numbers.begin() + 10, numbers.end()), Range(44, 49));
    // Black into white over four frames: 1/5, 2/5, 3/5 and 4/5 white.
    const Pictures steps = ScriptPictures(Script("dissolvesteps",
        "Dissolve(BlankClip(length=5, width=64, height=48, fps=25), BlankClip(length=5, width=64, height=48, fps=25, "
        "color=$FFFFFF), 4)"));
    ASSERT_EQ(steps.frames.size(), 6u);
    for (std::size_t f = 0; f < 6; ++f) {
        EXPECT_NEAR(steps.Mean(f, 8, 8, 48, 32, 1), 255.0 * static_cast<double>(f) / 5, 4) << "frame " << f;
    }
}

// A picture of two greys side by side, 32 pixels each, 64 x 32.
std::string Edge(int left, int right)
{
    char text[256];
    std::snprintf(text, sizeof text,
        "StackHorizontal(BlankClip(length=2, width=32, height=32, fps=25, color=$%02X%02X%02X), "
        "BlankClip(length=2, width=32, height=32, fps=25, color=$%02X%02X%02X)).ConvertToYV12()",
        left, left, left, right, right, right);
    return text;
}

// The green values of one row across the picture.
std::vector<double> Row(const Pictures& pictures, int y)
{
    std::vector<double> row;
    for (int x = 0; x < pictures.width; ++x) {
        row.push_back(pictures.Mean(0, x, y, 1, 1, 1));
    }
    return row;
}

TEST(AvsFilterMedia, BlurAndSharpenWeighNeighboursAsTheirKernels)
{
    const std::vector<double> plain = Row(ScriptPictures(Script("edge", Edge(64, 192))), 16);
    ASSERT_NEAR(plain[31], 64, 2);
    ASSERT_NEAR(plain[32], 192, 2);
    // Blur(1): a quarter of each neighbour and half the pixel.
    const std::vector<double> blurred = Row(ScriptPictures(Script("blur", Edge(64, 192) + ".Blur(1.0)")), 16);
    EXPECT_NEAR(blurred[20], 64, 2);
    EXPECT_NEAR(blurred[31], 64 + 128 * 0.25, 3);
    EXPECT_NEAR(blurred[32], 64 + 128 * 0.75, 3);
    // Sharpen(0.5): the pixel weighs 2^0.5 and each neighbour (1 - 2^0.5) / 2.
    const double side = (1 - std::sqrt(2.0)) / 2;
    const std::vector<double> sharp = Row(ScriptPictures(Script("sharpen", Edge(64, 192) + ".Sharpen(0.5)")), 16);
    EXPECT_NEAR(sharp[31], 64 + side * 128, 4);
    EXPECT_NEAR(sharp[32], 192 - side * 128, 4);
    EXPECT_NEAR(sharp[10], 64, 2);
}

// The green values down one column of the first frame.
std::vector<double> Column(const Pictures& pictures, int x)
{
    std::vector<double> column;
    for (int y = 0; y < pictures.height; ++y) {
        column.push_back(pictures.Mean(0, x, y, 1, 1, 1));
    }
    return column;
}

TEST(AvsFilterMedia, ASourceWindowInFractionsOfAPixelMovesThePictureByThem)
{
    // A window of 32 from 16 holds the edge between its pixels 15 and 16.
    const std::vector<double> whole
        = Row(ScriptPictures(Script("windowwhole", Edge(64, 192) + ".BilinearResize(32, 32, 16, 0, 32, 32)")), 16);
    EXPECT_NEAR(whole[15], 64, 3);
    EXPECT_NEAR(whole[16], 192, 3);
    // From 16.25 the centre of pixel 15 lies a quarter of the way from the
    // centre of source pixel 31 to that of 32: 64 + 128 / 4.
    const std::vector<double> quarter
        = Row(ScriptPictures(Script("windowquarter", Edge(64, 192) + ".BilinearResize(32, 32, 16.25, 0, 32, 32)")), 16);
    ASSERT_EQ(quarter.size(), 32u);
    EXPECT_NEAR(quarter[14], 64, 8);
    EXPECT_NEAR(quarter[15], 96, 10);
    EXPECT_NEAR(quarter[16], 192, 8);
    EXPECT_NEAR(quarter[2], 64, 3);
    EXPECT_NEAR(quarter[29], 192, 3);
    const std::vector<double> lanczos
        = Row(ScriptPictures(Script("windowlanczos", Edge(64, 192) + ".LanczosResize(32, 32, 16.25, 0, 32, 32)")), 16);
    EXPECT_NEAR(lanczos[15], 96, 14);
    EXPECT_GT(lanczos[16], 175);
    // Down the picture: the edge turned across it, three quarters of a pixel
    // on with a negative height that counts from the bottom.
    const Pictures turned = ScriptPictures(
        Script("windowdown", Edge(64, 192) + ".TurnRight().BilinearResize(32, 32, 0, 16.75, 0, -15.25)"));
    ASSERT_EQ(turned.height, 32);
    const std::vector<double> down = Column(turned, 16);
    EXPECT_NEAR(down[14], 64, 8);
    EXPECT_NEAR(down[15], 64 + 128 * 0.75, 10);
    EXPECT_NEAR(down[16], 192, 8);
}

TEST(AvsFilterMedia, ResizesKeepTheirKernelsCharacter)
{
    struct Case {
        const char* name;
        bool steps; // every value one of the two greys
        bool rings; // values beyond the two greys beside the edge
    };
    const Case cases[] = {
        {"PointResize(128, 32)", true, false},
        {"BilinearResize(128, 32)", false, false},
        {"BicubicResize(128, 32)", false, false},
        {"LanczosResize(128, 32)", false, true},
        {"LanczosResize(128, 32, taps=2)", false, true},
        {"Lanczos4Resize(128, 32)", false, true},
        {"BlackmanResize(128, 32)", false, true},
        {"Spline16Resize(128, 32)", false, true},
        {"Spline36Resize(128, 32)", false, true},
        {"Spline64Resize(128, 32)", false, true},
        {"GaussResize(128, 32)", false, false},
        {"SincResize(128, 32)", false, true},
    };
    for (const Case& c : cases) {
        const Pictures pictures = ScriptPictures(Script(std::string("resize") + c.name, Edge(64, 192) + "." + c.name));
        ASSERT_EQ(pictures.width, 128) << c.name;
        ASSERT_EQ(pictures.height, 32) << c.name;
        const std::vector<double> row = Row(pictures, 16);
        EXPECT_NEAR(row[4], 64, 3) << c.name;
        EXPECT_NEAR(row[123], 192, 3) << c.name;
        int between = 0;
        double least = 255;
        double most = 0;
        for (const double value : row) {
            between += value > 68 && value < 188 ? 1 : 0;
            least = std::min(least, value);
            most = std::max(most, value);
        }
        EXPECT_EQ(between == 0, c.steps) << c.name << ": " << between << " values between the greys";
        EXPECT_EQ(least < 60 || most > 196, c.rings) << c.name << ": from " << least << " to " << most;
    }
    // A Gauss curve with p = 100 is narrower than one with p = 10: fewer values between.
    auto ramp = [](const std::string& resize) {
        int count = 0;
        for (const double value : Row(ScriptPictures(Script("gauss" + resize, Edge(64, 192) + "." + resize)), 16)) {
            count += value > 68 && value < 188 ? 1 : 0;
        }
        return count;
    };
    EXPECT_LT(ramp("GaussResize(128, 32, p=100)"), ramp("GaussResize(128, 32, p=10)"));
    // b = 1, c = 0 is the soft B-spline; b = 0, c = 0.75 a sharp cubic.
    EXPECT_LT(ramp("BicubicResize(128, 32, 0, 0.75)"), ramp("BicubicResize(128, 32, 1, 0)"));
    const std::vector<std::int64_t> numbers
        = ScriptPictures(Script("spline36numbers", Numbered("Trim(0, 4).Spline36Resize(704, 576)"))).Numbers();
    EXPECT_EQ(numbers, Range(0, 4));
}

TEST(AvsFilterMedia, LevelsTweakAndColourFunctionsMoveTheValuesTheySay)
{
    const std::string grey = "BlankClip(length=2, width=64, height=48, fps=25, color=$808080).ConvertToYV12()";
    auto level = [&](const std::string& name, const std::string& chain) {
        return ScriptPictures(Script(name, grey + chain)).Mean(1, 8, 8, 48, 32, 1);
    };
    const double y = std::round(LumaOf(128));
    EXPECT_NEAR(level("levelsplain", ""), RgbOf(y), 2);
    // Luma 16..235 stretched to 0..255.
    EXPECT_NEAR(level("levelsstretch", ".Levels(16, 1.0, 235, 0, 255, coring=false)"), RgbOf((y - 16) / 219 * 255), 2);
    // A gamma of 2 lifts the middle: 255 * (y / 255) ^ (1 / 2).
    EXPECT_NEAR(level("levelsgamma", ".Levels(0, 2.0, 255, 0, 255, coring=false)"), RgbOf(255 * std::sqrt(y / 255)), 2);
    EXPECT_NEAR(level("tweakbright", ".Tweak(bright=20)"), RgbOf(y + 20), 2);
    EXPECT_NEAR(level("tweakcont", ".Tweak(cont=0.5)"), RgbOf((y - 16) * 0.5 + 16), 2);
    EXPECT_NEAR(level("limiter", ".Limiter(16, 100)"), RgbOf(100), 2);
    EXPECT_NEAR(level("invert", ".Invert()"), RgbOf(255 - y), 2);

    EXPECT_NEAR(level("coloryuvoffset", ".ColorYUV(off_y=20)"), RgbOf(y + 20), 2);
    EXPECT_NEAR(level("coloryuvgain", ".ColorYUV(gain_y=128)"), RgbOf(y * 1.5), 2);
    EXPECT_NEAR(level("coloryuvcont", ".ColorYUV(cont_y=-128)"), RgbOf((y - 128) * 0.5 + 128), 2);
    EXPECT_NEAR(level("coloryuvtvpc", ".ColorYUV(levels=\"TV->PC\")"), RgbOf((y - 16) * 255 / 219), 2);
    EXPECT_NEAR(level("coloryuvpctv", ".ColorYUV(levels=\"PC->TV\")"), RgbOf(y * 219 / 255 + 16), 2);

    const Pictures red = ScriptPictures(
        Script("grey", "BlankClip(length=2, width=64, height=48, fps=25, color=$C02010).ConvertToYV12().Greyscale()"));
    const double blue = red.Mean(0, 8, 8, 48, 32, 0);
    EXPECT_NEAR(red.Mean(0, 8, 8, 48, 32, 1), blue, 2);
    EXPECT_NEAR(red.Mean(0, 8, 8, 48, 32, 2), blue, 2);
    const Pictures swapped = ScriptPictures(
        Script("swapuv", "BlankClip(length=2, width=64, height=48, fps=25, color=$0000FF).ConvertToYV12().SwapUV()"));
    EXPECT_GT(swapped.Mean(0, 8, 8, 48, 32, 2), 128) << "blue's chroma swapped reads as red";
    EXPECT_LT(swapped.Mean(0, 8, 8, 48, 32, 0), 128);
}

TEST(AvsFilterMedia, LetterboxAndStacksPlaceTheirParts)
{
    const Pictures boxed = ScriptPictures(Script("letterbox",
        "BlankClip(length=2, width=64, height=48, fps=25, color=$FFFFFF).ConvertToYV12().Letterbox(8, 12, 4, 6)"));
    EXPECT_LT(boxed.Mean(0, 0, 0, 64, 8, 1), 3);
    EXPECT_LT(boxed.Mean(0, 0, 36, 64, 12, 1), 3);
    EXPECT_LT(boxed.Mean(0, 0, 0, 4, 48, 1), 3);
    EXPECT_LT(boxed.Mean(0, 58, 0, 6, 48, 1), 3);
    EXPECT_GT(boxed.Mean(0, 4, 8, 54, 28, 1), 250);

    const std::string parts = "a = BlankClip(length=3, width=32, height=16, fps=25, color=$FF0000)\n"
                              "b = BlankClip(length=5, width=32, height=16, fps=25, color=$0000FF)\n";
    const Pictures across = ScriptPictures(Script("stackh", parts + "StackHorizontal(a, b, a)"));
    ASSERT_EQ(across.width, 96);
    ASSERT_EQ(across.height, 16);
    ASSERT_EQ(across.frames.size(), 5u) << "as long as the longest";
    EXPECT_GT(across.Mean(4, 2, 2, 28, 12, 2), 200) << "red, held at its last frame";
    EXPECT_GT(across.Mean(4, 34, 2, 28, 12, 0), 200) << "blue";
    EXPECT_GT(across.Mean(4, 66, 2, 28, 12, 2), 200) << "red";
    const Pictures down = ScriptPictures(Script("stackv", parts + "StackVertical(b, a)"));
    ASSERT_EQ(down.width, 32);
    ASSERT_EQ(down.height, 32);
    EXPECT_GT(down.Mean(0, 2, 2, 28, 12, 0), 200);
    EXPECT_GT(down.Mean(0, 2, 18, 28, 12, 2), 200);
}

TEST(AvsFilterMedia, OverlayLaysItsClipAtItsPlaceWithItsOpacityAndMode)
{
    const std::string clips = "base = BlankClip(length=3, width=64, height=48, fps=25, color=$FFFFFF)\n"
                              "box = BlankClip(length=1, width=16, height=16, fps=25, color=$000000)\n"
                              "grey = BlankClip(length=3, width=64, height=48, fps=25, color=$404040)\n";
    const Pictures half = ScriptPictures(Script("overlayhalf", clips + "Overlay(base, box, x=8, y=24, opacity=0.5)"));
    ASSERT_EQ(half.frames.size(), 3u) << "as long as the base";
    EXPECT_NEAR(half.Mean(2, 10, 26, 12, 12, 1), 128, 4) << "half of the box, held past its end";
    EXPECT_GT(half.Mean(2, 30, 4, 30, 40, 1), 250);
    EXPECT_GT(half.Mean(2, 8, 4, 16, 18, 1), 250) << "above the box";
    const Pictures full = ScriptPictures(Script("overlayfull", clips + "Overlay(base, box, 40, 0)"));
    EXPECT_LT(full.Mean(0, 42, 2, 12, 12, 1), 3);
    EXPECT_GT(full.Mean(0, 2, 2, 30, 40, 1), 250);
    const Pictures added = ScriptPictures(Script("overlayadd", clips + "Overlay(grey, grey, mode=\"Add\")"));
    // Luma adds: two greys of 64 make one of luma 2 * LumaOf(64), shown as RGB.
    EXPECT_NEAR(added.Mean(0, 8, 8, 48, 32, 1), std::min(255.0, RgbOf(2 * std::round(LumaOf(64)))), 4);
}

// The share of changed pixels of the picture that lie in each quarter
// (top left, top right, bottom left, bottom right).
std::vector<int> ChangedQuarters(const Pictures& plain, const Pictures& drawn)
{
    std::vector<int> quarters(4, 0);
    for (int y = 0; y < plain.height; ++y) {
        for (int x = 0; x < plain.width; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * plain.width + x) * 4 + 1;
            if (std::abs(plain.frames[0][at] - drawn.frames[0][at]) > 40) {
                ++quarters[(y >= plain.height / 2 ? 2 : 0) + (x >= plain.width / 2 ? 1 : 0)];
            }
        }
    }
    return quarters;
}

TEST(AvsFilterMedia, SubtitleAlignsItsTextAndShowFrameNumberDrawsInItsCorner)
{
    const std::string blank = "BlankClip(length=1, width=320, height=240, fps=25, color=$404040)";
    const Pictures plain = ScriptPictures(Script("textplain", blank));
    const std::vector<int> bottom = ChangedQuarters(
        plain, ScriptPictures(Script("alignbottom", blank + ".Subtitle(\"Centred low\", size=24, align=2)")));
    EXPECT_EQ(bottom[0] + bottom[1], 0);
    EXPECT_GT(bottom[2], 10);
    EXPECT_GT(bottom[3], 10) << "centred text crosses the middle";
    const std::vector<int> corner = ChangedQuarters(
        plain, ScriptPictures(Script("aligncorner", blank + ".Subtitle(\"Top right\", size=24, align=9)")));
    EXPECT_EQ(corner[0] + corner[2] + corner[3], 0);
    EXPECT_GT(corner[1], 10);
    const std::vector<int> number
        = ChangedQuarters(plain, ScriptPictures(Script("framenumber", blank + ".ShowFrameNumber()")));
    EXPECT_EQ(number[1] + number[2] + number[3], 0);
    EXPECT_GT(number[0], 5);
    const std::vector<int> info = ChangedQuarters(plain, ScriptPictures(Script("info", blank + ".Info()")));
    EXPECT_EQ(info[2] + info[3], 0) << "three lines at the top";
    EXPECT_GT(info[0], 50);
}

// The samples of a sine at `level` of full scale.
double Sine(double level, double frequency, int rate, std::size_t i)
{
    return level * 32767 * std::sin(2 * M_PI * frequency * static_cast<double>(i) / rate);
}

TEST(AvsFilterMedia, ToneAndChannelFunctionsGiveTheWavesTheyName)
{
    const std::string dub = "AudioDub(BlankClip(length=25, width=64, height=48, fps=25), ";
    const Sound tone = ScriptSound(Script("tone", dub + "Tone(1, 1000, 48000, 1, \"Sine\", 0.5))"));
    ASSERT_EQ(tone.channels, 1);
    ASSERT_EQ(tone.rate, 48000);
    ASSERT_EQ(tone.samples.size(), 48000u);
    for (std::size_t i = 0; i < tone.samples.size(); i += 97) {
        ASSERT_NEAR(tone.samples[i], Sine(0.5, 1000, 48000, i), 3) << "sample " << i;
    }
    const std::string pair = "a = Tone(1, 1000, 48000, 1, \"Sine\", 0.5)\nb = Tone(1, 300, 48000, 1, \"Sine\", 0.25)\n";
    const Sound second = ScriptSound(Script("getchannel", pair + dub + "MergeChannels(a, b).GetChannel(2))"));
    ASSERT_EQ(second.channels, 1);
    const Sound mono = ScriptSound(Script("mono", pair + dub + "MonoToStereo(a, b).ConvertToMono())"));
    ASSERT_EQ(mono.channels, 1);
    const Sound mixed = ScriptSound(Script("mix", pair + dub + "MixAudio(a, b, 0.5, 2.0))"));
    const Sound stereo = ScriptSound(Script("stereo", pair + dub + "MonoToStereo(a, b))"));
    ASSERT_EQ(stereo.channels, 2);
    ASSERT_EQ(second.samples.size(), 48000u);
    ASSERT_EQ(mono.samples.size(), 48000u);
    ASSERT_EQ(mixed.samples.size(), 48000u);
    for (std::size_t i = 0; i < 48000; i += 89) {
        const double a = Sine(0.5, 1000, 48000, i);
        const double b = Sine(0.25, 300, 48000, i);
        ASSERT_NEAR(second.samples[i], b, 3) << "sample " << i;
        ASSERT_NEAR(mono.samples[i], (a + b) / 2, 3) << "sample " << i;
        ASSERT_NEAR(mixed.samples[i], 0.5 * a + 2 * b, 4) << "sample " << i;
        ASSERT_NEAR(stereo.samples[2 * i], a, 3) << "sample " << i;
        ASSERT_NEAR(stereo.samples[2 * i + 1], b, 3) << "sample " << i;
    }
    // A dissolve of two sounds of 25 frames over 5: 45 frames' worth, the first
    // clip's sine where it plays alone.
    const Sound dissolved = ScriptSound(Script("dissolvesound",
        "a = AudioDub(BlankClip(length=25, width=64, height=48, fps=25), Tone(1, 1000, 48000, 1, \"Sine\", 0.5))\n"
        "Dissolve(a, a.Amplify(0.5), 5)"));
    ASSERT_EQ(dissolved.samples.size(), 45u * 1920);
    for (std::size_t i = 0; i < 19 * 1920; i += 97) {
        ASSERT_NEAR(dissolved.samples[i], Sine(0.5, 1000, 48000, i), 3) << "sample " << i;
    }
    for (std::size_t i = 26 * 1920; i < 45 * 1920; i += 97) {
        ASSERT_NEAR(dissolved.samples[i], 0.5 * Sine(0.5, 1000, 48000, i - 20 * 1920), 3) << "sample " << i;
    }
    // Twice the tempo: the same second of sound in half the samples.
    const Sound faster = ScriptSound(
        Script("stretch", "AudioDub(BlankClip(length=13, fps=25), Tone(1, 500, 48000, 1).TimeStretch(200))"));
    EXPECT_EQ(faster.samples.size(), 24000u);
}

// The pitch heard, from the upward zero crossings of the sound's middle half,
// away from the filters' start and end.
double HeardFrequency(const Sound& sound)
{
    const std::size_t first = sound.samples.size() / 4;
    const std::size_t last = sound.samples.size() * 3 / 4;
    std::size_t firstCrossing = 0;
    std::size_t lastCrossing = 0;
    int crossings = 0;
    for (std::size_t i = first + 1; i < last; ++i) {
        if (sound.samples[i - 1] < 0 && sound.samples[i] >= 0) {
            firstCrossing = crossings == 0 ? i : firstCrossing;
            lastCrossing = i;
            ++crossings;
        }
    }
    return crossings < 2 ? 0 : (crossings - 1) * static_cast<double>(sound.rate) / (lastCrossing - firstCrossing);
}

TEST(AvsFilterMedia, TimeStretchOfRateAndPitchChangesWhatIsHeardAsATapeAndAPitchShifterWould)
{
    struct Case {
        const char* arguments;
        double seconds; // of one second of a 500 Hz tone
        double frequency; // heard
    };
    // Worked out by hand: rate r plays 1/r as long at r times the pitch; pitch p
    // keeps the length at p times the pitch; tempo t plays 1/t as long.
    for (const Case& c : {Case{"rate=150", 2.0 / 3, 750}, Case{"pitch=200", 1, 1000},
             Case{"tempo=50, pitch=300", 2, 1500}, Case{"rate=50", 2, 250}, Case{"tempo=200, rate=200", 0.25, 1000}}) {
        const Sound sound = ScriptSound(Script("stretchpitch",
            std::string("AudioDub(BlankClip(length=50, fps=25), Tone(1, 500, 48000, 1, \"Sine\", 0.5).TimeStretch(")
                + c.arguments + "))"));
        EXPECT_NEAR(static_cast<double>(sound.samples.size()), c.seconds * 48000, 1) << c.arguments;
        EXPECT_NEAR(HeardFrequency(sound), c.frequency, c.frequency * 0.01) << c.arguments;
    }
}

} // namespace
} // namespace discforge::test
