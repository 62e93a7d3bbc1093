#include "EncodeExtension.h"

namespace discforge::convert {
namespace {

// Below this no disc picture is worth encoding; a rate this low is a caller's mistake.
constexpr int64_t lowestPlannedRate = 300000;

} // namespace

bool ExtensionFits(const DiscProfile& profile, const EncodeExtension& extension)
{
    if (extension.passes < 0 || extension.passes > 2) {
        return false;
    }
    if (extension.videoBitRate == 0) {
        return extension.passes < 2;
    }
    if (profile.videoMinRate != 0) {
        return extension.videoBitRate == profile.videoBitRate;
    }
    return extension.videoBitRate >= lowestPlannedRate && extension.videoBitRate <= profile.videoMaxRate;
}

DiscProfile ApplyExtension(const DiscProfile& profile, const std::optional<EncodeExtension>& extension)
{
    DiscProfile applied = profile;
    if (extension && extension->videoBitRate != 0) {
        applied.videoBitRate = extension->videoBitRate;
        // A constant rate has nothing to learn from a first pass.
        applied.twoPasses = extension->passes == 2 && profile.videoMinRate == 0;
    }
    return applied;
}

} // namespace discforge::convert
