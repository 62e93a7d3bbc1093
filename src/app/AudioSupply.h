// The encoder's sound callback: one video frame's worth of the current input's
// sound per call, as 16-bit stereo at the disc's rate; silence for inputs
// without sound. The samples handed out stay valid until the next call.
#pragma once

#include "app/AudioConversion.h"
#include "platform/SoundResampler.h"

#include <cstdint>
#include <utility>

namespace discforge {

class AppParts;

inline constexpr int audioFetchFailed = 17;

class AudioSupply {
public:
    explicit AudioSupply(AppParts& core)
        : core_(core)
    {
    }

    int SupplyAudio(
        int firstSample, std::int32_t* samplesConsumed, std::int32_t* bytesDelivered, const std::uint8_t** samples);

private:
    AppParts& core_;
    std::uint32_t audioRunPosition_ = 0;
    RateTotals to48_{48000};
    RateTotals to44_{44100};
    SoundResampler resampler_;
    std::pair<int, int> resamplerRates_{0, 0}; // input and output of the run it serves
};

} // namespace discforge
