// What the extension channel changes in a disc's profile.
#pragma once

#include "DiscProfile.h"
#include "encoder/EncodeParameters.h"

#include <optional>

namespace discforge::convert {

// False for a planned rate the disc cannot take (a constant-rate disc's other than
// its own, or one beyond the disc's peak), for two passes without a planned rate and
// for a frame width that is neither the disc's usual nor its half width.
bool ExtensionFits(const DiscProfile& profile, const EncodeExtension& extension);

DiscProfile ApplyExtension(const DiscProfile& profile, const std::optional<EncodeExtension>& extension);

} // namespace discforge::convert
