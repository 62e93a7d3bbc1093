// Where the skin is found. The window reads UI/ under the working directory;
// started from elsewhere (a desktop menu, another folder) the program first
// moves to the folder that holds its installed UI/, as a shortcut once started
// it in its own folder.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace discforge::ui {

inline constexpr const char* layoutFileName = "position.txt";

// `folder` + "/UI/" + `name`.
std::string SkinFile(const std::string& folder, const std::string& name);

// The working directory when it holds UI/position.txt, else the first of
// `installFolders` that does; none when no folder has it.
std::optional<std::string> ChooseSkinFolder(
    const std::string& workingDirectory, const std::vector<std::string>& installFolders);

// The folders a skin is installed to for a program at `executablePath`: the
// program's own folder, then the shared data folder beside its bin folder.
std::vector<std::string> InstallFolders(const std::string& executablePath);

} // namespace discforge::ui
