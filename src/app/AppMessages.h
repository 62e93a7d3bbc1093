// The texts the conversion control shows the user.
#pragma once

namespace discforge::message {

inline constexpr const char* encoderCaption = "startup convert.dll error";
inline constexpr const char* initFailedAtStartup = "Can not initialize convert.dll, error 5.";
inline constexpr const char* initFailed = "Can not initialize convert.dll.";
inline constexpr const char* initFailedOnFormat = "Could not initialize convert.dll.";
inline constexpr const char* maxSizeRange = "Max File size range is (1M .. 4096M).";
inline constexpr const char* invalidEntryCaption = "invalid entry";
inline constexpr const char* closeWhileConverting
    = "A conversion is running. Cancel it (its unfinished file is removed) and close the program?";
inline constexpr const char* closeWhileConvertingCaption = "conversion running";
inline constexpr const char* logSeparator = "****************************************";
inline constexpr const char* listPictureRefused = "%s, line %d: the picture %s cannot be used: %s";
inline constexpr const char* listPictureCaption = "picture list";

} // namespace discforge::message
