// Files that the program finds through the working directory.
#pragma once

#include <string>

namespace discforge {

struct AppPaths {
    std::string helpFilePath;
    std::string skinImagePath[3]; // background, input-preview frame, output-preview frame
};

// Paths under `workingDirectory`; an empty directory leaves each suffix alone.
AppPaths MakeAppPaths(const std::string& workingDirectory);
// The process's working directory, or empty when it cannot be read.
std::string CurrentWorkingDirectory();

} // namespace discforge
