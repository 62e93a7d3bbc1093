// The decoder settings the user chose, kept in the profile: a section of
// their own holds one section per component, with its options as keys.
#pragma once

#include "ports/ComponentOption.h"

#include <string>

namespace discforge {

class ProfileStore;

ComponentSettings ReadDecoderOptions(const ProfileStore& profile);
// Replaces what the profile holds for `component`; empty values remove it.
void WriteDecoderOptions(ProfileStore& profile, const std::string& component, const OptionValues& values);

} // namespace discforge
