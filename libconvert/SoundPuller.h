// Pulls the caller's sound through SupplyAudio: in order from the first sample, each
// call going on where the last one ended, until the input's last sample was passed.
#pragma once

#include "EncodeStatus.h"
#include "encoder/EncodeParameters.h"

#include <cstdint>
#include <vector>

namespace discforge::convert {

class SoundPuller {
public:
    // keepFrames: sample frames worth keeping; sound delivered beyond them is pulled
    // (the caller's position must advance) but dropped.
    SoundPuller(SupplyAudioFn supply, int32_t firstSample, int32_t lastSample, int64_t keepFrames);

    // Pulls until `frames` sample frames were delivered in all or the sound ended, and
    // appends the delivered sample frames to `sound`.
    EncodeStatus PullUntil(int64_t frames, std::vector<uint8_t>& sound);
    // Pulls until the input's sound ended.
    EncodeStatus PullRest(std::vector<uint8_t>& sound);

private:
    EncodeStatus PullOnce(std::vector<uint8_t>& sound);
    void Keep(const uint8_t* bytes, int64_t frames, std::vector<uint8_t>& sound);

    SupplyAudioFn supply_;
    int64_t firstSample_;
    int64_t lastSample_;
    int64_t keepFrames_;
    int64_t consumed_ = 0;  // input sample frames the caller reported as consumed
    int64_t delivered_ = 0; // sample frames delivered
    bool ended_ = false;
};

} // namespace discforge::convert
