// The decoder settings an input's streams are opened with: the ones every open
// applies (remembered and for this run), with the input's own choices over them.
#pragma once

#include "ports/ComponentOption.h"

namespace discforge {

struct ConversionSettings;
struct InputEntry;

ComponentSettings DecoderOptionsFor(const ConversionSettings& settings, const InputEntry& entry);

} // namespace discforge
