#include "app/EncoderCallbacks.h"

#include "app/AppCore.h"

namespace discforge {
namespace {

AppCore* runningCore = nullptr;

// A call outside a run has nothing to deliver.
constexpr int32_t noRun = 1;

} // namespace

ActiveRun::ActiveRun(AppCore& core)
    : previous_(runningCore)
{
    runningCore = &core;
}

ActiveRun::~ActiveRun() { runningCore = previous_; }

extern "C" int32_t SupplyVideoFrame(int32_t frameIndex, int32_t* rowBytes, const uint8_t** pixels)
{
    if (runningCore == nullptr || rowBytes == nullptr || pixels == nullptr) {
        return noRun;
    }
    return runningCore->videoSupply.SupplyVideoFrame(frameIndex, rowBytes, pixels);
}

extern "C" int32_t SupplyAudio(
    int32_t firstSample, int32_t* samplesConsumed, int32_t* bytesDelivered, const uint8_t** samples)
{
    if (runningCore == nullptr || samplesConsumed == nullptr || bytesDelivered == nullptr || samples == nullptr) {
        return noRun;
    }
    return runningCore->audioSupply.SupplyAudio(firstSample, samplesConsumed, bytesDelivered, samples);
}

} // namespace discforge
