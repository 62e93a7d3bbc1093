// The meter beside the disc size: what the planned batch takes of its disc.
#pragma once

#include "app/DiscPlan.h"

#include <string>

namespace discforge {

// "3.9 of 4.7 GB" (a disc under 1 GB in MB: "612 of 774 MB"), "4.6 of 4.7 GB,
// half width" where the plan chose the disc's half-width frame, or "needs 2 discs"
// for a batch that does not fit.
std::string DiscMeterText(const DiscPlan& plan);

} // namespace discforge
