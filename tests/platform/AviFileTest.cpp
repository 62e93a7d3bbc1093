#include "platform/AviFile.h"
#include "platform/MmStream.h"
#include "platform/Yuv420ToBgrx.h"

#include "SampleMedia.h"
#include "support/StreamChecks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace discforge::test {
namespace {

using mediagen::AudioForm;
using mediagen::AviRecipe;
using mediagen::FrameRate;
using mediagen::VideoCodec;

constexpr std::int64_t frameCount = 60;
// Reading in order decodes this many frames ahead at most, and always the next one.
constexpr std::uint64_t mostReadAhead = 2;

AviRecipe Recipe(VideoCodec codec, FrameRate rate, AudioForm audio)
{
    AviRecipe recipe;
    recipe.video = codec;
    recipe.rate = rate;
    recipe.audio = audio;
    recipe.width = 320;
    recipe.height = 240;
    recipe.frames = frameCount;
    return recipe;
}

std::unique_ptr<AviFile> OpenSample(const AviRecipe& recipe)
{
    MediaError error;
    std::unique_ptr<AviFile> file = AviFile::Open(SampleAvi(recipe), error);
    EXPECT_TRUE(file) << error.text;
    return file;
}

// A decompressor of the file's video, as each activation of an input makes one.
std::unique_ptr<AviFrameDecompressor> OpenVideoDecompressor(const std::string& path, MediaError& error)
{
    auto file = AviFile::Open(path, error);
    return file ? file->GetStream(aviStreamTypeVideo, 0)->OpenDecompressor(error) : nullptr;
}

std::uint32_t Le32(const std::uint8_t* at)
{
    std::uint32_t value = 0;
    std::memcpy(&value, at, 4);
    return value;
}

std::uint16_t Le16(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | at[1] << 8); }

TEST(AviFile, FileAndStreamInformationAreInAviTerms)
{
    struct Case {
        VideoCodec codec;
        FrameRate rate;
        std::uint32_t handler;
        std::uint32_t frameRate;
        std::uint32_t frameScale;
    };
    for (const Case& c : {Case{VideoCodec::Mpeg4, FrameRate::Pal25, MakeFourCC('F', 'M', 'P', '4'), 25, 1},
             Case{VideoCodec::Mjpeg, FrameRate::Ntsc2997, MakeFourCC('M', 'J', 'P', 'G'), 30000, 1001},
             Case{VideoCodec::RawRgb, FrameRate::Pal25, 0, 25, 1}}) {
        auto file = OpenSample(Recipe(c.codec, c.rate, AudioForm::Mono8At22050));
        ASSERT_TRUE(file);
        const AviFileInfo& info = file->Info();
        EXPECT_EQ(info.width, 320u);
        EXPECT_EQ(info.height, 240u);
        EXPECT_EQ(info.length, static_cast<std::uint32_t>(frameCount));
        EXPECT_EQ(info.rate, c.frameRate);
        EXPECT_EQ(info.scale, c.frameScale);
        EXPECT_EQ(info.streams, 2u);

        auto video = file->GetStream(aviStreamTypeVideo, 0);
        ASSERT_TRUE(video);
        EXPECT_EQ(video->Info().type, aviStreamTypeVideo);
        EXPECT_EQ(video->Info().handler, c.handler);
        EXPECT_EQ(video->Info().rate, c.frameRate);
        EXPECT_EQ(video->Info().scale, c.frameScale);
        EXPECT_EQ(video->Info().start, 0u);
        EXPECT_EQ(video->Info().length, static_cast<std::uint32_t>(frameCount));
        EXPECT_FALSE(file->GetStream(aviStreamTypeVideo, 1));

        auto audio = file->GetStream(aviStreamTypeAudio, 0);
        ASSERT_TRUE(audio);
        EXPECT_EQ(audio->Info().rate, 22050u);
        EXPECT_EQ(audio->Info().scale, 1u);
        EXPECT_EQ(audio->FindNextKeyFrame(0), -1);
        MediaError error;
        EXPECT_FALSE(audio->OpenDecompressor(error));
    }
}

TEST(AviFile, FramesComeAsBottomUpBitmapsDecodedOnceInOrder)
{
    for (VideoCodec codec : {VideoCodec::Mpeg4, VideoCodec::Mjpeg, VideoCodec::RawRgb}) {
        auto file = OpenSample(Recipe(codec, FrameRate::Pal25, AudioForm::None));
        ASSERT_TRUE(file);
        auto stream = file->GetStream(aviStreamTypeVideo, 0);
        ASSERT_TRUE(stream);
        MediaError error;
        auto decompressor = stream->OpenDecompressor(error);
        ASSERT_TRUE(decompressor) << error.text;
        // The stream and file may go before the decompressor.
        stream.reset();
        file.reset();
        ASSERT_EQ(decompressor->FrameBytes(), 40u + 320u * 240u * 4u);
        for (std::int64_t n = 0; n < frameCount; ++n) {
            const std::uint8_t* bitmap = decompressor->GetFrame(n);
            ASSERT_NE(bitmap, nullptr) << decompressor->LastError();
            if (n == 0) {
                EXPECT_EQ(Le32(bitmap), 40u);
                EXPECT_EQ(Le32(bitmap + 4), 320u);
                EXPECT_EQ(Le32(bitmap + 8), 240u);
                EXPECT_EQ(Le16(bitmap + 12), 1);
                EXPECT_EQ(Le16(bitmap + 14), 32);
                EXPECT_EQ(Le32(bitmap + 16), 0u);
                EXPECT_EQ(Le32(bitmap + 20), 320u * 240u * 4u);
                EXPECT_EQ(bitmap[40 + 3], 0);
            }
            ASSERT_EQ(NumberInBitmap(bitmap), n);
        }
        EXPECT_EQ(decompressor->Statistics().framesDecoded, static_cast<std::uint64_t>(frameCount));
        EXPECT_EQ(decompressor->Statistics().realSeeks, 0u);
    }
}

TEST(AviFile, RandomFramesAndTheEdgesOfTheStream)
{
    auto file = OpenSample(Recipe(VideoCodec::Mpeg4, FrameRate::Ntsc2997, AudioForm::None));
    ASSERT_TRUE(file);
    MediaError error;
    auto decompressor = file->GetStream(aviStreamTypeVideo, 0)->OpenDecompressor(error);
    ASSERT_TRUE(decompressor);
    for (std::int64_t n : {45, 3, 59, 0, 26, 25}) {
        const std::uint8_t* bitmap = decompressor->GetFrame(n);
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(NumberInBitmap(bitmap), n);
    }
    const std::uint64_t decoded = decompressor->Statistics().framesDecoded;
    EXPECT_NE(decompressor->GetFrame(25), nullptr);
    EXPECT_EQ(decompressor->Statistics().framesDecoded, decoded) << "the same frame again is not decoded again";
    EXPECT_EQ(decompressor->GetFrame(frameCount), nullptr);
    EXPECT_EQ(decompressor->GetFrame(-1), nullptr);
    EXPECT_FALSE(decompressor->LastError().empty());
    EXPECT_EQ(NumberInBitmap(decompressor->GetFrame(frameCount - 1)), frameCount - 1);
}

TEST(AviFile, ReadingInOrderDecodesAheadYetEveryAnswerIsTheFrameAskedFor)
{
    AviRecipe recipe = Recipe(VideoCodec::Mpeg4, FrameRate::Pal25, AudioForm::None);
    recipe.keyFrameInterval = 12;
    auto file = OpenSample(recipe);
    ASSERT_TRUE(file);
    MediaError error;
    auto decompressor = file->GetStream(aviStreamTypeVideo, 0)->OpenDecompressor(error);
    ASSERT_TRUE(decompressor) << error.text;
    // A conversion's pattern (frames repeated, one skipped), a jump within the key
    // frame's group and one past the next key frame, a step back, the stream's end.
    const std::int64_t asked[] = {0, 1, 1, 2, 4, 5, 6, 9, 10, 30, 31, 31, 20, 21, 22, 58, 59};
    for (std::int64_t n : asked) {
        const std::uint8_t* bitmap = decompressor->GetFrame(n);
        ASSERT_NE(bitmap, nullptr) << "frame " << n << ": " << decompressor->LastError();
        ASSERT_EQ(NumberInBitmap(bitmap), n);
        EXPECT_EQ(bitmap[40 + 3], 0);
    }
    EXPECT_EQ(decompressor->GetFrame(frameCount), nullptr);
    // Frames 0 .. 10, 24 .. 31 (from the key frame at 24), 12 .. 22 (back to the one
    // at 12) and 48 .. 59 on the way, and those read ahead of 10, 31 and 22 that the
    // jumps after them passed over: none twice.
    const std::uint64_t onTheWay = 11u + 8u + 11u + 12u;
    EXPECT_GE(decompressor->Statistics().framesDecoded, onTheWay + 3u);
    EXPECT_LE(decompressor->Statistics().framesDecoded, onTheWay + 3u * mostReadAhead);
    const std::uint64_t decoded = decompressor->Statistics().framesDecoded;
    ASSERT_NE(decompressor->GetFrame(59), nullptr);
    EXPECT_EQ(decompressor->Statistics().framesDecoded, decoded);
}

TEST(AviFile, TheNextDecompressorOfTheSameFileTakesOverTheFramesOfTheOneClosedBefore)
{
    AviRecipe recipe = Recipe(VideoCodec::Mpeg4, FrameRate::Pal25, AudioForm::None);
    recipe.keyFrameInterval = 12;
    const std::string path = SampleAvi(recipe);
    MediaError error;
    auto open = [&] { return OpenVideoDecompressor(path, error); };
    // As each activation of an input does: the old decompressor goes, a new one asks
    // for the first frame and then for the last.
    auto first = open();
    ASSERT_TRUE(first) << error.text;
    ASSERT_EQ(NumberInBitmap(first->GetFrame(frameCount - 1)), frameCount - 1);
    first.reset();
    auto second = open();
    ASSERT_TRUE(second) << error.text;
    ASSERT_EQ(NumberInBitmap(second->GetFrame(0)), 0);
    ASSERT_EQ(NumberInBitmap(second->GetFrame(frameCount - 1)), frameCount - 1);
    EXPECT_EQ(second->Statistics().framesDecoded, 1u) << "frame 0 alone, not read on from; the last came from before";
    // A run then starts over at frame 0, which waited where the last frame was, and
    // reads on from where the stream was left, with no seek.
    ASSERT_EQ(NumberInBitmap(second->GetFrame(0)), 0);
    EXPECT_EQ(second->Statistics().framesDecoded, 1u);
    // Reading in order leaves the last frame handed out and the one read ahead.
    for (std::int64_t n = 1; n < 30; ++n) {
        ASSERT_EQ(NumberInBitmap(second->GetFrame(n)), n);
    }
    EXPECT_EQ(second->Statistics().realSeeks, 0u);
    EXPECT_LE(second->Statistics().framesDecoded, 30u + mostReadAhead);
    second.reset();
    auto third = open();
    ASSERT_TRUE(third) << error.text;
    ASSERT_EQ(NumberInBitmap(third->GetFrame(30)), 30);
    ASSERT_EQ(NumberInBitmap(third->GetFrame(29)), 29);
    EXPECT_EQ(third->Statistics().framesDecoded, 0u);
    // From there the stream is read as after any jump.
    ASSERT_EQ(NumberInBitmap(third->GetFrame(31)), 31);
    ASSERT_EQ(NumberInBitmap(third->GetFrame(32)), 32);

    // Frames wait only for the next decompressor made, and only one of the same file keeps them.
    third.reset();
    auto other = OpenSample(Recipe(VideoCodec::Mjpeg, FrameRate::Pal25, AudioForm::None));
    ASSERT_TRUE(other);
    auto another = other->GetStream(aviStreamTypeVideo, 0)->OpenDecompressor(error);
    ASSERT_TRUE(another);
    ASSERT_EQ(NumberInBitmap(another->GetFrame(32)), 32);
    EXPECT_EQ(another->Statistics().framesDecoded, 1u) << "decoded itself (every frame is a key frame)";
    auto fourth = open();
    ASSERT_TRUE(fourth);
    ASSERT_EQ(NumberInBitmap(fourth->GetFrame(32)), 32);
    EXPECT_GT(fourth->Statistics().framesDecoded, 0u);
}

TEST(AviFile, FramesAskedForByTheirRowsMakeTheBytesOfTheirBitmapsAndAreHandedOnAsBitmaps)
{
    AviRecipe recipe = Recipe(VideoCodec::Mpeg4, FrameRate::Pal25, AudioForm::None);
    recipe.keyFrameInterval = 12;
    const std::string path = SampleAvi(recipe);
    MediaError error;
    auto open = [&] { return OpenVideoDecompressor(path, error); };
    auto byRows = open();
    auto reference = open();
    ASSERT_TRUE(byRows && reference) << error.text;
    const int width = byRows->FrameWidth();
    const int height = byRows->FrameHeight();
    ASSERT_EQ(width, 320);
    ASSERT_EQ(height, 240);
    const std::size_t frameBytes = byRows->FrameBytes();
    // In order through the read-ahead, then a jump ahead and one back.
    std::vector<std::int64_t> asked;
    for (std::int64_t n = 0; n < 16; ++n) {
        asked.push_back(n);
    }
    asked.insert(asked.end(), {40, 41, 42, 20, 21});
    for (std::int64_t n : asked) {
        const AviFrameRows rows = byRows->GetFrameRows(n);
        const std::uint8_t* expected = reference->GetFrame(n);
        ASSERT_NE(expected, nullptr) << reference->LastError();
        if (!Yuv420ToBgrxAvailable()) {
            ASSERT_NE(rows.packed, nullptr) << "without the wide conversion every frame is converted whole";
            EXPECT_EQ(0, std::memcmp(rows.packed, expected, frameBytes));
            continue;
        }
        ASSERT_NE(rows.bands, nullptr) << "frame " << n << ": " << byRows->LastError();
        EXPECT_EQ(rows.packed, nullptr);
        std::vector<std::uint8_t> made(frameBytes, 0xEE);
        std::memcpy(made.data(), expected, 40);
        rows.bands->MakeRows(0, height, made.data() + 40 + std::size_t{4} * width * (height - 1), -4 * width);
        ASSERT_EQ(NumberInBitmap(made.data()), n);
        EXPECT_EQ(0, std::memcmp(made.data(), expected, frameBytes)) << "frame " << n;
    }
    // Asked for again by its bitmap, the frame is converted whole.
    const std::uint8_t* bitmap = byRows->GetFrame(21);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(0, std::memcmp(bitmap, reference->GetFrame(21), frameBytes));
    // The frame handed out last and the one read ahead wait for the next decompressor as bitmaps.
    ASSERT_TRUE(byRows->GetFrameRows(22).bands != nullptr || !Yuv420ToBgrxAvailable());
    byRows.reset();
    auto next = open();
    ASSERT_TRUE(next) << error.text;
    for (std::int64_t n : {22, 23}) {
        const std::uint8_t* handed = next->GetFrame(n);
        ASSERT_NE(handed, nullptr);
        EXPECT_EQ(0, std::memcmp(handed, reference->GetFrame(n), frameBytes)) << "frame " << n;
    }
    EXPECT_EQ(next->Statistics().framesDecoded, 0u);
}

TEST(AviFile, NextKeyFrameAtOrAfterAPosition)
{
    AviRecipe recipe = Recipe(VideoCodec::Mpeg4, FrameRate::Pal25, AudioForm::None);
    recipe.keyFrameInterval = 12;
    auto file = OpenSample(recipe);
    ASSERT_TRUE(file);
    auto stream = file->GetStream(aviStreamTypeVideo, 0);
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->FindNextKeyFrame(0), 0);
    EXPECT_EQ(stream->FindNextKeyFrame(1), 12);
    EXPECT_EQ(stream->FindNextKeyFrame(12), 12);
    EXPECT_EQ(stream->FindNextKeyFrame(13), 24);
    EXPECT_EQ(stream->FindNextKeyFrame(48), 48);
    EXPECT_EQ(stream->FindNextKeyFrame(49), -1);
    EXPECT_EQ(stream->FindNextKeyFrame(frameCount + 5), -1);

    auto mjpeg = OpenSample(Recipe(VideoCodec::Mjpeg, FrameRate::Pal25, AudioForm::None));
    ASSERT_TRUE(mjpeg);
    EXPECT_EQ(mjpeg->GetStream(aviStreamTypeVideo, 0)->FindNextKeyFrame(7), 7);
}

TEST(AviFile, OtherContainersOpenThroughTheSameInterface)
{
    const std::string& avi = SampleAvi(Recipe(VideoCodec::Mpeg4, FrameRate::Ntsc2997, AudioForm::Stereo16At48000));
    for (const char* container : {"matroska", "mov"}) {
        const std::string copy = RemuxedCopy(avi, container, std::string("remuxed.") + container);
        MediaError error;
        auto file = AviFile::Open(copy, error);
        ASSERT_TRUE(file) << error.text;
        EXPECT_EQ(file->Info().width, 320u);
        EXPECT_EQ(file->Info().rate, 30000u);
        EXPECT_EQ(file->Info().scale, 1001u);
        EXPECT_NEAR(file->Info().length, static_cast<double>(frameCount), 1.0) << container;
        auto video = file->GetStream(aviStreamTypeVideo, 0);
        ASSERT_TRUE(video);
        EXPECT_EQ(video->FindNextKeyFrame(1), 12) << container;
        auto decompressor = video->OpenDecompressor(error);
        ASSERT_TRUE(decompressor) << error.text;
        for (std::int64_t n : {0, 1, 2, 40, 13}) {
            const std::uint8_t* bitmap = decompressor->GetFrame(n);
            ASSERT_NE(bitmap, nullptr) << container << " frame " << n;
            EXPECT_EQ(NumberInBitmap(bitmap), n) << container;
        }
        auto stream = MmStream::Open(copy, MmPurpose::PrimaryVideo, error);
        ASSERT_TRUE(stream) << error.text;
        EXPECT_EQ(stream->TimePerFrame(), 333666);
        auto audio = MmStream::Open(copy, MmPurpose::PrimaryAudio, error);
        ASSERT_TRUE(audio) << error.text;
        EXPECT_EQ(audio->WaveFormat().sampleRate, 48000u);
        EXPECT_EQ(audio->Components()[0].name.find("AVI"), std::string::npos);
    }
}

// What probing found is kept for the next open of the same file, but a file
// written anew at the same path is probed anew.
TEST(AviFile, AFileReplacedAtTheSamePathIsProbedAnew)
{
    // The same streams in both, so that only the file itself tells them apart.
    AviRecipe smaller = Recipe(VideoCodec::Mpeg4, FrameRate::Pal25, AudioForm::None);
    smaller.width = 160;
    smaller.height = 120;
    const std::string& ntsc = SampleAvi(Recipe(VideoCodec::Mpeg4, FrameRate::Ntsc2997, AudioForm::None));
    const std::pair<const std::string*, unsigned> versions[] = {{&ntsc, 320u}, {&SampleAvi(smaller), 160u}};
    for (const auto& [sample, width] : versions) {
        const std::string path = RemuxedCopy(*sample, "matroska", "replaced.mkv");
        for (int open = 0; open < 2; ++open) {
            MediaError error;
            auto file = AviFile::Open(path, error);
            ASSERT_TRUE(file) << error.text;
            EXPECT_EQ(file->Info().width, width) << "open " << open;
            EXPECT_EQ(file->Info().scale, width == 320u ? 1001u : 1u) << "open " << open;
        }
    }
}

// Decoding on toward a frame skips the pictures no other picture refers to (most
// B-frames of an H.264 stream) before it, yet hands out exactly the frame asked for.
TEST(AviFile, DecodingOnThroughH264BFramesSkipsUnreferencedPicturesAndFindsTheFrame)
{
    if (RunCommand("ffmpeg -hide_banner -version").exitCode != 0) {
        GTEST_SKIP() << "the ffmpeg program is not installed (scripts/install-deps.sh installs it)";
    }
    const std::string& avi = SampleAvi(Recipe(VideoCodec::RawRgb, FrameRate::Film23976, AudioForm::None));
    const std::string copy = SampleFolder() + "/b-frames.mkv";
    const CommandResult made = RunCommand("ffmpeg -nostdin -v error -y -i " + Quoted(avi)
        + " -c:v libx264 -preset veryfast -bf 3 -g 600 -crf 12 -pix_fmt yuv420p " + Quoted(copy));
    ASSERT_EQ(made.exitCode, 0) << made.output;
    MediaError error;
    auto file = AviFile::Open(copy, error);
    ASSERT_TRUE(file) << error.text;
    auto open = [&] { return file->GetStream(aviStreamTypeVideo, 0)->OpenDecompressor(error); };
    // One key frame: every frame is reached by decoding on from the first.
    auto decompressor = open();
    ASSERT_TRUE(decompressor) << error.text;
    const std::uint8_t* last = decompressor->GetFrame(frameCount - 1);
    ASSERT_NE(last, nullptr) << decompressor->LastError();
    EXPECT_EQ(NumberInBitmap(last), frameCount - 1);
    EXPECT_LT(decompressor->Statistics().framesDecoded, static_cast<std::uint64_t>(frameCount) * 3 / 4);
    for (std::int64_t n : {37, 38, 2, 21, 58, 59, 50}) {
        const std::uint8_t* bitmap = decompressor->GetFrame(n);
        ASSERT_NE(bitmap, nullptr) << "frame " << n << ": " << decompressor->LastError();
        EXPECT_EQ(NumberInBitmap(bitmap), n);
    }
    // Reading in order after such a jump skips nothing.
    auto reader = open();
    ASSERT_TRUE(reader) << error.text;
    for (std::int64_t n = 30; n < frameCount; ++n) {
        const std::uint8_t* bitmap = reader->GetFrame(n);
        ASSERT_NE(bitmap, nullptr) << "frame " << n << ": " << reader->LastError();
        ASSERT_EQ(NumberInBitmap(bitmap), n);
    }
}

TEST(AviFile, AFileWithSoundOnlyOpensWithoutAVideoStream)
{
    auto file = OpenSample(Recipe(VideoCodec::None, FrameRate::Pal25, AudioForm::Stereo16At48000));
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Info().width, 0u);
    EXPECT_EQ(file->Info().rate, 48000u);
    // Sample frames of the sound, as near as the container tells.
    EXPECT_NEAR(file->Info().length, 48000.0 * frameCount / 25, 48000.0 / 25);
    EXPECT_FALSE(file->GetStream(aviStreamTypeVideo, 0));
    ASSERT_TRUE(file->GetStream(aviStreamTypeAudio, 0));
    MediaError error;
    EXPECT_FALSE(MmStream::Open(SampleAvi(Recipe(VideoCodec::None, FrameRate::Pal25, AudioForm::Stereo16At48000)),
        MmPurpose::PrimaryVideo, error));
    EXPECT_EQ(error.failure, MediaFailure::NoStream);
}

} // namespace
} // namespace discforge::test
