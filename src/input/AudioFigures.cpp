#include "input/AudioFigures.h"

namespace discforge {

int RepetitionFactor(int sampleRate)
{
    switch (sampleRate) {
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

int TargetSampleRate(int rate) { return rate * RepetitionFactor(rate); }

std::int64_t ConvertedBytesPerFrame(int rate, std::int64_t frames) { return frames * 4 * RepetitionFactor(rate); }

} // namespace discforge
