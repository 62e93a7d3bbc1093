// Fixed per-user files of the program.
#pragma once

#include <string>

namespace discforge {

// The run log file under the user's XDG state folder (created with mode 0700);
// empty when no home folder is known.
std::string RunLogFilePath();

// The marker whose presence asks for the tips at start-up, in the user's config
// folder ($XDG_CONFIG_HOME, or ~/.config)/ferrowick-discforge/show.flg: an
// installed program's own folder is not the user's to write. Empty when no
// home folder is known.
std::string TipsMarkerPath();

// Whether the tips are asked for: the user's marker is there. When the user has
// none and the marker of the old place (beside the program) is there, it is
// taken over once: the user's marker is made, with a note beside it that the
// old place has been read, so that turning the tips off later sticks. Without
// a user marker path the old place alone decides.
bool TipsWanted(const std::string& userMarker, const std::string& oldMarker);

// The folder `name` of the program's files in the user's cache folder ($XDG_CACHE_HOME, or
// ~/.cache)/ferrowick-discforge, made when missing and kept to the user (mode 0700); empty
// when no home folder is known or it cannot be made.
std::string UserCacheFolder(const std::string& name);

} // namespace discforge
