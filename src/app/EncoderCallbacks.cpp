#include "app/EncoderCallbacks.h"

#include "app/AppParts.h"

namespace discforge {
namespace {

AppParts* runningParts = nullptr;

// A call outside a run has nothing to deliver.
constexpr int32_t noRun = 1;

} // namespace

ActiveRun::ActiveRun(AppParts& core)
    : previous_(runningParts)
{
    runningParts = &core;
}

ActiveRun::~ActiveRun() { runningParts = previous_; }

extern "C" int32_t SupplyVideoFrame(int32_t frameIndex, int32_t* rowBytes, const uint8_t** pixels)
{
    if (runningParts == nullptr || rowBytes == nullptr || pixels == nullptr) {
        return noRun;
    }
    return runningParts->videoSupply.SupplyVideoFrame(frameIndex, rowBytes, pixels);
}

extern "C" int32_t SupplyAudio(
    int32_t firstSample, int32_t* samplesConsumed, int32_t* bytesDelivered, const uint8_t** samples)
{
    if (runningParts == nullptr || samplesConsumed == nullptr || bytesDelivered == nullptr || samples == nullptr) {
        return noRun;
    }
    return runningParts->audioSupply.SupplyAudio(firstSample, samplesConsumed, bytesDelivered, samples);
}

} // namespace discforge
