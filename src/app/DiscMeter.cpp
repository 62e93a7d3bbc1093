#include "app/DiscMeter.h"

#include "app/PlanMessages.h"
#include "core/TextFormat.h"

namespace discforge {
namespace {

constexpr double bytesPerGigabyte = 1e9;
constexpr double bytesPerMegabyte = 1e6;

std::string UsedOfCapacity(const DiscPlan& plan)
{
    const auto used = static_cast<double>(plan.totalBytes);
    const auto capacity = static_cast<double>(plan.capacityBytes);
    if (capacity >= bytesPerGigabyte) {
        // Rounded down, so that a full disc never reads as more than it holds.
        const auto tenths = [](double bytes) { return static_cast<long long>(bytes / bytesPerGigabyte * 10); };
        return FormatText(plan_message::gigabytesOf, tenths(used) / 10.0, tenths(capacity) / 10.0);
    }
    return FormatText(plan_message::megabytesOf, static_cast<long long>(used / bytesPerMegabyte),
        static_cast<long long>(capacity / bytesPerMegabyte));
}

} // namespace

std::string DiscMeterText(const DiscPlan& plan)
{
    if (!plan.fits) {
        return FormatText(plan_message::needsDiscs, plan.discsNeeded);
    }
    const std::string used = UsedOfCapacity(plan);
    return plan.halfWidth ? FormatText(plan_message::atHalfWidth, used.c_str()) : used;
}

} // namespace discforge
