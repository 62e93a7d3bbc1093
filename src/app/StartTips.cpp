#include "app/StartTips.h"

#include "app/AppPaths.h"
#include "ports/ShellPort.h"

#include <filesystem>

namespace discforge {

bool StartTips(const AppPaths& paths, ShellPort& shell)
{
    std::error_code error;
    if (!std::filesystem::exists(paths.tipsMarkerPath, error)) {
        return false;
    }
    // A tips program that does not start is no reason to bother the user.
    return shell.StartProgram(paths.tipsProgramPath);
}

} // namespace discforge
