// The disc plan of the batch in the input table, for the run, the window's meter
// and the command line.
#pragma once

#include "app/DiscPlan.h"
#include "encoder/EncodeParameters.h"

#include <optional>

namespace discforge {

struct ConversionSettings;
struct InputTableState;

// Nothing to plan without a disc size or for a format that is no disc.
std::optional<DiscPlan> PlanBatch(const ConversionSettings& settings, const InputTableState& inputs);

// The record that hands the planned rate to the encoder library.
EncodeExtension PlannedExtension(std::int64_t videoBitRate);

} // namespace discforge
