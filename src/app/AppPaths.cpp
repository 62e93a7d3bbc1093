#include "app/AppPaths.h"

#include "platform/UserFiles.h"

#include <unistd.h>

#include <climits>

namespace discforge {

AppPaths MakeAppPaths(const std::string& workingDirectory)
{
    AppPaths paths;
    paths.helpFilePath = workingDirectory + "/help/index.html";
    paths.skinImagePath[0] = workingDirectory + "/UI/interface.jpg";
    paths.skinImagePath[1] = workingDirectory + "/UI/inputpreview.jpg";
    paths.skinImagePath[2] = workingDirectory + "/UI/outputpreview.jpg";
    paths.tipsMarkerPath = workingDirectory + "/show.flg";
    paths.userTipsMarkerPath = TipsMarkerPath();
    paths.tipsProgramPath = workingDirectory + "/ShowTips";
    return paths;
}

std::string CurrentWorkingDirectory()
{
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof buffer) != nullptr ? std::string(buffer) : std::string();
}

} // namespace discforge
