#include "app/BatchPlan.h"

#include "app/ConversionRun.h"
#include "core/ConversionSettings.h"
#include "input/InputTableState.h"

namespace discforge {

std::optional<DiscPlan> PlanBatch(const ConversionSettings& settings, const InputTableState& inputs)
{
    const DiscFormat* disc = FindDiscFormat(settings.outputFormat, settings.tvStandard);
    if (!settings.discSize || disc == nullptr) {
        return std::nullopt;
    }
    const double outputRate = StandardFrameRate(settings.tvStandard);
    std::vector<PlanInput> planInputs;
    for (int index = 0; index < inputs.inputCount; ++index) {
        const InputEntry& entry = inputs.inputTable[static_cast<std::size_t>(index)];
        const int frames = LastOutputFrame(entry.selectedFrames, entry.frameRate, settings.tvStandard) + 1;
        planInputs.push_back({frames > 0 ? frames / outputRate : 0.0, disc->soundBitRate});
    }
    return PlanDisc(*disc, *settings.discSize, planInputs);
}

EncodeExtension PlannedExtension(std::int64_t videoBitRate)
{
    EncodeExtension extension{};
    extension.size = sizeof(EncodeExtension);
    extension.version = ENCODE_EXTENSION_VERSION;
    extension.videoBitRate = videoBitRate;
    // A first pass lets the second meet the planned size; the library keeps a constant-rate disc to one.
    extension.passes = 2;
    return extension;
}

const DiscFormat* PlannedHalfWidth(const ConversionSettings& settings, const std::optional<DiscPlan>& plan)
{
    return plan && plan->fits && plan->halfWidth ? FindHalfWidthFormat(settings.outputFormat, settings.tvStandard)
                                                 : nullptr;
}

PictureSize PlannedPictureSize(
    const ConversionSettings& settings, const std::optional<DiscPlan>& plan, int width, int height)
{
    const DiscFormat* half = PlannedHalfWidth(settings, plan);
    const DiscFormat* usual = FindDiscFormat(settings.outputFormat, settings.tvStandard);
    if (half == nullptr || usual == nullptr || width != usual->width || height != usual->height) {
        return {width, height};
    }
    return {half->width, half->height};
}

} // namespace discforge
