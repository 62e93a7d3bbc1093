// Files that the program finds through the working directory.
#pragma once

#include <string>

namespace discforge {

struct AppPaths {
    std::string helpFilePath; // the HTML user guide
    std::string skinImagePath[3]; // background, input-preview frame, output-preview frame
    std::string tipsMarkerPath; // the old place of the tips marker, beside the program
    std::string userTipsMarkerPath; // its presence asks for the tips at start-up
    std::string tipsProgramPath;
};

// The project's home page, which "Visit Home Page" opens.
inline constexpr const char* homePageAddress = "https://ferrowick.org/discforge";

// Paths under `workingDirectory`; an empty directory leaves each suffix alone.
AppPaths MakeAppPaths(const std::string& workingDirectory);
// The process's working directory, or empty when it cannot be read.
std::string CurrentWorkingDirectory();

} // namespace discforge
