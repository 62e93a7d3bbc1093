#include "platform/UserFiles.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
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

std::filesystem::path ConfigFolder()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') {
        return config;
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return std::filesystem::path(home) / ".config";
    }
    return {};
}

bool Exists(const std::string& path)
{
    std::error_code error;
    return !path.empty() && std::filesystem::exists(path, error);
}

bool Touch(const std::string& path)
{
    std::ofstream file(path, std::ios::app);
    return static_cast<bool>(file);
}

} // namespace

std::string TipsMarkerPath()
{
    const std::filesystem::path base = ConfigFolder();
    return base.empty() ? std::string() : (base / "ferrowick-discforge" / "show.flg").string();
}

bool TipsWanted(const std::string& userMarker, const std::string& oldMarker)
{
    if (userMarker.empty()) {
        return Exists(oldMarker);
    }
    if (Exists(userMarker)) {
        return true;
    }
    const std::string taken = userMarker + ".taken";
    if (Exists(taken) || !Exists(oldMarker)) {
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(userMarker).parent_path(), error);
    // Taken over even when the user's folder cannot be written: the old place still asks.
    if (Touch(userMarker)) {
        Touch(taken);
    }
    return true;
}

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
