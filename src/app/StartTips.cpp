#include "app/StartTips.h"

#include "app/AppPaths.h"
#include "platform/UserFiles.h"
#include "ports/ShellPort.h"

namespace discforge {

bool StartTips(const AppPaths& paths, ShellPort& shell)
{
    if (!TipsWanted(paths.userTipsMarkerPath, paths.tipsMarkerPath)) {
        return false;
    }
    // A tips program that does not start is no reason to bother the user.
    return shell.StartProgram(paths.tipsProgramPath);
}

} // namespace discforge
