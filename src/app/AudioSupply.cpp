#include "app/AudioSupply.h"

#include "app/AppParts.h"
#include "input/FrameFetch.h"
#include "ports/WindowPort.h"

#include <algorithm>

namespace discforge {
namespace {

// Without sound the encoder is handed one short block of silence per call.
constexpr std::size_t silentBlockBytes = 16;

PcmFormat FormatOf(const InputEntry& entry)
{
    return {static_cast<int>(entry.waveFormat.sampleRate), entry.waveFormat.channels, entry.waveFormat.bitsPerSample};
}

void Deliver(const std::vector<std::uint8_t>& buffer, std::size_t bytes, std::int32_t* bytesDelivered,
    const std::uint8_t** samples)
{
    *bytesDelivered = static_cast<std::int32_t>(std::min(bytes, buffer.size()));
    *samples = buffer.data();
}

} // namespace

int AudioSupply::SupplyAudio(
    int firstSample, std::int32_t* samplesConsumed, std::int32_t* bytesDelivered, const std::uint8_t** samples)
{
    InputTableState& inputs = core_.inputs;
    std::vector<std::uint8_t>& silence = inputs.silenceBuffer;
    if (!inputs.audioAvailable || inputs.currentInput < 0) {
        // A table of picture lists alone never made a silence buffer.
        if (silence.size() < silentBlockBytes) {
            silence.resize(silentBlockBytes);
        }
        std::fill(silence.begin(), silence.end(), 0);
        *samplesConsumed = 1;
        Deliver(silence, silentBlockBytes, bytesDelivered, samples);
        return 0;
    }
    core_.ports.window.PumpMessages();
    InputEntry& entry = inputs.inputTable[static_cast<std::size_t>(inputs.currentInput)];

    const int position = entry.audioSelectionStart + firstSample;
    const std::uint32_t handedOut = position == entry.audioSelectionStart ? 0 : audioRunPosition_;
    std::int64_t frames = entry.samplesPerFrame;
    audioRunPosition_ = handedOut + static_cast<std::uint32_t>(frames);
    if (handedOut + frames >= static_cast<std::int64_t>(entry.selectedSamples)) {
        frames = std::max<std::int64_t>(0, entry.selectedSamples - static_cast<std::int64_t>(handedOut));
    }
    const auto chunkBytes = static_cast<std::size_t>(entry.bytesPerSample * frames);
    *samplesConsumed = static_cast<std::int32_t>(frames);

    if (!entry.hasAudio) {
        std::vector<std::uint8_t>& shared = inputs.sharedAudioBuffer ? *inputs.sharedAudioBuffer : silence;
        std::fill(shared.begin(), shared.end(), 0);
        Deliver(shared, chunkBytes, bytesDelivered, samples);
        return 0;
    }
    if (core_.frameFetch.FetchAudioSample(inputs.currentInput, position) != fetchOk) {
        return audioFetchFailed;
    }

    const PcmFormat format = FormatOf(entry);
    const std::uint8_t* block = entry.audioBuffer.data();
    std::size_t blockBytes = std::min(chunkBytes, entry.audioBuffer.size());
    if (!IsEncoderReady(format)) {
        const std::size_t frameBytes = static_cast<std::size_t>(std::max(entry.bytesPerSample, 1));
        const std::size_t expandable = std::min(blockBytes / frameBytes, entry.convertedBuffer.size() / 4);
        blockBytes = ExpandToStereo16(format, block, expandable, entry.convertedBuffer.data());
        block = entry.convertedBuffer.data();
    }

    const int formatRate = FormatAudioRate(core_.settings.outputFormat);
    const int target = DeliveredRate(formatRate, format.sampleRate);
    if (target == format.sampleRate) {
        *bytesDelivered = static_cast<std::int32_t>(blockBytes);
        *samples = block;
        return 0;
    }
    const std::size_t repeated = blockBytes * static_cast<std::size_t>(RepetitionFactor(format.sampleRate));
    const int source = formatRate != 0 ? ConversionSourceRate(format.sampleRate, formatRate) : 0;
    std::size_t outBytes = std::min(repeated, silence.size() & ~std::size_t{3});
    if (source != 0) {
        RateTotals& totals = formatRate == 48000 ? to48_ : to44_;
        if (firstSample == 0) {
            totals.Restart();
        }
        outBytes = totals.Owe(repeated, source, silence.size());
    }
    if ((firstSample == 0 || resamplerRates_ != std::pair{format.sampleRate, target})
        && resampler_.Restart(format.sampleRate, target)) {
        resamplerRates_ = {format.sampleRate, target};
    }
    resampler_.Convert(block, blockBytes / 4, silence.data(), outBytes / 4);
    Deliver(silence, outBytes, bytesDelivered, samples);
    return 0;
}

} // namespace discforge
