#include "app/AudioConversion.h"

namespace discforge {
namespace {

int16_t ReadSample(const uint8_t* at, int bitsPerSample)
{
    if (bitsPerSample == 8) {
        return static_cast<int16_t>((at[0] - 128) * 256);
    }
    return static_cast<int16_t>(at[0] | (at[1] << 8));
}

void WriteSample(uint8_t* at, int16_t value)
{
    const auto bits = static_cast<uint16_t>(value);
    at[0] = static_cast<uint8_t>(bits & 0xFF);
    at[1] = static_cast<uint8_t>(bits >> 8);
}

} // namespace

bool IsEncoderReady(const PcmFormat& format) { return format.channels == 2 && format.bitsPerSample == 16; }

std::size_t ExpandToStereo16(const PcmFormat& format, const uint8_t* input, std::size_t frames, uint8_t* output)
{
    const std::size_t sampleBytes = format.bitsPerSample == 8 ? 1 : 2;
    const std::size_t frameBytes = sampleBytes * (format.channels == 2 ? 2 : 1);
    uint8_t* out = output;
    for (std::size_t frame = 0; frame < frames; ++frame) {
        const uint8_t* in = input + frame * frameBytes;
        const int16_t left = ReadSample(in, format.bitsPerSample);
        const int16_t right = format.channels == 2 ? ReadSample(in + sampleBytes, format.bitsPerSample) : left;
        WriteSample(out, left);
        WriteSample(out + 2, right);
        out += 4;
    }
    return static_cast<std::size_t>(out - output);
}

int ConversionSourceRate(int inputRate, int targetRate)
{
    if (targetRate == 48000) {
        switch (inputRate) {
        case 12000:
        case 24000:
        case 48000:
            return 0;
        case 11025:
        case 22050:
        case 44100:
            return 44100;
        case 8000:
        case 16000:
        case 32000:
            return 32000;
        default:
            // Counted at its own rate, as for the other discs: counted as if it
            // were 48000 Hz it would come out at the wrong speed and length.
            return inputRate;
        }
    }
    switch (inputRate) {
    case 11025:
    case 22050:
    case 44100:
        return 0;
    case 8000:
    case 16000:
    case 32000:
        return 32000;
    case 12000:
    case 24000:
    case 48000:
        return 48000;
    default:
        return inputRate;
    }
}

int DeliveredRate(int formatRate, int inputRate) { return formatRate != 0 ? formatRate : TargetSampleRate(inputRate); }

std::size_t RateTotals::Owe(std::size_t inBytes, int sourceRate, std::size_t capacity)
{
    bytesIn_ += inBytes;
    auto owed = static_cast<int64_t>(
        static_cast<double>(bytesIn_) * targetRate_ / sourceRate - static_cast<double>(bytesOut_));
    owed = owed - owed % 4 + 4;
    std::size_t outBytes = owed < 0 ? 0 : static_cast<std::size_t>(owed);
    outBytes = outBytes > (capacity & ~std::size_t{3}) ? (capacity & ~std::size_t{3}) : outBytes;
    bytesOut_ += outBytes;
    return outBytes;
}

} // namespace discforge
