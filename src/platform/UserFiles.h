// Fixed per-user files of the program.
#pragma once

#include <string>

namespace discforge {

// The run log file under the user's XDG state folder (created with mode 0700);
// empty when no home folder is known.
std::string RunLogFilePath();

} // namespace discforge
