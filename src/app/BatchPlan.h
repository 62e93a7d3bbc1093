// The disc plan of the batch in the input table, for the run, the window's meter
// and the command line.
#pragma once

#include "app/DiscPlan.h"
#include "core/ConversionSettings.h"
#include "encoder/EncodeParameters.h"

#include <optional>

namespace discforge {

struct InputTableState;

// Nothing to plan without a disc size or for a format that is no disc.
std::optional<DiscPlan> PlanBatch(const ConversionSettings& settings, const InputTableState& inputs);

// The record that hands the planned rate to the encoder library.
EncodeExtension PlannedExtension(std::int64_t videoBitRate);

// The half-width frame of the settings' disc where a plan that fits chose it; null otherwise.
const DiscFormat* PlannedHalfWidth(const ConversionSettings& settings, const std::optional<DiscPlan>& plan);

// The size pictures asked at `width` x `height` are handed over at: the disc's
// half-width frame in place of its usual one where the plan chose it; any other
// size as asked (the encoder library brings it to the planned frame).
PictureSize PlannedPictureSize(
    const ConversionSettings& settings, const std::optional<DiscPlan>& plan, int width, int height);

} // namespace discforge
