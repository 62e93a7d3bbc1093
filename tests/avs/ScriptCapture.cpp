#include "ScriptCapture.h"

#include "platform/MmStream.h"
#include "support/StreamChecks.h"

#include "../platform/MmStreamTestSupport.h"
#include "../platform/SampleMedia.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace discforge::test {

using mediagen::AudioForm;
using mediagen::AviRecipe;
using mediagen::VideoCodec;

const std::string& Clip()
{
    AviRecipe recipe;
    recipe.video = VideoCodec::Mpeg4;
    recipe.audio = AudioForm::Stereo16At44100;
    recipe.width = 352;
    recipe.height = 288;
    recipe.frames = 50;
    return SampleAvi(recipe);
}

std::string Script(const std::string& name, const std::string& text)
{
    const std::string path = SampleFolder() + "/" + name + ".avs";
    std::ofstream(path) << text;
    return path;
}

std::vector<std::int64_t> Pictures::Numbers() const
{
    std::vector<std::int64_t> numbers;
    for (const auto& frame : frames) {
        numbers.push_back(NumberInSurface(frame.data(), width * 4, width, height));
    }
    return numbers;
}

double Pictures::Mean(std::size_t frame, int x, int y, int w, int h, int channel) const
{
    double sum = 0;
    for (int row = y; row < y + h; ++row) {
        for (int column = x; column < x + w; ++column) {
            sum += frames.at(frame).at((static_cast<std::size_t>(row) * width + column) * 4 + channel);
        }
    }
    return sum / (static_cast<double>(w) * h);
}

Pictures ScriptPictures(const std::string& script, double* rate)
{
    Pictures pictures;
    std::unique_ptr<MmStream> stream = RunningVideo(script);
    if (!stream) {
        return pictures;
    }
    if (rate != nullptr) {
        *rate = stream->FrameRate();
    }
    for (int i = 0; i < 2000; ++i) {
        if (UpdateAndWait(*stream) != MmAnswer::Done || stream->AtEndOfStream()) {
            break;
        }
        MmSurfaceLock lock;
        if (!stream->LockSurface(lock)) {
            break;
        }
        pictures.width = lock.width;
        pictures.height = lock.height;
        std::vector<std::uint8_t> frame(static_cast<std::size_t>(lock.width) * lock.height * 4);
        for (int y = 0; y < lock.height; ++y) {
            std::copy_n(lock.pixels + static_cast<std::ptrdiff_t>(y) * lock.pitch, lock.width * 4,
                frame.begin() + static_cast<std::ptrdiff_t>(y) * lock.width * 4);
        }
        pictures.frames.push_back(std::move(frame));
        stream->UnlockSurface();
    }
    return pictures;
}

std::vector<std::uint8_t> ReadAll(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), {});
}

Sound ScriptSound(const std::string& script)
{
    Sound sound;
    MediaError error;
    std::unique_ptr<MmStream> stream = MmStream::Open(script, MmPurpose::PrimaryAudio, error);
    if (!stream) {
        ADD_FAILURE() << error.text;
        return sound;
    }
    const MmWaveFormat wave = stream->WaveFormat();
    EXPECT_EQ(wave.bitsPerSample, 16);
    sound.rate = static_cast<int>(wave.sampleRate);
    sound.channels = wave.channels;
    const std::int64_t total = stream->Duration() * sound.rate / 10000000;
    std::vector<std::uint8_t> block(static_cast<std::size_t>(1024) * wave.blockAlign);
    if (!stream->CreateAudioSample(block.data(), block.size(), error) || !stream->Run(error)) {
        ADD_FAILURE() << error.text;
        return sound;
    }
    while (static_cast<std::int64_t>(sound.samples.size()) < total * sound.channels) {
        if (UpdateAndWait(*stream) != MmAnswer::Done) {
            ADD_FAILURE() << stream->LastError();
            break;
        }
        const auto* values = reinterpret_cast<const std::int16_t*>(block.data());
        sound.samples.insert(sound.samples.end(), values, values + block.size() / 2);
        if (stream->AtEndOfStream()) {
            break;
        }
    }
    sound.samples.resize(std::min<std::size_t>(sound.samples.size(), static_cast<std::size_t>(total * sound.channels)));
    return sound;
}

std::vector<std::int64_t> Range(std::int64_t first, std::int64_t last)
{
    std::vector<std::int64_t> numbers;
    for (std::int64_t n = first; first <= last ? n <= last : n >= last; n += first <= last ? 1 : -1) {
        numbers.push_back(n);
    }
    return numbers;
}

} // namespace discforge::test
