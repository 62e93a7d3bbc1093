// Where the files a script names lie, and what they hold.
#include "script/AvsFunctions.h"

#include <cctype>

namespace discforge {
namespace {

bool LooksLikeWindowsPath(const std::string& path)
{
    const bool drive = path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
    return drive || path.rfind("\\\\", 0) == 0;
}

} // namespace

// Relative paths start at the script's folder; backslashes separate folders.
bool AvsLocalPath(AvsCall& call, const std::string& given, std::string& local)
{
    if (given.empty()) {
        return call.Fail("the file name is empty");
    }
    if (LooksLikeWindowsPath(given)) {
        return call.Fail("the Windows path \"" + given + "\" does not exist on this system");
    }
    std::string path = given;
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    if (path.front() != '/') {
        path = call.Folder() + "/" + path;
    }
    local = path;
    return true;
}

bool AvsResolvePath(AvsCall& call, const std::string& given, std::string& resolved)
{
    if (!AvsLocalPath(call, given, resolved)) {
        return false;
    }
    return call.Probe().IsFile(resolved) || call.Fail("the file \"" + given + "\" does not exist");
}

bool AvsProbeFile(AvsCall& call, const std::string& path, const AvsTrackChoice& tracks, const std::string& given,
    AvsMediaFacts& facts)
{
    std::string reason;
    if (!call.Probe().Probe(path, tracks, facts, reason)) {
        return call.Fail("cannot open \"" + given + "\": " + reason);
    }
    return true;
}

} // namespace discforge
