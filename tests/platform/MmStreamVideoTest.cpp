#include "MmStreamTestSupport.h"

#include "platform/AviFile.h"
#include "platform/Yuv420ToBgrx.h"

#include <filesystem>
#include <string>
#include <vector>

namespace discforge::test {
namespace {

using mediagen::AudioForm;
using mediagen::AviRecipe;
using mediagen::FrameRate;
using mediagen::VideoCodec;

constexpr std::int64_t frameCount = 60;

struct Variant {
    VideoCodec codec;
    FrameRate rate;
    const char* decoderName;
    std::int64_t timePerFrame; // rounded down to 100 ns
    double frameRate; // exact
};

const std::vector<Variant> variants{
    {VideoCodec::Mpeg4, FrameRate::Pal25, "MPEG-4 Part 2 Video decoder", 400000, 25.0},
    {VideoCodec::Mpeg4, FrameRate::Ntsc2997, "MPEG-4 Part 2 Video decoder", 333666, 30000.0 / 1001},
    {VideoCodec::Mpeg4, FrameRate::Exact2997, "MPEG-4 Part 2 Video decoder", 333667, 29.97},
    {VideoCodec::Mpeg4, FrameRate::Film23976, "MPEG-4 Part 2 Video decoder", 417083, 24000.0 / 1001},
    {VideoCodec::Mjpeg, FrameRate::Pal25, "Motion JPEG Video decoder", 400000, 25.0},
    {VideoCodec::Mjpeg, FrameRate::Ntsc2997, "Motion JPEG Video decoder", 333666, 30000.0 / 1001},
    {VideoCodec::RawRgb, FrameRate::Pal25, "Uncompressed Video decoder", 400000, 25.0},
    {VideoCodec::RawRgb, FrameRate::Ntsc2997, "Uncompressed Video decoder", 333666, 30000.0 / 1001},
};

AviRecipe VideoOnly(VideoCodec codec, FrameRate rate)
{
    AviRecipe recipe;
    recipe.video = codec;
    recipe.rate = rate;
    recipe.audio = AudioForm::None;
    recipe.width = 320;
    recipe.height = 240;
    recipe.frames = frameCount;
    return recipe;
}

std::string Mpeg4Sample() { return SampleAvi(VideoOnly(VideoCodec::Mpeg4, FrameRate::Pal25)); }

TEST(MmStreamVideo, EachVariantReportsItsTimingFormatAndComponents)
{
    for (const Variant& variant : variants) {
        MediaError error;
        auto stream = MmStream::Open(SampleAvi(VideoOnly(variant.codec, variant.rate)), MmPurpose::PrimaryVideo, error);
        ASSERT_TRUE(stream) << error.text;
        EXPECT_EQ(stream->TimePerFrame(), variant.timePerFrame);
        // The rate itself is not rounded: taken back from the time per frame it would
        // map output frames a frame too far now and then in a long input.
        EXPECT_EQ(stream->FrameRate(), variant.frameRate);
        EXPECT_EQ(stream->Duration() / stream->TimePerFrame(), frameCount) << "frames from duration";
        EXPECT_EQ(stream->VideoFormat().width, 320);
        EXPECT_EQ(stream->VideoFormat().height, 240);
        EXPECT_TRUE(stream->CanSeek());
        ASSERT_EQ(stream->Components().size(), 3u);
        EXPECT_EQ(stream->Components()[0].name, "AVI (Audio Video Interleaved) source");
        // The AVI demuxer has an option of its own (whether to read the OpenDML index).
        EXPECT_TRUE(stream->Components()[0].hasSettings);
        EXPECT_EQ(stream->Components()[1].name, variant.decoderName);
        EXPECT_TRUE(stream->Components()[1].hasSettings);
        EXPECT_EQ(stream->Components()[2].name, "Picture converter");
        EXPECT_TRUE(stream->Components()[2].hasSettings);
    }
}

TEST(MmStreamVideo, InOrderUpdatesDecodeEveryFrameOnceAndHoldTheLastAtTheEnd)
{
    for (const Variant& variant : variants) {
        auto stream = RunningVideo(SampleAvi(VideoOnly(variant.codec, variant.rate)));
        ASSERT_TRUE(stream);
        for (std::int64_t n = 0; n < frameCount; ++n) {
            ASSERT_EQ(UpdateAndWait(*stream), MmAnswer::Done) << stream->LastError();
            ASSERT_EQ(ShownNumber(*stream), n) << variant.decoderName;
        }
        EXPECT_FALSE(stream->AtEndOfStream());
        EXPECT_EQ(UpdateAndWait(*stream), MmAnswer::Done);
        EXPECT_TRUE(stream->AtEndOfStream());
        EXPECT_EQ(ShownNumber(*stream), frameCount - 1);
        MmStatistics statistics = stream->Statistics();
        EXPECT_EQ(statistics.framesDecoded, static_cast<std::uint64_t>(frameCount));
        EXPECT_EQ(statistics.framesDelivered, static_cast<std::uint64_t>(frameCount));
        EXPECT_EQ(statistics.framesSkipped, 0u);
        EXPECT_EQ(statistics.realSeeks, 0u);
    }
}

// The surface's pixels, all four bytes of each; empty when it cannot be locked.
std::vector<std::uint8_t> SurfacePixels(MmStream& stream)
{
    MmSurfaceLock lock;
    if (!stream.LockSurface(lock)) {
        return {};
    }
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < lock.height; ++y) {
        const std::uint8_t* row = lock.pixels + static_cast<std::ptrdiff_t>(y) * lock.pitch;
        pixels.insert(pixels.end(), row, row + std::ptrdiff_t{lock.width} * 4);
    }
    stream.UnlockSurface();
    return pixels;
}

// The frame as its bands make its rows, the fourth byte set as the surface has it;
// empty where the stream gives no bands.
std::vector<std::uint8_t> BandPixels(MmStream& stream)
{
    const PictureBands* bands = nullptr;
    if (!stream.LockBands(bands)) {
        return {};
    }
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(bands->Width()) * bands->Height() * 4);
    bands->MakeRows(0, bands->Height(), pixels.data(), std::ptrdiff_t{bands->Width()} * 4);
    stream.UnlockSurface();
    for (std::size_t i = 3; i < pixels.size(); i += 4) {
        pixels[i] = 255;
    }
    return pixels;
}

// A caller that scales frames down takes them as bands once the frames decoded
// ahead have passed; their rows are those of the surface, and pixels asked of a
// frame held as bands come as the surface would have held them, the frames after
// it converted again.
TEST(MmStreamVideo, BandsAskedForComeAfterTheFramesAheadAndHoldTheSurfacesPixels)
{
    if (!Yuv420ToBgrxAvailable()) {
        GTEST_SKIP() << "no AVX2";
    }
    auto bySurface = RunningVideo(Mpeg4Sample());
    auto byBands = RunningVideo(Mpeg4Sample());
    ASSERT_TRUE(bySurface && byBands);
    std::int64_t firstBands = -1;
    for (std::int64_t n = 0; n < frameCount / 2; ++n) {
        ASSERT_EQ(UpdateAndWait(*bySurface), MmAnswer::Done);
        ASSERT_EQ(UpdateAndWait(*byBands), MmAnswer::Done);
        const std::vector<std::uint8_t> expected = SurfacePixels(*bySurface);
        std::vector<std::uint8_t> got = BandPixels(*byBands);
        if (got.empty()) {
            EXPECT_EQ(firstBands, -1) << "frame " << n << " came as pixels after frames as bands";
            got = SurfacePixels(*byBands);
        } else if (firstBands < 0) {
            firstBands = n;
        }
        ASSERT_EQ(got, expected) << "frame " << n;
    }
    EXPECT_GE(firstBands, 1);
    EXPECT_LE(firstBands, 4);

    for (std::int64_t n = frameCount / 2; n < frameCount; ++n) {
        ASSERT_EQ(UpdateAndWait(*bySurface), MmAnswer::Done);
        ASSERT_EQ(UpdateAndWait(*byBands), MmAnswer::Done);
        EXPECT_EQ(SurfacePixels(*byBands), SurfacePixels(*bySurface)) << "frame " << n;
    }
    EXPECT_TRUE(BandPixels(*byBands).empty());
    EXPECT_EQ(byBands->Statistics().framesDecoded, static_cast<std::uint64_t>(frameCount));
}

TEST(MmStreamVideo, SeekingToTheNextFrameBeforeEveryUpdateCostsNothing)
{
    auto stream = RunningVideo(Mpeg4Sample());
    ASSERT_TRUE(stream);
    const std::int64_t tpf = stream->TimePerFrame();
    for (std::int64_t n = 0; n < frameCount; ++n) {
        ASSERT_TRUE(stream->Seek(n * tpf));
        ASSERT_EQ(UpdateAndWait(*stream), MmAnswer::Done);
        ASSERT_EQ(ShownNumber(*stream), n);
        // Asking again for the frame just shown keeps it, without decoding.
        ASSERT_TRUE(stream->Seek(n * tpf));
        ASSERT_EQ(UpdateAndWait(*stream), MmAnswer::Done);
        ASSERT_EQ(ShownNumber(*stream), n);
    }
    MmStatistics statistics = stream->Statistics();
    EXPECT_EQ(statistics.framesDecoded, static_cast<std::uint64_t>(frameCount));
    EXPECT_EQ(statistics.realSeeks, 0u);
}

TEST(MmStreamVideo, SkippingAFewFramesDecodesThroughWithoutSeeking)
{
    // A 29.97 input converted to 25 frames per second skips about every sixth frame.
    auto stream = RunningVideo(SampleAvi(VideoOnly(VideoCodec::Mpeg4, FrameRate::Ntsc2997)));
    ASSERT_TRUE(stream);
    const std::int64_t tpf = stream->TimePerFrame();
    std::int64_t output = 0;
    for (std::int64_t source = 0; source < frameCount; source = static_cast<std::int64_t>(++output * 29.97 * 0.04)) {
        ASSERT_TRUE(stream->Seek(source * tpf));
        ASSERT_EQ(UpdateAndWait(*stream), MmAnswer::Done);
        ASSERT_EQ(ShownNumber(*stream), source);
    }
    MmStatistics statistics = stream->Statistics();
    EXPECT_EQ(statistics.realSeeks, 0u);
    EXPECT_LE(statistics.framesDecoded, static_cast<std::uint64_t>(frameCount));
    EXPECT_GT(statistics.framesSkipped, 0u);
}

TEST(MmStreamVideo, OutOfOrderSeeksShowTheRightFramesFromTheNearestKeyFrame)
{
    auto stream = RunningVideo(Mpeg4Sample());
    ASSERT_TRUE(stream);
    const std::int64_t tpf = stream->TimePerFrame();
    // Key frames every 12: reaching 40 starts at 36, not at 0.
    ASSERT_TRUE(stream->Seek(40 * tpf));
    ASSERT_EQ(UpdateAndWait(*stream), MmAnswer::Done);
    EXPECT_EQ(ShownNumber(*stream), 40);
    EXPECT_LE(stream->Statistics().framesDecoded, 12u);
    EXPECT_EQ(stream->Statistics().realSeeks, 1u);
    for (std::int64_t n : {5, 59, 0, 13, 12, 41, 42, 30}) {
        ASSERT_TRUE(stream->Seek(n * tpf));
        ASSERT_EQ(UpdateAndWait(*stream), MmAnswer::Done);
        EXPECT_EQ(ShownNumber(*stream), n);
    }
    // Updates without a seek go on from the last frame.
    ASSERT_EQ(UpdateAndWait(*stream), MmAnswer::Done);
    EXPECT_EQ(ShownNumber(*stream), 31);
    EXPECT_FALSE(stream->Seek(-1));
}

TEST(MmStreamVideo, SeekingPastTheEndLeavesTheSurfaceAndAnswersDone)
{
    auto stream = RunningVideo(Mpeg4Sample());
    ASSERT_TRUE(stream);
    ASSERT_EQ(UpdateAndWait(*stream), MmAnswer::Done);
    ASSERT_TRUE(stream->Seek((frameCount + 20) * stream->TimePerFrame()));
    EXPECT_EQ(UpdateAndWait(*stream), MmAnswer::Done);
    EXPECT_TRUE(stream->AtEndOfStream());
    EXPECT_EQ(ShownNumber(*stream), 0);
    // And back into the file.
    ASSERT_TRUE(stream->Seek(25 * stream->TimePerFrame()));
    EXPECT_EQ(UpdateAndWait(*stream), MmAnswer::Done);
    EXPECT_EQ(ShownNumber(*stream), 25);
}

TEST(MmStreamVideo, TheSampleAndSurfaceRefuseCallsOutOfOrder)
{
    MediaError error;
    auto stream = MmStream::Open(Mpeg4Sample(), MmPurpose::PrimaryVideo, error);
    ASSERT_TRUE(stream);
    MmSurfaceLock lock;
    EXPECT_FALSE(stream->LockSurface(lock)) << "no sample yet";
    EXPECT_EQ(stream->Update(), MmAnswer::Failed) << "no sample yet";
    ASSERT_TRUE(stream->CreateVideoSample(error));
    EXPECT_EQ(stream->Update(), MmAnswer::Failed) << "not running yet";
    EXPECT_FALSE(stream->CreateAudioSample(nullptr, 4, error));
    EXPECT_EQ(error.failure, MediaFailure::WrongState);
    ASSERT_TRUE(stream->Run(error));
    ASSERT_EQ(UpdateAndWait(*stream), MmAnswer::Done);
    ASSERT_TRUE(stream->LockSurface(lock));
    EXPECT_EQ(lock.pitch, 320 * 4);
    EXPECT_EQ(stream->Update(), MmAnswer::Failed) << "the surface is locked";
    stream->UnlockSurface();
    EXPECT_EQ(UpdateAndWait(*stream), MmAnswer::Done);
    EXPECT_EQ(ShownNumber(*stream), 1);
    stream->ReleaseSample();
    EXPECT_EQ(stream->Update(), MmAnswer::Failed);
}

TEST(MmStreamVideo, AStreamCanBeDestroyedWhileAnUpdateIsPending)
{
    for (int round = 0; round < 5; ++round) {
        auto stream = RunningVideo(Mpeg4Sample());
        ASSERT_TRUE(stream);
        ASSERT_TRUE(stream->Seek(50 * stream->TimePerFrame()));
        MmAnswer answer = stream->Update();
        EXPECT_NE(answer, MmAnswer::Failed);
    }
}

TEST(MmStreamVideo, AReopenedStreamGoesOnWhereItStoodUnlessTheFileIsAnother)
{
    const std::string path = Mpeg4Sample();
    auto stream = RunningVideo(path);
    ASSERT_TRUE(stream);
    const std::int64_t tpf = stream->TimePerFrame();
    for (std::int64_t n = 0; n <= 20; ++n) {
        ASSERT_TRUE(stream->Seek(n * tpf));
        ASSERT_EQ(UpdateAndWait(*stream), MmAnswer::Done);
    }
    MediaError error;
    stream = MmStream::Reopen(std::move(stream), path, MmPurpose::PrimaryVideo, error);
    ASSERT_TRUE(stream) << error.text;
    // As after an open: no sample until one is made, and Run to go on.
    EXPECT_EQ(stream->Update(), MmAnswer::Failed) << "no sample yet";
    ASSERT_TRUE(stream->CreateVideoSample(error));
    ASSERT_TRUE(stream->Run(error));
    // Frame 21 lies past a key frame (at 12), and still no seek is made: the decoding goes on.
    for (std::int64_t n = 21; n < 30; ++n) {
        ASSERT_TRUE(stream->Seek(n * tpf));
        ASSERT_EQ(UpdateAndWait(*stream), MmAnswer::Done);
        ASSERT_EQ(ShownNumber(*stream), n);
    }
    EXPECT_EQ(stream->Statistics().realSeeks, 0u);
    EXPECT_LE(stream->Statistics().framesDecoded, 30u + 3u);

    // Another file, or another purpose, is opened anew: its own frames, from its start.
    const std::string other = SampleAvi(VideoOnly(VideoCodec::Mjpeg, FrameRate::Pal25));
    stream = MmStream::Reopen(std::move(stream), other, MmPurpose::PrimaryVideo, error);
    ASSERT_TRUE(stream) << error.text;
    EXPECT_EQ(stream->Components()[1].name, "Motion JPEG Video decoder");
    EXPECT_EQ(stream->Statistics().framesDecoded, 0u);
    EXPECT_FALSE(MmStream::Reopen(std::move(stream), other, MmPurpose::PrimaryAudio, error)) << "it has no sound";
}

TEST(MmStreamVideo, AFileChangedSinceTheOpenIsReopenedAnew)
{
    const std::string path = TruncatedCopy(Mpeg4Sample(), FileSize(Mpeg4Sample()), "rewritten.avi");
    auto stream = RunningVideo(path);
    ASSERT_TRUE(stream);
    ASSERT_EQ(UpdateAndWait(*stream), MmAnswer::Done);
    // The same name, now another recording.
    const std::string replacement = SampleAvi(VideoOnly(VideoCodec::Mjpeg, FrameRate::Pal25));
    std::filesystem::copy_file(replacement, path, std::filesystem::copy_options::overwrite_existing);
    MediaError error;
    stream = MmStream::Reopen(std::move(stream), path, MmPurpose::PrimaryVideo, error);
    ASSERT_TRUE(stream) << error.text;
    EXPECT_EQ(stream->Components()[1].name, "Motion JPEG Video decoder");
}

// The converter writes rows in blocks of pixels; a picture 90 pixels wide is not a
// whole number of them, and its last row must still end inside the surface (and, in
// a bottom-up bitmap, no row may spill into the one above).
TEST(MmStreamVideo, APictureWhoseRowsAreNotWholeBlocksIsWrittenInsideItsSurface)
{
    AviRecipe recipe = VideoOnly(VideoCodec::Mpeg4, FrameRate::Pal25);
    recipe.width = 90;
    recipe.height = 72;
    recipe.frames = 8;
    auto stream = RunningVideo(SampleAvi(recipe));
    ASSERT_TRUE(stream);
    for (int frame = 0; frame < 8; ++frame) {
        ASSERT_EQ(UpdateAndWait(*stream), MmAnswer::Done) << stream->LastError();
    }
    EXPECT_EQ(stream->Statistics().framesDelivered, 8u);

    recipe.video = VideoCodec::Mjpeg;
    MediaError error;
    auto file = AviFile::Open(SampleAvi(recipe), error);
    ASSERT_TRUE(file) << error.text;
    auto video = file->GetStream(aviStreamTypeVideo, 0);
    ASSERT_TRUE(video);
    auto decompressor = video->OpenDecompressor(error);
    ASSERT_TRUE(decompressor) << error.text;
    // Converted band by band, the rows still form the picture, X cleared in all.
    for (int frame = 0; frame < 8; ++frame) {
        const std::uint8_t* bitmap = decompressor->GetFrame(frame);
        ASSERT_NE(bitmap, nullptr) << decompressor->LastError();
        EXPECT_EQ(NumberInBitmap(bitmap), frame);
        int xSet = 0;
        for (int i = 40 + 3; i < 40 + 90 * 72 * 4; i += 4) {
            xSet += bitmap[i] != 0 ? 1 : 0;
        }
        EXPECT_EQ(xSet, 0) << "frame " << frame;
    }
}

} // namespace
} // namespace discforge::test
