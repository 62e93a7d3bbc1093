// The output preview shows what the encoder gets: on every decoder path, with
// each fitting, upside down and cropped, the preview's picture before the panel
// reduces it holds the very bytes the frame supply hands the encoder for the
// same frame.
#include "ConversionRig.h"

#include "SampleMedia.h"
#include "input/StreamGraph.h"
#include "mediagen/MediaGen.h"
#include "pattern/FramePattern.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <ostream>
#include <string>
#include <vector>

namespace discforge::test {
namespace {

using mediagen::AudioForm;
using mediagen::VideoCodec;

const std::string& GeneratedClip(VideoCodec codec)
{
    mediagen::AviRecipe recipe;
    recipe.video = codec;
    recipe.audio = AudioForm::None;
    recipe.width = 176;
    recipe.height = 144;
    recipe.frames = 12;
    return SampleAvi(recipe);
}

std::string GeneratedMpeg4() { return GeneratedClip(VideoCodec::Mpeg4); }
std::string GeneratedMjpeg() { return GeneratedClip(VideoCodec::Mjpeg); }
std::string FfmpegYuy2()
{
    return FfmpegCopy(GeneratedClip(VideoCodec::RawRgb), "-c:v rawvideo -pix_fmt yuyv422", "ffmpeg-yuy2.avi");
}
std::string FfmpegH264()
{
    return FfmpegCopy(GeneratedClip(VideoCodec::RawRgb), "-c:v libx264 -pix_fmt yuv420p -crf 12", "ffmpeg.mp4");
}
std::string GeneratedList() { return SampleList(3, 176, 144); }
// The same pictures as camera-sized JPEGs made by ffmpeg, 16 times as large:
// both the supply and the preview read them reduced by the JPEG transform.
std::string FfmpegPhotoList()
{
    const std::string source = SampleList(3, 176, 144, true);
    std::ifstream in(source);
    const std::string list = SampleFolder() + "/photos2816x2304.lst";
    std::ofstream out(list);
    std::string line;
    for (int k = 0; std::getline(in, line); ++k) {
        out << FfmpegCopy(line, "-vf scale=2816:2304:flags=neighbor -q:v 2", "photo2816_" + std::to_string(k) + ".jpg")
            << "\n";
    }
    return list;
}

struct DecoderPath {
    const char* name;
    std::string (*make)();
    bool list;
    int kind; // the decoder kind a video file opens with
    int frame; // the output frame shown, at PAL
    std::int64_t number; // the number in the frame or picture it shows
};

void PrintTo(const DecoderPath& path, std::ostream* out) { *out << path.name; }

const DecoderPath decoderPaths[] = {
    {"GeneratedMpeg4", GeneratedMpeg4, false, kindSequential, 5, 5},
    {"FfmpegYuy2", FfmpegYuy2, false, kindSeekEveryFrame, 7, 7},
    {"GeneratedMjpeg", GeneratedMjpeg, false, kindAviReader, 5, 5},
    {"FfmpegH264", FfmpegH264, false, kindAviReader, 6, 6},
    // One picture per second: frame 50 shows the third picture.
    {"GeneratedList", GeneratedList, true, 0, 50, 2},
    {"FfmpegPhotoList", FfmpegPhotoList, true, 0, 50, 2},
};

struct OptionCase {
    FitMode fitting;
    bool invert;
    bool crop;
};

std::ostream& operator<<(std::ostream& out, const OptionCase& c)
{
    return out << "fitting " << static_cast<int>(c.fitting) << (c.invert ? ", inverted" : "")
               << (c.crop ? ", cropped" : "");
}

class PreviewSupplyIdentity : public ::testing::TestWithParam<DecoderPath> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(rig_.core.previews.CreatePreviewPictures(nullptr, {0, 0, 160, 120}, nullptr, {0, 0, 160, 120}));
        const DecoderPath& path = GetParam();
        ASSERT_TRUE(rig_.AddInput(path.make()));
        rig_.MakeCurrent(0);
        if (!path.list) {
            ASSERT_EQ(rig_.core.inputs.decoderKind, path.kind);
        }
        rig_.core.settings.tvStandard = standardPal;
        rig_.messages.shown.clear(); // what the open told about the sound
    }

    ConversionRig rig_;
};

TEST_P(PreviewSupplyIdentity, TheOutputWorkPictureIsThePictureHandedToTheEncoder)
{
    PictureOptions& options = rig_.Entry(0).pictureOptions;
    // 176 x 144 (or 16 times it, or the 160 x 120 cut) scales to whole pixels in 720 x 576, so
    // the preview's truncation and the supply's rounding agree.
    options.outputWidth = 720;
    options.outputHeight = 576;
    const OptionCase cases[] = {
        {FitMode::proportional, false, false},
        {FitMode::fillIn, false, false},
        {FitMode::crop, false, false},
        {FitMode::proportional, true, false},
        {FitMode::proportional, false, true},
        {FitMode::fillIn, true, true},
        {FitMode::crop, true, true},
    };
    const int frame = GetParam().frame;
    for (const OptionCase& c : cases) {
        options.fitting = c.fitting;
        options.invert = c.invert;
        options.cropX = c.crop ? 8 : 0;
        options.cropY = c.crop ? 16 : 0;
        options.cropWidth = c.crop ? 160 : 0;
        options.cropHeight = c.crop ? 120 : 0;
        rig_.core.inputs.framePosition = frame;
        rig_.core.previews.ClampOutputPosition();
        rig_.core.previews.RenderOutputPreview();
        ASSERT_TRUE(rig_.messages.shown.empty()) << c << ": " << rig_.messages.shown[0].text;
        const TFullDib& work = rig_.core.previews.OutputWorkPicture();
        ASSERT_EQ(work.Width(), 720) << c;
        ASSERT_EQ(work.Height(), 576) << c;
        const std::vector<std::uint8_t> preview(work.Pixels(), work.Pixels() + std::size_t{720} * 576 * 4);

        Supplied supplied;
        supplied.result = rig_.core.videoSupply.SupplyVideoFrame(frame, &supplied.rowBytes, &supplied.pixels);
        ASSERT_EQ(supplied.result, 0) << c;
        ASSERT_EQ(supplied.rowBytes, 720 * 4) << c;
        const std::vector<std::uint8_t> handed(supplied.pixels, supplied.pixels + std::size_t{720} * 576 * 4);
        EXPECT_TRUE(preview == handed) << c;
        if (c.fitting == FitMode::proportional && !c.invert && !c.crop) {
            // Both hold the frame asked for: scaled by 4, between 8 black columns each side.
            EXPECT_EQ(pattern::ReadFrameNumber(
                          pattern::ConstPatternImage{preview.data(), 720, 576, 720 * 4, 4, true}, {8, 0, 704, 576}),
                GetParam().number);
        }
    }
}

// White pixels in the lower half of a 720 x 576 picture stored bottom row first.
int WhiteBelowMiddle(const std::vector<std::uint8_t>& picture)
{
    int white = 0;
    for (std::size_t row = 0; row < 288; ++row) {
        for (std::size_t x = 0; x < 720; ++x) {
            const std::uint8_t* pixel = &picture[(row * 720 + x) * 4];
            white += pixel[0] > 240 && pixel[1] > 240 && pixel[2] > 240 ? 1 : 0;
        }
    }
    return white;
}

TEST_P(PreviewSupplyIdentity, TheSubtitleDrawnIntoThePictureIsTheSameInBoth)
{
    const TestFolder folder;
    const std::string cues = folder.File("cues.srt");
    std::ofstream(cues) << "1\n00:00:00,000 --> 00:00:09,000\nHello there\n";
    InputEntry& entry = rig_.Entry(0);
    entry.addedSubtitles = {{cues, "en", 0}};
    entry.burnSubtitles = true;
    rig_.core.settings.outputFormat = formatDvd;
    rig_.core.settings.batchMode = true;
    entry.pictureOptions.outputWidth = 720;
    entry.pictureOptions.outputHeight = 576;
    const int frame = GetParam().frame;
    rig_.core.inputs.framePosition = frame;
    rig_.core.previews.ClampOutputPosition();
    rig_.core.previews.RenderOutputPreview();
    ASSERT_TRUE(rig_.messages.shown.empty()) << rig_.messages.shown[0].text;
    const TFullDib& work = rig_.core.previews.OutputWorkPicture();
    ASSERT_EQ(work.Width(), 720);
    ASSERT_EQ(work.Height(), 576);
    const std::vector<std::uint8_t> preview(work.Pixels(), work.Pixels() + std::size_t{720} * 576 * 4);

    Supplied supplied;
    supplied.result = rig_.core.videoSupply.SupplyVideoFrame(frame, &supplied.rowBytes, &supplied.pixels);
    ASSERT_EQ(supplied.result, 0);
    const std::vector<std::uint8_t> handed(supplied.pixels, supplied.pixels + std::size_t{720} * 576 * 4);
    EXPECT_TRUE(preview == handed);
    EXPECT_GT(WhiteBelowMiddle(handed), 300) << "the text is there";

    // Once the cue has ended, neither shows it.
    std::ofstream(folder.File("late.srt")) << "1\n00:01:00,000 --> 00:01:09,000\nLater\n";
    entry.addedSubtitles = {{folder.File("late.srt"), "en", 0}};
    // The supply left the position at the list's picture.
    rig_.core.inputs.framePosition = frame;
    rig_.core.previews.ClampOutputPosition();
    rig_.core.previews.RenderOutputPreview();
    const std::vector<std::uint8_t> clean(work.Pixels(), work.Pixels() + std::size_t{720} * 576 * 4);
    supplied.result = rig_.core.videoSupply.SupplyVideoFrame(frame, &supplied.rowBytes, &supplied.pixels);
    ASSERT_EQ(supplied.result, 0);
    const std::vector<std::uint8_t> handedClean(supplied.pixels, supplied.pixels + std::size_t{720} * 576 * 4);
    EXPECT_TRUE(clean == handedClean);
    EXPECT_LT(WhiteBelowMiddle(handedClean), WhiteBelowMiddle(handed) / 10);
}

INSTANTIATE_TEST_SUITE_P(EveryPath, PreviewSupplyIdentity, ::testing::ValuesIn(decoderPaths),
    [](const auto& info) { return info.param.name; });

} // namespace
} // namespace discforge::test
