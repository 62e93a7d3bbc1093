// What planning a batch onto its disc tells the user.
#pragma once

namespace discforge::plan_message {

inline constexpr const char* caption = "Disc size";
inline constexpr const char* notTaken
    = "The encoder library does not take a planned bit rate; the batch was not converted to fit the disc.";
inline constexpr const char* needsDiscs = "needs %d discs";
inline constexpr const char* gigabytesOf = "%.1f of %.1f GB";
inline constexpr const char* megabytesOf = "%lld of %lld MB";
// The window's disc-size choice and its MB field.
inline constexpr const char* noDiscSize = "No disc size";
inline constexpr const char* sizeInMegabytes = "Size in MB";
inline constexpr const char* discSizeRange = "The disc size is a whole number of MB, 1 to 1000000.";
inline constexpr const char* doesNotFit = "at most %d minutes on %s at this quality; the batch has %d";
// A batch whose full-width pictures would starve on its disc.
inline constexpr const char* atHalfWidth = "%s, half width";
inline constexpr const char* halfWidthResolution
    = "Resolution: %d x %d, half width, so that the batch fills its disc at %.2f Mbit/s";

} // namespace discforge::plan_message
