#include "platform/UserFiles.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace discforge {
namespace {

// An XDG base folder: the variable's value when it is an absolute path, else `fallback` under the home folder.
std::filesystem::path XdgFolder(const char* variable, const char* fallback)
{
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') {
        return value;
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return std::filesystem::path(home) / fallback;
    }
    return {};
}

std::filesystem::path StateFolder() { return XdgFolder("XDG_STATE_HOME", ".local/state"); }

std::filesystem::path ConfigFolder() { return XdgFolder("XDG_CONFIG_HOME", ".config"); }

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

std::string UserCacheFolder(const std::string& name)
{
    const std::filesystem::path base = XdgFolder("XDG_CACHE_HOME", ".cache");
    if (base.empty()) {
        return {};
    }
    const std::filesystem::path folder = base / "ferrowick-discforge" / name;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::filesystem::permissions(folder.parent_path(), std::filesystem::perms::owner_all, error);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all, error);
    return std::filesystem::is_directory(folder, error) ? folder.string() : std::string();
}

} // namespace discforge
