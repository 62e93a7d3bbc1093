// The texts the window shows the user.
#pragma once

namespace discforge::message {

inline constexpr const char* cannotOpenLayout = "Can not open file %s.";
inline constexpr const char* layoutKeyMissing = "The layout file %s has no usable entry %s.";
inline constexpr const char* initialUiCaption = "Initial UI error!";
inline constexpr const char* aboutCaption = "About";
inline constexpr const char* aboutText = "%s %s\n\n"
                                         "Converts videos and lists of pictures into MPEG program streams for "
                                         "VCD, SVCD and DVD.\n\n"
                                         "Support: support@ferrowick.org\n"
                                         "Home page: %s";

inline constexpr const char* soundTrackItem = "Track %d: %s, %s, %s";
inline constexpr const char* subtitleTrackItem = "Subtitle track %d: %s";
inline constexpr const char* subtitleFileItem = "%s: %s";

} // namespace discforge::message
