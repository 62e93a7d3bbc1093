// Every picture option reaches the output from every decoder path. One run of
// discforge-cli per option converts one input of each kind users bring -- clips made by
// the ffmpeg command-line tool and by the generator, and a picture list -- and the
// decoded outputs show where the picture went.
//
// The paths: MPEG-4 part 2 AVIs go through the sequential fetch, uncompressed YUV AVIs
// through the fetch that seeks every frame; MJPEG and uncompressed RGB AVIs, H.264 MP4s
// and MPEG program streams through the AVI reader. The list comes right after an input of
// the AVI reader.
#include "CliProcess.h"
#include "OutputDecoder.h"
#include "SampleInputs.h"
#include "support/StreamChecks.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace discforge::test {
namespace {

using mediagen::AudioForm;
using mediagen::VideoCodec;
using pattern::ConstPatternImage;
using pattern::PatternRegion;

// Inputs of 180 x 120 (3:2) in the 352 x 288 picture of a PAL VCD (11:9): each fitting
// puts them somewhere else.
constexpr int inputWidth = 180;
constexpr int inputHeight = 120;
constexpr int clipFrames = 5;
// Program streams much shorter than a second do not open through the AVI reader.
constexpr int programStreamFrames = 25;

constexpr PatternRegion wholeFrame{0, 0, 352, 288};
// On the TV the frame shows 4:3, so a 3:2 picture keeps 8/9 of its 288 lines: 352 x 256,
// between black rows.
constexpr PatternRegion proportionalPlace{0, 16, 352, 256};
// Not scaled, centred on black.
constexpr PatternRegion croppedPlace{86, 84, 180, 120};
// The input's top half (180 x 60, 3:1) keeps 4/9 of the lines: 352 x 128, between black rows.
constexpr PatternRegion topHalfPlace{0, 80, 352, 128};
constexpr PatternRegion bottomRows{0, 272, 352, 16};
constexpr PatternRegion leftColumns{0, 0, 80, 288};
constexpr PatternRegion middle{16, 16, 320, 256};

// Below this mean a region is the black the fitting puts around a picture.
constexpr double blackLuma = 40;

struct PathInput {
    std::string name; // the file in the test's folder
    // Output frames that show one input frame (or picture); 0 when only the place of
    // the picture counts, not which frame it is.
    std::int64_t framesPerNumber;
};

struct Converted {
    std::string input;
    DecodedOutput output;
    std::int64_t framesPerNumber;
};

// The input frame an output picture shows; none when any frame will do.
using ShownNumber = std::optional<std::int64_t>;

bool Ffmpeg(const TestFolder& folder, const std::string& arguments)
{
    const CommandResult made
        = RunCommand("cd " + Quoted(folder.Path()) + " && ffmpeg -nostdin -v error -y " + arguments);
    EXPECT_EQ(made.exitCode, 0) << arguments << "\n" << made.output;
    return made.exitCode == 0;
}

bool WriteText(const std::string& path, const std::string& text)
{
    std::ofstream file(path);
    file << text;
    return static_cast<bool>(file);
}

// Clips with the frame number, and a list of two numbered pictures.
std::vector<PathInput> MakeNumberedInputs(const TestFolder& folder)
{
    mediagen::AviRecipe recipe;
    recipe.audio = AudioForm::None;
    recipe.width = inputWidth;
    recipe.height = inputHeight;
    recipe.frames = clipFrames;
    bool made = true;
    for (const auto& [codec, name] : {std::pair{VideoCodec::Mjpeg, "generated-mjpeg.avi"},
             std::pair{VideoCodec::Mpeg4, "generated-mpeg4.avi"}, std::pair{VideoCodec::RawRgb, "generated-rgb.avi"}}) {
        recipe.video = codec;
        made = made && MakeAvi(folder.File(name), recipe);
    }
    recipe.frames = programStreamFrames;
    made = made && MakeAvi(folder.File("second.avi"), recipe);
    made = made && Ffmpeg(folder, "-i generated-rgb.avi -c:v mpeg4 -q:v 2 ffmpeg-mpeg4.avi")
        && Ffmpeg(folder, "-i generated-rgb.avi -c:v rawvideo -pix_fmt yuyv422 ffmpeg-yuy2.avi")
        && Ffmpeg(folder, "-i generated-rgb.avi -c:v libx264 -pix_fmt yuv420p -crf 12 ffmpeg-h264.mp4")
        && Ffmpeg(folder, "-i second.avi -c:v mpeg2video -q:v 2 -f vob ffmpeg-program.vob");
    mediagen::ListRecipe list;
    list.path = folder.File("pictures.lst");
    list.pictures = 2;
    list.width = inputWidth;
    list.height = inputHeight;
    std::string error;
    EXPECT_TRUE(mediagen::WritePictureList(list, error)) << error;
    if (!made || !error.empty()) {
        return {};
    }
    // The AVI reader does not find every frame of a program stream yet: pictures of the
    // first second show a later frame. Where the picture goes is checked all the same.
    return {{"generated-mjpeg.avi", 1}, {"pictures.lst", 25}, {"generated-mpeg4.avi", 1}, {"ffmpeg-yuy2.avi", 1},
        {"generated-rgb.avi", 1}, {"ffmpeg-h264.mp4", 1}, {"ffmpeg-mpeg4.avi", 1}, {"ffmpeg-program.vob", 0}};
}

// Black and white rows by turns, on every path: a picture that deinterlacing makes even.
std::vector<PathInput> MakeCombInputs(const TestFolder& folder)
{
    const std::string rows = "format=gray,geq=lum=if(mod(Y\\,2)\\,235\\,16),format=bgr24";
    const std::string size = std::to_string(inputWidth) + "x" + std::to_string(inputHeight);
    const bool made = Ffmpeg(folder,
                          "-f lavfi -i " + Quoted("color=c=black:s=" + size + ":r=25:d=0.2," + rows)
                              + " -c:v rawvideo comb-rgb.avi")
        && Ffmpeg(folder,
            "-f lavfi -i " + Quoted("color=c=black:s=" + size + ":r=25:d=1," + rows)
                + " -c:v mpeg2video -q:v 2 -f vob comb-program.vob")
        && Ffmpeg(folder, "-i comb-rgb.avi -c:v mjpeg -q:v 2 comb-mjpeg.avi")
        && Ffmpeg(folder, "-i comb-rgb.avi -c:v mpeg4 -q:v 2 comb-mpeg4.avi")
        && Ffmpeg(folder, "-i comb-rgb.avi -c:v rawvideo -pix_fmt yuyv422 comb-yuy2.avi")
        && Ffmpeg(folder, "-i comb-rgb.avi -c:v libx264 -pix_fmt yuv420p -qp 0 comb-h264.mp4")
        && Ffmpeg(folder, "-i comb-rgb.avi -frames:v 1 comb.bmp") && WriteText(folder.File("comb.lst"), "comb.bmp\n");
    if (!made) {
        return {};
    }
    return {{"comb-mjpeg.avi", 1}, {"comb.lst", 25}, {"comb-mpeg4.avi", 1}, {"comb-yuy2.avi", 1}, {"comb-rgb.avi", 1},
        {"comb-h264.mp4", 1}, {"comb-program.vob", 1}};
}

// The number in a region of the picture, read as it stands or turned upside down.
PictureReading NumberIn(PatternRegion region, bool upsideDown = false)
{
    return [region, upsideDown](const ConstPatternImage& picture) {
        ConstPatternImage view = picture;
        PatternRegion place = region;
        if (upsideDown) {
            view.bottomUp = !picture.bottomUp;
            place.y = picture.height - region.y - region.height;
        }
        return static_cast<double>(pattern::ReadFrameNumber(view, place));
    };
}

PictureReading MeanLuma(PatternRegion region)
{
    return [region](const ConstPatternImage& picture) {
        double sum = 0;
        for (int y = region.y; y < region.y + region.height; ++y) {
            const std::uint8_t* row = picture.pixels + static_cast<std::ptrdiff_t>(y) * picture.stride;
            for (int x = region.x; x < region.x + region.width; ++x) {
                const std::uint8_t* pixel = row + static_cast<std::ptrdiff_t>(x) * picture.bytesPerPixel;
                sum += 0.114 * pixel[0] + 0.587 * pixel[1] + 0.299 * pixel[2];
            }
        }
        return sum / (static_cast<double>(region.width) * region.height);
    };
}

std::string OutputName(const std::string& input) { return input.substr(0, input.rfind('.')) + ".mpg"; }

// Converts every input in one run with `options` and decodes the outputs, reading every
// picture with `readings`.
std::vector<Converted> ConvertAll(const TestFolder& folder, const std::vector<PathInput>& inputs,
    const std::vector<std::string>& options, const std::vector<PictureReading>& readings)
{
    std::vector<std::string> arguments{"--standard", "pal"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    for (const PathInput& input : inputs) {
        arguments.push_back(input.name);
    }
    const CliOutcome run = RunCli(arguments, folder.Path());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::vector<Converted> converted;
    for (const PathInput& input : inputs) {
        converted.push_back(
            {input.name, DecodeOutput(folder.File(OutputName(input.name)), readings), input.framesPerNumber});
        EXPECT_TRUE(converted.back().output.error.empty()) << converted.back().output.error;
        EXPECT_FALSE(converted.back().output.pictures.empty()) << input.name;
    }
    return converted;
}

// `expect(picture, number, where)` for every picture of every output, with the input
// frame number the picture shows.
void ForEveryPicture(const std::vector<Converted>& converted,
    const std::function<void(const DecodedPicture&, ShownNumber, const std::string&)>& expect)
{
    for (const Converted& output : converted) {
        for (std::size_t frame = 0; frame < output.output.pictures.size(); ++frame) {
            const ShownNumber number = output.framesPerNumber > 0
                ? ShownNumber(static_cast<std::int64_t>(frame) / output.framesPerNumber)
                : std::nullopt;
            expect(output.output.pictures[frame], number, output.input + " frame " + std::to_string(frame));
        }
    }
}

void ExpectNumber(double read, ShownNumber number, const std::string& where)
{
    if (number) {
        EXPECT_EQ(read, *number) << where;
    } else {
        EXPECT_GE(read, 0) << where;
    }
}

TEST(PictureOptionsOnEveryPath, ProportionalFittingKeepsTheShapeBetweenBlackRows)
{
    TestFolder folder;
    const std::vector<PathInput> inputs = MakeNumberedInputs(folder);
    ASSERT_FALSE(inputs.empty());
    const auto converted = ConvertAll(folder, inputs, {}, {NumberIn(proportionalPlace), MeanLuma(bottomRows)});
    ForEveryPicture(converted, [](const DecodedPicture& picture, ShownNumber number, const std::string& where) {
        ASSERT_EQ(picture.readings.size(), 2u);
        ExpectNumber(picture.readings[0], number, where);
        EXPECT_LT(picture.readings[1], blackLuma) << where;
    });
}

TEST(PictureOptionsOnEveryPath, FillInStretchesOverTheWholeFrame)
{
    TestFolder folder;
    const std::vector<PathInput> inputs = MakeNumberedInputs(folder);
    ASSERT_FALSE(inputs.empty());
    const auto converted = ConvertAll(folder, inputs, {"--fit", "fill"}, {NumberIn(wholeFrame), MeanLuma(bottomRows)});
    ForEveryPicture(converted, [](const DecodedPicture& picture, ShownNumber number, const std::string& where) {
        ASSERT_EQ(picture.readings.size(), 2u);
        ExpectNumber(picture.readings[0], number, where);
        EXPECT_GT(picture.readings[1], blackLuma) << where;
    });
}

TEST(PictureOptionsOnEveryPath, CropFittingShowsThePictureUnscaledOnBlack)
{
    TestFolder folder;
    const std::vector<PathInput> inputs = MakeNumberedInputs(folder);
    ASSERT_FALSE(inputs.empty());
    const auto converted
        = ConvertAll(folder, inputs, {"--fit", "crop"}, {NumberIn(croppedPlace), MeanLuma(leftColumns)});
    ForEveryPicture(converted, [](const DecodedPicture& picture, ShownNumber number, const std::string& where) {
        ASSERT_EQ(picture.readings.size(), 2u);
        ExpectNumber(picture.readings[0], number, where);
        EXPECT_LT(picture.readings[1], blackLuma) << where;
    });
}

TEST(PictureOptionsOnEveryPath, InvertTurnsThePictureUpsideDown)
{
    TestFolder folder;
    const std::vector<PathInput> inputs = MakeNumberedInputs(folder);
    ASSERT_FALSE(inputs.empty());
    const auto converted = ConvertAll(folder, inputs, {"--invert"}, {NumberIn(proportionalPlace, true)});
    ForEveryPicture(converted, [](const DecodedPicture& picture, ShownNumber number, const std::string& where) {
        ASSERT_EQ(picture.readings.size(), 1u);
        ExpectNumber(picture.readings[0], number, where);
    });
}

TEST(PictureOptionsOnEveryPath, TheCropRectangleCutsTheInputBeforeTheFitting)
{
    TestFolder folder;
    const std::vector<PathInput> inputs = MakeNumberedInputs(folder);
    ASSERT_FALSE(inputs.empty());
    // The top half keeps the band with the number.
    const auto converted = ConvertAll(folder, inputs, {"--crop", "0,0,180,60"}, {NumberIn(topHalfPlace)});
    ForEveryPicture(converted, [](const DecodedPicture& picture, ShownNumber number, const std::string& where) {
        ASSERT_EQ(picture.readings.size(), 1u);
        ExpectNumber(picture.readings[0], number, where);
    });
}

TEST(PictureOptionsOnEveryPath, DeinterlaceEvensOutRowsOfTurns)
{
    TestFolder folder;
    const std::vector<PathInput> inputs = MakeCombInputs(folder);
    ASSERT_FALSE(inputs.empty());
    // Without deinterlacing the rows of turns average to a middle grey.
    constexpr double grey = (16 + 235) / 2.0;
    const auto plain = ConvertAll(folder, inputs, {"--fit", "fill"}, {MeanLuma(middle)});
    ForEveryPicture(plain, [](const DecodedPicture& picture, ShownNumber, const std::string& where) {
        ASSERT_EQ(picture.readings.size(), 1u);
        EXPECT_LT(std::abs(picture.readings[0] - grey), 25) << where;
    });
    const auto even = ConvertAll(folder, inputs, {"--fit", "fill", "--deinterlace"}, {MeanLuma(middle)});
    ForEveryPicture(even, [](const DecodedPicture& picture, ShownNumber, const std::string& where) {
        ASSERT_EQ(picture.readings.size(), 1u);
        EXPECT_GT(std::abs(picture.readings[0] - grey), 70) << where;
    });
}

} // namespace
} // namespace discforge::test
