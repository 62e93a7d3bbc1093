// Every picture option reaches the picture on every decoder path: the stream fetch
// (seek-every-frame and sequential kinds), the AVI reader and lists, over clips made by
// the generator and by the ffmpeg command-line tool. The options are set on the input,
// as the option controls and the command line do, and read back from the picture.
#include "ConversionRig.h"

#include "SampleMedia.h"
#include "input/StreamGraph.h"
#include "mediagen/MediaGen.h"
#include "pattern/FramePattern.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <vector>

namespace discforge::test {
namespace {

using mediagen::AudioForm;
using mediagen::VideoCodec;
using pattern::PatternRegion;

// The inputs' pictures are 176 x 144.
constexpr int sourceWidth = 176;
constexpr int sourceHeight = 144;

const std::string& GeneratedClip(VideoCodec codec)
{
    mediagen::AviRecipe recipe;
    recipe.video = codec;
    recipe.audio = AudioForm::None;
    recipe.width = sourceWidth;
    recipe.height = sourceHeight;
    recipe.frames = 12;
    return SampleAvi(recipe);
}

std::string GeneratedMpeg4() { return GeneratedClip(VideoCodec::Mpeg4); }
std::string GeneratedMjpeg() { return GeneratedClip(VideoCodec::Mjpeg); }
std::string GeneratedRgb() { return GeneratedClip(VideoCodec::RawRgb); }
std::string FfmpegYuy2() { return FfmpegCopy(GeneratedRgb(), "-c:v rawvideo -pix_fmt yuyv422", "ffmpeg-yuy2.avi"); }
std::string FfmpegH264() { return FfmpegCopy(GeneratedRgb(), "-c:v libx264 -pix_fmt yuv420p -crf 12", "ffmpeg.mp4"); }
std::string GeneratedList() { return SampleList(3, sourceWidth, sourceHeight); }

struct DecoderPath {
    const char* name;
    std::string (*make)();
    bool list;
    int kind; // the decoder kind a video file opens with
    int frame; // the output frame supplied, at PAL
    std::int64_t number; // the frame number or picture it shows
};

void PrintTo(const DecoderPath& path, std::ostream* out) { *out << path.name; }

const DecoderPath decoderPaths[] = {
    {"GeneratedMpeg4", GeneratedMpeg4, false, kindSequential, 5, 5},
    {"FfmpegYuy2", FfmpegYuy2, false, kindSeekEveryFrame, 5, 5},
    {"GeneratedMjpeg", GeneratedMjpeg, false, kindAviReader, 5, 5},
    {"GeneratedUncompressed", GeneratedRgb, false, kindAviReader, 5, 5},
    {"FfmpegH264", FfmpegH264, false, kindAviReader, 5, 5},
    // One picture per second: frame 50 shows the third picture.
    {"GeneratedList", GeneratedList, true, 0, 50, 2},
};

// The number in a region of a supplied picture, read as it stands or turned upside down.
std::int64_t NumberIn(
    const Supplied& supplied, int width, int height, PatternRegion region = {}, bool upsideDown = false)
{
    if (upsideDown && region.height > 0) {
        region.y = height - region.y - region.height;
    }
    return pattern::ReadFrameNumber(
        pattern::ConstPatternImage{supplied.pixels, width, height, supplied.rowBytes, 4, !upsideDown}, region);
}

class PictureOptionPath : public ::testing::TestWithParam<DecoderPath> {
protected:
    void SetUp() override
    {
        const DecoderPath& path = GetParam();
        const std::string file = path.make();
        ASSERT_TRUE(path.list ? rig_.AddInput(file) : rig_.AddInput(file));
        rig_.MakeCurrent(0);
        if (!path.list) {
            ASSERT_EQ(rig_.core.inputs.decoderKind, path.kind);
        }
        rig_.core.settings.tvStandard = standardPal;
    }

    PictureOptions& Options() { return rig_.Entry(0).pictureOptions; }

    void SetSize(int width, int height)
    {
        Options().outputWidth = width;
        Options().outputHeight = height;
    }

    Supplied Supply()
    {
        Supplied supplied;
        supplied.result
            = rig_.core.videoSupply.SupplyVideoFrame(GetParam().frame, &supplied.rowBytes, &supplied.pixels);
        return supplied;
    }

    // The supplied picture's bytes, kept beyond the next call.
    std::vector<std::uint8_t> Copy(const Supplied& supplied, int height)
    {
        return std::vector<std::uint8_t>(
            supplied.pixels, supplied.pixels + static_cast<std::size_t>(supplied.rowBytes) * height);
    }

    ConversionRig rig_;
};

TEST_P(PictureOptionPath, EachFittingPutsThePictureWhereItBelongs)
{
    const std::int64_t number = GetParam().number;
    SetSize(720, 576);
    struct Case {
        FitMode fitting;
        int blackColumns; // on the left of the middle row
        PatternRegion picture; // where the picture lies in the frame
    };
    const Case cases[] = {
        // 176 x 144 scaled by 4 to 704 x 576, centred.
        {FitMode::proportional, 8, {8, 0, 704, 576}},
        {FitMode::fillIn, 0, {0, 0, 720, 576}},
        // Not scaled: centred in the frame as it is.
        {FitMode::crop, 272, {272, 216, 176, 144}},
    };
    for (const Case& c : cases) {
        Options().fitting = c.fitting;
        const Supplied supplied = Supply();
        ASSERT_EQ(supplied.result, 0) << static_cast<int>(c.fitting);
        ASSERT_EQ(supplied.rowBytes, 720 * 4);
        EXPECT_EQ(BlackColumnsOnTheLeft(supplied, 576), c.blackColumns) << static_cast<int>(c.fitting);
        EXPECT_EQ(NumberIn(supplied, 720, 576, c.picture), number) << static_cast<int>(c.fitting);
    }
}

TEST_P(PictureOptionPath, InvertTurnsThePictureUpsideDown)
{
    const std::int64_t number = GetParam().number;
    SetSize(sourceWidth, sourceHeight);
    Options().invert = true;
    const Supplied supplied = Supply();
    ASSERT_EQ(supplied.result, 0);
    EXPECT_EQ(NumberIn(supplied, sourceWidth, sourceHeight, {}, true), number);
    EXPECT_NE(NumberIn(supplied, sourceWidth, sourceHeight), number);
}

TEST_P(PictureOptionPath, DeinterlaceReplacesEveryOtherRowByTheMeanOfItsNeighbours)
{
    SetSize(sourceWidth, sourceHeight);
    const Supplied plain = Supply();
    ASSERT_EQ(plain.result, 0);
    const std::vector<std::uint8_t> before = Copy(plain, sourceHeight);
    Options().deinterlace = true;
    const Supplied supplied = Supply();
    ASSERT_EQ(supplied.result, 0);
    const std::vector<std::uint8_t> after = Copy(supplied, sourceHeight);

    const auto stride = static_cast<std::size_t>(sourceWidth) * 4;
    int changedRows = 0;
    // Stored rows, bottom first: the odd ones stay, the even ones from 2 on take the mean.
    for (std::size_t row = 0; row < sourceHeight; ++row) {
        const std::uint8_t* was = before.data() + row * stride;
        const std::uint8_t* is = after.data() + row * stride;
        if (row % 2 == 1 || row == 0 || row + 1 == sourceHeight) {
            ASSERT_EQ(std::memcmp(was, is, stride), 0) << "row " << row;
            continue;
        }
        for (std::size_t byte = 0; byte < stride; ++byte) {
            const int mean = (was[byte - stride] + was[byte + stride]) / 2;
            ASSERT_EQ(is[byte], mean) << "row " << row << " byte " << byte;
        }
        changedRows += std::memcmp(was, is, stride) != 0 ? 1 : 0;
    }
    EXPECT_GT(changedRows, 0) << "the picture has edges across its rows";
}

TEST_P(PictureOptionPath, TheCropRectangleCutsBeforeTheFitting)
{
    const std::int64_t number = GetParam().number;
    SetSize(sourceWidth, sourceHeight);
    const Supplied plain = Supply();
    ASSERT_EQ(plain.result, 0);
    const std::vector<std::uint8_t> whole = Copy(plain, sourceHeight);

    // The top half keeps the band with the number and fills a frame of its own size.
    Options().cropWidth = sourceWidth;
    Options().cropHeight = sourceHeight / 2;
    SetSize(sourceWidth, sourceHeight / 2);
    Supplied supplied = Supply();
    ASSERT_EQ(supplied.result, 0);
    ASSERT_EQ(supplied.rowBytes, sourceWidth * 4);
    EXPECT_EQ(BlackColumnsOnTheLeft(supplied, sourceHeight / 2), 0);
    EXPECT_EQ(NumberIn(supplied, sourceWidth, sourceHeight / 2), number);

    // The bottom right quarter, pixel for pixel.
    Options().cropX = sourceWidth / 2;
    Options().cropY = sourceHeight / 2;
    Options().cropWidth = sourceWidth / 2;
    Options().cropHeight = sourceHeight / 2;
    SetSize(sourceWidth / 2, sourceHeight / 2);
    supplied = Supply();
    ASSERT_EQ(supplied.result, 0);
    ASSERT_EQ(supplied.rowBytes, sourceWidth / 2 * 4);
    for (int y = 0; y < sourceHeight / 2; ++y) {
        for (int x = 0; x < sourceWidth / 2; ++x) {
            // The whole picture's pixel (x + 88, y + 72) from the top left, in its bottom-up rows.
            const std::uint8_t* at = whole.data()
                + static_cast<std::size_t>(sourceHeight - 1 - (y + sourceHeight / 2)) * sourceWidth * 4
                + static_cast<std::size_t>(x + sourceWidth / 2) * 4;
            ASSERT_EQ(PixelAt(supplied, sourceHeight / 2, x, y), at[0] | at[1] << 8 | at[2] << 16)
                << "x " << x << " y " << y;
        }
    }
}

TEST_P(PictureOptionPath, ThePictureComesAtTheInputsOutputSize)
{
    SetSize(88, 72);
    const Supplied supplied = Supply();
    ASSERT_EQ(supplied.result, 0);
    ASSERT_EQ(supplied.rowBytes, 88 * 4);
    EXPECT_EQ(BlackColumnsOnTheLeft(supplied, 72), 0) << "the same proportions fill the frame";
    EXPECT_EQ(NumberIn(supplied, 88, 72), GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(EveryDecoderPath, PictureOptionPath, ::testing::ValuesIn(decoderPaths),
    [](const ::testing::TestParamInfo<DecoderPath>& info) { return std::string(info.param.name); });

} // namespace
} // namespace discforge::test
