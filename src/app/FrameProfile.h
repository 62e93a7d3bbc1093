// The window position and the two switches kept in the user profile.
#pragma once

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

} // namespace discforge
