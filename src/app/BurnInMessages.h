// What drawing subtitles into the picture tells the user, in the run log.
#pragma once

namespace discforge::burn_in_message {

inline constexpr const char* fileDrawn = "The subtitles %s are drawn into the picture of %s.";
inline constexpr const char* trackDrawn = "The text subtitle track %d of %s is drawn into its picture.";
inline constexpr const char* notDrawn = "%s The picture is made without these subtitles.";
inline constexpr const char* pictureTrackDrawn = "The picture subtitle track %d of %s is drawn into its picture.";
inline constexpr const char* picturesLeftOut = "%d subtitle pictures of %s are damaged or too large and are left out.";
inline constexpr const char* cuesLeftOut = "%d subtitles of %s have impossible times and are left out.";
inline constexpr const char* noPainter
    = "The subtitles of %s could not be drawn: the program runs with a Qt application that does not draw pictures.";

} // namespace discforge::burn_in_message
