#include "MmStreamTestSupport.h"

#include "pattern/ClickTrack.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace discforge::test {
namespace {

using mediagen::AudioForm;
using mediagen::AviRecipe;
using mediagen::FrameRate;
using mediagen::VideoCodec;

constexpr std::int64_t frameCount = 75; // three seconds at 25 frames per second

struct Form {
    AudioForm form;
    int channels;
    int rate;
    int bits;
    std::int64_t clickTolerance; // samples; MP3 shifts the sound by its coding delay
};

const std::vector<Form> forms{
    {AudioForm::Stereo16At44100, 2, 44100, 16, 0},
    {AudioForm::Stereo16At48000, 2, 48000, 16, 0},
    {AudioForm::Mono8At11025, 1, 11025, 8, 0},
    {AudioForm::Mono8At22050, 1, 22050, 8, 0},
    {AudioForm::Mp3, 2, 44100, 16, 2500},
};

const std::string& SampleWith(AudioForm form)
{
    AviRecipe recipe;
    recipe.video = VideoCodec::Mpeg4;
    recipe.audio = form;
    recipe.rate = FrameRate::Pal25;
    recipe.width = 160;
    recipe.height = 120;
    recipe.frames = frameCount;
    return SampleAvi(recipe);
}

struct RunningAudio {
    std::unique_ptr<MmStream> stream;
    std::vector<std::uint8_t> block;
    std::int64_t samplesPerBlock = 0;
};

RunningAudio OpenAudio(const std::string& path)
{
    RunningAudio audio;
    MediaError error;
    audio.stream = MmStream::Open(path, MmPurpose::PrimaryAudio, error);
    EXPECT_TRUE(audio.stream) << error.text;
    if (!audio.stream) {
        return audio;
    }
    const MmWaveFormat wave = audio.stream->WaveFormat();
    // One video frame's worth, as the stream reader sizes it.
    audio.samplesPerBlock = static_cast<std::int64_t>(std::ceil(wave.sampleRate / 25.0));
    audio.block.resize(static_cast<std::size_t>(audio.samplesPerBlock) * wave.blockAlign);
    EXPECT_TRUE(audio.stream->CreateAudioSample(audio.block.data(), audio.block.size(), error)) << error.text;
    EXPECT_TRUE(audio.stream->Run(error)) << error.text;
    return audio;
}

// Reads `blocks` blocks in order, seeking before each to where the last ended
// when `seekEveryBlock` is set.
std::vector<std::uint8_t> ReadBlocks(RunningAudio& audio, int blocks, bool seekEveryBlock)
{
    std::vector<std::uint8_t> sound;
    const double timePerSample = 1e7 / audio.stream->WaveFormat().sampleRate;
    for (int i = 0; i < blocks; ++i) {
        if (seekEveryBlock) {
            EXPECT_TRUE(
                audio.stream->Seek(static_cast<std::int64_t>(std::ceil(i * audio.samplesPerBlock * timePerSample))));
        }
        EXPECT_EQ(UpdateAndWait(*audio.stream), MmAnswer::Done) << audio.stream->LastError();
        sound.insert(sound.end(), audio.block.begin(), audio.block.end());
    }
    return sound;
}

void ExpectClicksOnSeconds(const std::vector<std::uint8_t>& sound, const Form& form, std::int64_t seconds)
{
    std::vector<std::int64_t> clicks = pattern::FindClicks(sound.data(), sound.size(), form.channels, form.bits);
    ASSERT_EQ(static_cast<std::int64_t>(clicks.size()), seconds) << form.rate;
    for (std::int64_t second = 0; second < seconds; ++second) {
        EXPECT_NEAR(static_cast<double>(clicks[static_cast<std::size_t>(second)]),
            static_cast<double>(second * form.rate), static_cast<double>(form.clickTolerance))
            << form.rate << " Hz, second " << second;
    }
}

TEST(MmStreamAudio, EachFormIsDeliveredAsPcmOfTheFilesOwnShape)
{
    for (const Form& form : forms) {
        MediaError error;
        auto stream = MmStream::Open(SampleWith(form.form), MmPurpose::PrimaryAudio, error);
        ASSERT_TRUE(stream) << error.text;
        const MmWaveFormat wave = stream->WaveFormat();
        EXPECT_EQ(wave.formatTag, 1);
        EXPECT_EQ(wave.channels, form.channels);
        EXPECT_EQ(wave.sampleRate, static_cast<std::uint32_t>(form.rate));
        EXPECT_EQ(wave.bitsPerSample, form.bits);
        EXPECT_EQ(wave.blockAlign, form.channels * form.bits / 8);
        EXPECT_EQ(wave.avgBytesPerSec, static_cast<std::uint32_t>(form.rate * wave.blockAlign));
        // MP3 ends with its coder's padding, within a frame's time.
        EXPECT_NEAR(static_cast<double>(stream->Duration()), 3e7, 4e5) << form.rate;
        ASSERT_EQ(stream->Components().size(), 2u);
        EXPECT_NE(stream->Components()[1].name.find(" decoder"), std::string::npos);
    }
}

TEST(MmStreamAudio, BlocksFollowEachOtherWithTheClicksOnTheSeconds)
{
    for (const Form& form : forms) {
        RunningAudio audio = OpenAudio(SampleWith(form.form));
        ASSERT_TRUE(audio.stream);
        std::vector<std::uint8_t> sound = ReadBlocks(audio, static_cast<int>(frameCount), false);
        ExpectClicksOnSeconds(sound, form, 3);
        EXPECT_EQ(audio.stream->Statistics().realSeeks, 0u);
    }
}

TEST(MmStreamAudio, SeekingToWhereTheLastBlockEndedContinuesWithoutASeek)
{
    for (const Form& form : forms) {
        RunningAudio plain = OpenAudio(SampleWith(form.form));
        RunningAudio seeking = OpenAudio(SampleWith(form.form));
        ASSERT_TRUE(plain.stream && seeking.stream);
        const int blocks = 60;
        EXPECT_EQ(ReadBlocks(seeking, blocks, true), ReadBlocks(plain, blocks, false)) << form.rate;
        EXPECT_EQ(seeking.stream->Statistics().realSeeks, 0u) << form.rate;
        // Nothing is decoded twice: beyond what was delivered only the read-ahead
        // (half a second or two blocks) and one coded frame.
        const std::uint64_t delivered = static_cast<std::uint64_t>(blocks * seeking.samplesPerBlock);
        const std::uint64_t readAhead = static_cast<std::uint64_t>(form.rate / 2 + 2 * seeking.samplesPerBlock + 4608);
        EXPECT_LE(seeking.stream->Statistics().samplesDecoded, delivered + readAhead) << form.rate;
    }
}

TEST(MmStreamAudio, ASeekLandsOnTheExactSample)
{
    for (const Form& form : forms) {
        if (form.clickTolerance != 0) {
            continue;
        }
        RunningAudio audio = OpenAudio(SampleWith(form.form));
        ASSERT_TRUE(audio.stream);
        // Read a little, then jump back and forth across the seconds.
        ReadBlocks(audio, 3, false);
        for (std::int64_t second : {2, 1, 0, 2}) {
            ASSERT_TRUE(audio.stream->Seek(second * 10000000));
            ASSERT_EQ(UpdateAndWait(*audio.stream), MmAnswer::Done);
            std::vector<std::int64_t> clicks
                = pattern::FindClicks(audio.block.data(), audio.block.size(), form.channels, form.bits);
            EXPECT_EQ(clicks, std::vector<std::int64_t>{0}) << form.rate << " Hz, second " << second;
        }
        // Half a second in: the block is tone only.
        ASSERT_TRUE(audio.stream->Seek(5000000));
        ASSERT_EQ(UpdateAndWait(*audio.stream), MmAnswer::Done);
        EXPECT_TRUE(pattern::FindClicks(audio.block.data(), audio.block.size(), form.channels, form.bits).empty());
    }
}

TEST(MmStreamAudio, TheEndIsFilledWithSilence)
{
    for (const Form& form : {forms[0], forms[2]}) {
        RunningAudio audio = OpenAudio(SampleWith(form.form));
        ASSERT_TRUE(audio.stream);
        ASSERT_TRUE(audio.stream->Seek(static_cast<std::int64_t>(frameCount - 1) * 400000));
        ASSERT_EQ(UpdateAndWait(*audio.stream), MmAnswer::Done);
        EXPECT_FALSE(audio.stream->AtEndOfStream());
        ASSERT_EQ(UpdateAndWait(*audio.stream), MmAnswer::Done);
        EXPECT_TRUE(audio.stream->AtEndOfStream());
        const std::uint8_t silence = form.bits == 8 ? 0x80 : 0x00;
        EXPECT_TRUE(std::all_of(audio.block.begin(), audio.block.end(), [&](std::uint8_t b) { return b == silence; }));
    }
}

TEST(MmStreamAudio, TheBlockSizeMustHoldWholeSampleFrames)
{
    MediaError error;
    auto stream = MmStream::Open(SampleWith(AudioForm::Stereo16At44100), MmPurpose::PrimaryAudio, error);
    ASSERT_TRUE(stream);
    std::vector<std::uint8_t> buffer(4 * 1764);
    EXPECT_FALSE(stream->CreateAudioSample(buffer.data(), 1763 * 4 + 2, error));
    EXPECT_EQ(error.failure, MediaFailure::WrongState);
    EXPECT_FALSE(stream->CreateAudioSample(buffer.data(), 0, error));
    EXPECT_FALSE(stream->CreateVideoSample(error));
    EXPECT_TRUE(stream->CreateAudioSample(buffer.data(), buffer.size(), error));
    MmSurfaceLock lock;
    EXPECT_FALSE(stream->LockSurface(lock));
}

} // namespace
} // namespace discforge::test
