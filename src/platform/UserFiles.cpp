#include "platform/UserFiles.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace discforge {
namespace {

std::filesystem::path StateFolder()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') {
        return state;
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return std::filesystem::path(home) / ".local" / "state";
    }
    return {};
}

} // namespace

std::string RunLogFilePath()
{
    const std::filesystem::path base = StateFolder();
    if (base.empty()) {
        return {};
    }
    const std::filesystem::path folder = base / "ferrowick-discforge";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all, error);
    return (folder / "avi_log.txt").string();
}

} // namespace discforge
