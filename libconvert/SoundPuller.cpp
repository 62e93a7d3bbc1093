#include "SoundPuller.h"

#include "EncoderMessages.h"

#include <algorithm>

namespace discforge::convert {
namespace {

constexpr int bytesPerFrame = 4; // 16-bit stereo
// One call delivers a picture's worth of sound, a few kilobytes; far more is a fault.
constexpr int32_t largestDelivery = 16 * 1024 * 1024;

} // namespace

SoundPuller::SoundPuller(SupplyAudioFn supply, int32_t firstSample, int32_t lastSample, int64_t keepFrames)
    : supply_(supply), firstSample_(firstSample), lastSample_(lastSample), keepFrames_(keepFrames),
      ended_(lastSample < firstSample)
{
}

EncodeStatus SoundPuller::PullUntil(int64_t frames, std::vector<uint8_t>& sound)
{
    while (!ended_ && delivered_ < frames) {
        EncodeStatus status = PullOnce(sound);
        if (!status.Ok()) {
            return status;
        }
    }
    return EncodeStatus::Done();
}

EncodeStatus SoundPuller::PullRest(std::vector<uint8_t>& sound)
{
    while (!ended_) {
        EncodeStatus status = PullOnce(sound);
        if (!status.Ok()) {
            return status;
        }
    }
    return EncodeStatus::Done();
}

EncodeStatus SoundPuller::PullOnce(std::vector<uint8_t>& sound)
{
    const int64_t position = firstSample_ + consumed_;
    int32_t consumed = 0;
    int32_t bytes = 0;
    const uint8_t* samples = nullptr;
    const int32_t result = supply_(static_cast<int32_t>(position), &consumed, &bytes, &samples);
    if (result != 0) {
        return EncodeStatus::Fail(ENCODE_CALLBACK_FAILED,
                                  message::Substitute(message::audioCallbackFailed,
                                                      {std::to_string(position), std::to_string(result)}));
    }
    // Sound comes in whole 16-bit stereo sample frames.
    if (bytes < 0 || bytes > largestDelivery || bytes % bytesPerFrame != 0 || (bytes > 0 && samples == nullptr)) {
        return EncodeStatus::Fail(ENCODE_CALLBACK_FAILED,
                                  message::Substitute(message::badAudioDelivery,
                                                      {std::to_string(position), std::to_string(bytes)}));
    }
    Keep(samples, bytes / bytesPerFrame, sound);
    // A call that consumes nothing would be asked the same again forever: the sound ends.
    if (consumed <= 0) {
        ended_ = true;
        return EncodeStatus::Done();
    }
    consumed_ += consumed;
    ended_ = firstSample_ + consumed_ > lastSample_;
    return EncodeStatus::Done();
}

void SoundPuller::Keep(const uint8_t* bytes, int64_t frames, std::vector<uint8_t>& sound)
{
    const int64_t kept = std::clamp<int64_t>(keepFrames_ - delivered_, 0, frames);
    sound.insert(sound.end(), bytes, bytes + kept * bytesPerFrame);
    delivered_ += frames;
}

} // namespace discforge::convert
