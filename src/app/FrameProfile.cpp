#include "app/FrameProfile.h"

#include "core/AppIdentity.h"
#include "platform/ProfileStore.h"

#include <map>
#include <string>

namespace discforge {

FrameProfile ReadFrameProfile(const ProfileStore& profile)
{
    FrameProfile frame;
    frame.left = profile.ReadInt(appTitle, "left", 100);
    frame.top = profile.ReadInt(appTitle, "top", 50);
    if (frame.left < 0 || frame.left > 800) {
        frame.left = 0;
    }
    if (frame.top < 0 || frame.top > 600) {
        frame.top = 0;
    }
    frame.editFilters = profile.ReadInt(appTitle, "editFilters", 0) != 0;
    return frame;
}

void WriteFrameProfile(ProfileStore& profile, int left, int top, bool batchMode, bool editFilters)
{
    profile.WriteString(appTitle, "left", std::to_string(left));
    profile.WriteString(appTitle, "top", std::to_string(top));
    profile.WriteString(appTitle, "batch", batchMode ? "1" : "0");
    profile.WriteString(appTitle, "editFilters", editFilters ? "1" : "0");
    profile.Flush();
}

DiscProfile ReadDiscProfile(const ProfileStore& profile)
{
    DiscProfile disc;
    disc.afterConverting = profile.ReadInt(appTitle, "discAfterConverting", 0) != 0;
    const std::map<std::string, std::string> keys = profile.ReadSection(appTitle);
    if (const auto folder = keys.find("discFolder"); folder != keys.end()) {
        disc.folder = folder->second;
    }
    return disc;
}

void WriteDiscProfile(ProfileStore& profile, const DiscProfile& disc)
{
    profile.WriteString(appTitle, "discAfterConverting", disc.afterConverting ? "1" : "0");
    profile.WriteString(appTitle, "discFolder", disc.folder);
    profile.Flush();
}

} // namespace discforge
