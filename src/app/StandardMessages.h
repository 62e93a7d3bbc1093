// The texts of the batch's television standard.
#pragma once

namespace discforge::message {

inline constexpr const char* standardKept = "%s runs at %.3f frames per second, which suits %s. Every input is "
                                            "written as %s, %s. Click %s to write them all in that standard.";
inline constexpr const char* standardReasonFirst = "the standard of the first video input";
inline constexpr const char* standardReasonChosen = "the standard you chose";
inline constexpr const char* standardCaption = "television standard";

} // namespace discforge::message
