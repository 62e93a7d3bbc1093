// The window position and the switches kept in the user profile.
#pragma once

#include <string>

namespace discforge {

class ProfileStore;

struct FrameProfile {
    int left = 100;
    int top = 50;
    bool editFilters = false;
};

// A left outside 0..800 or a top outside 0..600 becomes 0.
FrameProfile ReadFrameProfile(const ProfileStore& profile);
void WriteFrameProfile(ProfileStore& profile, int left, int top, bool batchMode, bool editFilters);

// Making a disc after converting, and the folder it goes into.
struct DiscProfile {
    bool afterConverting = false;
    std::string folder;
};

DiscProfile ReadDiscProfile(const ProfileStore& profile);
void WriteDiscProfile(ProfileStore& profile, const DiscProfile& disc);

} // namespace discforge
