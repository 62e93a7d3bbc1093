#include "input/AudioConversion.h"

namespace discforge {
namespace {

int RepetitionFactor(int rate)
{
    switch (rate) {
    case 16000:
    case 22050:
    case 24000:
        return 2;
    case 8000:
    case 11025:
    case 12000:
        return 4;
    default:
        return 1;
    }
}

} // namespace

int TargetSampleRate(int rate) { return rate * RepetitionFactor(rate); }

int ConvertedBytesPerSample(int rate) { return 4 * RepetitionFactor(rate); }

std::int64_t ConvertedBytesPerFrame(int rate, int samplesPerFrame)
{
    return std::int64_t{samplesPerFrame} * ConvertedBytesPerSample(rate);
}

} // namespace discforge
