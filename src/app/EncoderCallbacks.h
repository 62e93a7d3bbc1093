// The two callbacks the encoder pulls pictures and sound through. They have no
// context argument, so they reach the core of the running conversion through
// one pointer, set for the run by ActiveRun.
#pragma once

#include "encoder/EncodeParameters.h"

namespace discforge {

class AppParts;

extern "C" {
int32_t SupplyVideoFrame(int32_t frameIndex, int32_t* rowBytes, const uint8_t** pixels);
int32_t SupplyAudio(int32_t firstSample, int32_t* samplesConsumed, int32_t* bytesDelivered, const uint8_t** samples);
}

// Makes `core` the one the callbacks serve while it lives.
class ActiveRun {
public:
    explicit ActiveRun(AppParts& core);
    ~ActiveRun();
    ActiveRun(const ActiveRun&) = delete;
    ActiveRun& operator=(const ActiveRun&) = delete;

private:
    AppParts* previous_;
};

} // namespace discforge
