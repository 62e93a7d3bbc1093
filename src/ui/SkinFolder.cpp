#include "ui/SkinFolder.h"

#include <filesystem>

namespace discforge::ui {
namespace {

bool HoldsLayout(const std::string& folder)
{
    std::error_code error;
    return !folder.empty() && std::filesystem::is_regular_file(SkinFile(folder, layoutFileName), error);
}

} // namespace

std::string SkinFile(const std::string& folder, const std::string& name) { return folder + "/UI/" + name; }

std::optional<std::string> ChooseSkinFolder(
    const std::string& workingDirectory, const std::vector<std::string>& installFolders)
{
    if (HoldsLayout(workingDirectory)) {
        return workingDirectory;
    }
    for (const std::string& folder : installFolders) {
        if (HoldsLayout(folder)) {
            return folder;
        }
    }
    return std::nullopt;
}

std::vector<std::string> InstallFolders(const std::string& executablePath)
{
    const std::filesystem::path programFolder = std::filesystem::path(executablePath).parent_path();
    return {programFolder.string(), (programFolder.parent_path() / "share" / "ferrowick-discforge").string()};
}

} // namespace discforge::ui
