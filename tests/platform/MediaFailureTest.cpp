#include "platform/AviFile.h"

#include "MmStreamTestSupport.h"

#include <fstream>
#include <vector>

namespace discforge::test {
namespace {

using mediagen::AudioForm;
using mediagen::AviRecipe;
using mediagen::VideoCodec;

constexpr std::int64_t frameCount = 50;

const std::string& GoodSample()
{
    AviRecipe recipe;
    recipe.video = VideoCodec::Mpeg4;
    recipe.audio = AudioForm::Stereo16At44100;
    recipe.width = 160;
    recipe.height = 120;
    recipe.frames = frameCount;
    return SampleAvi(recipe);
}

std::string WriteFile(const std::string& name, const std::string& content)
{
    const std::string path = SampleFolder() + "/" + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

struct Refusal {
    MediaFailure video;
    MediaFailure audio;
    MediaFailure avi;
};

Refusal OpenAll(const std::string& path)
{
    Refusal refusal;
    MediaError error;
    EXPECT_FALSE(MmStream::Open(path, MmPurpose::PrimaryVideo, error)) << path;
    refusal.video = error.failure;
    EXPECT_FALSE(error.text.empty());
    error = {};
    EXPECT_FALSE(MmStream::Open(path, MmPurpose::PrimaryAudio, error)) << path;
    refusal.audio = error.failure;
    error = {};
    EXPECT_FALSE(AviFile::Open(path, error)) << path;
    refusal.avi = error.failure;
    return refusal;
}

TEST(MediaFailure, MissingFilesAndFoldersAreNamed)
{
    const std::string missing = SampleFolder() + "/no such file.avi";
    Refusal refusal = OpenAll(missing);
    EXPECT_EQ(refusal.video, MediaFailure::FileMissing);
    EXPECT_EQ(refusal.audio, MediaFailure::FileMissing);
    EXPECT_EQ(refusal.avi, MediaFailure::FileMissing);
    MediaError error;
    MmStream::Open(missing, MmPurpose::PrimaryVideo, error);
    EXPECT_NE(error.text.find("no such file.avi"), std::string::npos) << error.text;
    EXPECT_EQ(OpenAll(SampleFolder()).video, MediaFailure::FileMissing) << "a folder is not a file";
}

TEST(MediaFailure, AScriptThatCannotBeEvaluatedIsToldApartWithItsPlace)
{
    for (const char* name : {"clip.avs", "CLIP.AVS"}) {
        const std::string script = WriteFile(name, "\n  AviSource(\"no such clip.avi\")\n");
        Refusal refusal = OpenAll(script);
        EXPECT_EQ(refusal.video, MediaFailure::ScriptFailed);
        EXPECT_EQ(refusal.audio, MediaFailure::ScriptFailed);
        EXPECT_EQ(refusal.avi, MediaFailure::ScriptFailed);
        MediaError error;
        MmStream::Open(script, MmPurpose::PrimaryVideo, error);
        EXPECT_EQ(error.text, "cannot read the script '" + script
                + "': AviSource: the file \"no such clip.avi\" does not exist (line 2, column 3)");
    }
    EXPECT_TRUE(IsAviSynthScriptPath("CLIP.AVS"));
    EXPECT_FALSE(IsAviSynthScriptPath("clip.avi"));
    EXPECT_FALSE(IsAviSynthScriptPath("avs"));
}

TEST(MediaFailure, FilesThatAreNotVideoAreRefused)
{
    std::string text;
    for (int i = 0; i < 200; ++i) {
        text += "This is a shopping list, not a video. Milk, bread, tea.\n";
    }
    for (const std::string& path : {WriteFile("list.avi", text), WriteFile("empty.avi", ""),
             TruncatedCopy(GoodSample(), 100, "header-only.avi")}) {
        Refusal refusal = OpenAll(path);
        EXPECT_NE(refusal.video, MediaFailure::None) << path;
        EXPECT_NE(refusal.avi, MediaFailure::None) << path;
    }
    EXPECT_EQ(OpenAll(WriteFile("empty2.avi", "")).video, MediaFailure::NotMedia);
}

TEST(MediaFailure, AFileWithoutSoundHasNoAudioStream)
{
    AviRecipe recipe;
    recipe.audio = AudioForm::None;
    recipe.width = 160;
    recipe.height = 120;
    recipe.frames = 10;
    MediaError error;
    EXPECT_FALSE(MmStream::Open(SampleAvi(recipe), MmPurpose::PrimaryAudio, error));
    EXPECT_EQ(error.failure, MediaFailure::NoStream);
    auto file = AviFile::Open(SampleAvi(recipe), error);
    ASSERT_TRUE(file);
    EXPECT_FALSE(file->GetStream(aviStreamTypeAudio, 0));
}

TEST(MediaFailure, ATruncatedFilePlaysUpToTheCut)
{
    const std::string cut = TruncatedCopy(GoodSample(), FileSize(GoodSample()) / 2, "truncated.avi");
    auto stream = RunningVideo(cut);
    ASSERT_TRUE(stream);
    std::int64_t shown = 0;
    for (std::int64_t n = 0; n < frameCount; ++n) {
        ASSERT_NE(UpdateAndWait(*stream), MmAnswer::Pending);
        if (stream->AtEndOfStream()) {
            break;
        }
        ASSERT_EQ(ShownNumber(*stream), n);
        ++shown;
    }
    EXPECT_GT(shown, 5);
    EXPECT_LT(shown, frameCount);

    MediaError error;
    auto file = AviFile::Open(cut, error);
    ASSERT_TRUE(file) << error.text;
    auto decompressor = file->GetStream(aviStreamTypeVideo, 0)->OpenDecompressor(error);
    ASSERT_TRUE(decompressor);
    // Searching back from the end for the last frame that decodes stays cheap.
    std::int64_t last = static_cast<std::int64_t>(file->Info().length) - 1;
    while (last > 0 && decompressor->GetFrame(last) == nullptr) {
        --last;
    }
    EXPECT_EQ(last, shown - 1);
    EXPECT_LE(decompressor->Statistics().realSeeks, 3u);

    auto audio = MmStream::Open(cut, MmPurpose::PrimaryAudio, error);
    ASSERT_TRUE(audio);
    std::vector<std::uint8_t> block(1764 * 4);
    ASSERT_TRUE(audio->CreateAudioSample(block.data(), block.size(), error));
    ASSERT_TRUE(audio->Run(error));
    for (std::int64_t n = 0; n < frameCount + 5; ++n) {
        ASSERT_EQ(UpdateAndWait(*audio), MmAnswer::Done) << audio->LastError();
    }
    EXPECT_TRUE(audio->AtEndOfStream());
}

TEST(MediaFailure, DamagedFrameDataNeverStopsTheStream)
{
    std::ifstream in(GoodSample(), std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Overwrite stretches of the movie data with a fixed pseudo-random pattern.
    std::uint32_t state = 12345;
    for (std::size_t start = bytes.size() / 4; start + 600 < bytes.size() * 3 / 4; start += bytes.size() / 9) {
        for (std::size_t i = start; i < start + 600; ++i) {
            state = state * 1103515245u + 12345u;
            bytes[i] = static_cast<char>(state >> 16);
        }
    }
    const std::string damaged = SampleFolder() + "/damaged.avi";
    std::ofstream(damaged, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));

    auto stream = RunningVideo(damaged);
    ASSERT_TRUE(stream);
    int readable = 0;
    for (std::int64_t n = 0; n < frameCount; ++n) {
        ASSERT_TRUE(stream->Seek(n * stream->TimePerFrame()));
        MmAnswer answer = UpdateAndWait(*stream);
        ASSERT_NE(answer, MmAnswer::Pending);
        readable += answer == MmAnswer::Done && ShownNumber(*stream) == n ? 1 : 0;
    }
    EXPECT_GT(readable, 10);

    MediaError error;
    auto file = AviFile::Open(damaged, error);
    ASSERT_TRUE(file) << error.text;
    auto decompressor = file->GetStream(aviStreamTypeVideo, 0)->OpenDecompressor(error);
    ASSERT_TRUE(decompressor);
    for (std::int64_t n = frameCount - 1; n >= 0; n -= 7) {
        const std::uint8_t* bitmap = decompressor->GetFrame(n);
        if (bitmap != nullptr) {
            EXPECT_GE(NumberInBitmap(bitmap), -1);
        }
    }
}

} // namespace
} // namespace discforge::test
