// The program's name and version as the user sees them.
#pragma once

namespace discforge {

inline constexpr const char* appTitle = "Ferrowick Discforge";
inline constexpr const char* appVersion = "v3.60";

} // namespace discforge
