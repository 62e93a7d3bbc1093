#include "SyntheticInput.h"

#include <algorithm>
#include <cmath>

namespace discforge::test {
namespace {

// The callbacks carry no context, like the program's: they find the input through this.
SyntheticInput* activeInput = nullptr;

constexpr double tonePitch = 440.0;

} // namespace

SyntheticInput::SyntheticInput(SyntheticSettings settings) : settings_(settings)
{
    picture_.resize(static_cast<std::size_t>(settings_.width) * settings_.height * 4);
    const double seconds = settings_.frames * static_cast<double>(settings_.framesPerSecondDen) /
                           settings_.framesPerSecondNum;
    soundSamples_ = static_cast<int64_t>(std::ceil(seconds * settings_.soundShare * settings_.sampleRate));
    lastSample_ = settings_.soundless ? 16 : static_cast<int32_t>(soundSamples_ - 1);
}

SyntheticInput::~SyntheticInput()
{
    if (activeInput == this) {
        activeInput = nullptr;
    }
}

void SyntheticInput::Activate() { activeInput = this; }

EncodeParameters SyntheticInput::Parameters(const std::string& outputName, int splitSizeMB)
{
    Activate();
    outputName_ = outputName;
    EncodeParameters parameters{};
    parameters.videoFlag = 1;
    parameters.width = settings_.width;
    parameters.height = settings_.height;
    parameters.firstFrame = 0;
    parameters.lastFrame = settings_.frames - 1;
    parameters.firstSample = 0;
    parameters.lastSample = lastSample_;
    parameters.audioFlag = 1;
    parameters.sampleRate = settings_.sampleRate;
    parameters.sampleFlag = 1;
    parameters.bitsPerSample = 16;
    parameters.outputName = outputName_.c_str();
    parameters.supplyVideoFrame = &SupplyPicture;
    parameters.supplyAudio = &SupplySound;
    parameters.splitSizeMB = splitSizeMB;
    return parameters;
}

int32_t SyntheticInput::SupplyPicture(int32_t frameIndex, int32_t* rowBytes, const uint8_t** pixels)
{
    return activeInput->Picture(frameIndex, rowBytes, pixels);
}

int32_t SyntheticInput::SupplySound(int32_t firstSample, int32_t* consumed, int32_t* bytes, const uint8_t** samples)
{
    return activeInput->Sound(firstSample, consumed, bytes, samples);
}

// A drifting colour field with a square crossing it and fine texture, so that the
// encoder meets motion and detail.
uint8_t SyntheticInput::FlatGrey(int frame) { return static_cast<uint8_t>(40 + (frame * 67) % 180); }

void SyntheticInput::Paint(int frame)
{
    if (settings_.flatPictures) {
        std::fill(picture_.begin(), picture_.end(), FlatGrey(frame));
        return;
    }
    const int w = settings_.width;
    const int h = settings_.height;
    const int box = h / 4;
    const int boxX = (frame * 7) % std::max(1, w - box);
    const int boxY = h / 3;
    for (int row = 0; row < h; ++row) {
        // Rows are stored bottom first: stored row 0 is the picture's last row.
        const int y = h - 1 - row;
        uint8_t* out = picture_.data() + static_cast<std::size_t>(row) * w * 4;
        for (int x = 0; x < w; ++x) {
            const bool inBox = x >= boxX && x < boxX + box && y >= boxY && y < boxY + box;
            const unsigned texture = ((x * 13) ^ (y * 7)) & 31;
            out[0] = static_cast<uint8_t>(inBox ? 30 : (x + 3 * frame + texture) & 255);
            out[1] = static_cast<uint8_t>(inBox ? 200 : (y + 2 * frame) & 255);
            out[2] = static_cast<uint8_t>(inBox ? 230 : ((x + y) / 2 + texture) & 255);
            out[3] = 0;
            out += 4;
        }
    }
}

int32_t SyntheticInput::Picture(int32_t frameIndex, int32_t* rowBytes, const uint8_t** pixels)
{
    callsOnOtherThreads |= std::this_thread::get_id() != caller_;
    picturesAsked.push_back(frameIndex);
    if (beforePicture) {
        beforePicture(frameIndex);
    }
    if (frameIndex == settings_.failPictureAt) {
        return 2;
    }
    Paint(frameIndex);
    *rowBytes = settings_.width * 4 + settings_.rowBytesDelta;
    *pixels = picture_.data();
    return 0;
}

int32_t SyntheticInput::Sound(int32_t firstSample, int32_t* consumed, int32_t* bytes, const uint8_t** samples)
{
    callsOnOtherThreads |= std::this_thread::get_id() != caller_;
    const auto call = static_cast<int>(soundPositions.size());
    soundPositions.push_back(firstSample);
    if (call == settings_.failSoundAt) {
        return 17;
    }
    if (settings_.soundless) {
        sound_.assign(8, 0);
        *consumed = 1;
        *bytes = 16;
        *samples = reinterpret_cast<const uint8_t*>(sound_.data());
        soundConsumed += 1;
        return 0;
    }
    // One picture's worth of samples per call, the last call gives the rest.
    const int64_t perPicture = static_cast<int64_t>(settings_.sampleRate) * settings_.framesPerSecondDen /
                               settings_.framesPerSecondNum;
    const int64_t count = std::clamp<int64_t>(soundSamples_ - firstSample, 0, perPicture);
    // One spare sample frame, so that a broken length never points past the buffer.
    sound_.assign(static_cast<std::size_t>(count) * 2 + 2, 0);
    for (int64_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(firstSample + i) / settings_.sampleRate;
        const auto value = static_cast<int16_t>(12000 * std::sin(2 * M_PI * tonePitch * t));
        sound_[static_cast<std::size_t>(i) * 2] = value;
        sound_[static_cast<std::size_t>(i) * 2 + 1] = value;
    }
    *consumed = static_cast<int32_t>(count);
    *bytes = static_cast<int32_t>(count * 4) + (call == settings_.brokenSoundAt ? 2 : 0);
    *samples = reinterpret_cast<const uint8_t*>(sound_.data());
    soundConsumed += count;
    return 0;
}

} // namespace discforge::test
