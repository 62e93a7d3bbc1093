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
inline constexpr const char* droppedBeyondRoom
    = "The input list holds at most %d files: the last %d of the dropped files were not added.";
inline constexpr const char* droppedCaption = "add file error";
inline constexpr const char* noOpener = "No program here opens %s. It is at:\n%s";
inline constexpr const char* noOpenerCaption = "open file";
inline constexpr const char* runRecord = "Converted %s to %s: %s (encoder result %d) in %.1f s";
inline constexpr const char* soundTracksNotTaken = "Only the played sound track goes on the disc: the other tracks of %s could not be taken";
inline constexpr const char* outcomeCompleted = "completed";
inline constexpr const char* outcomeCancelled = "cancelled";
inline constexpr const char* outcomeFailed = "failed";
inline constexpr const char* logSeparator = "****************************************";
inline constexpr const char* soundCaption = "Sound: %d of %d (%s, %s)";
inline constexpr const char* soundNone = "Sound: none";
inline constexpr const char* soundTrackChosen = "Sound track %d chosen for %s";
inline constexpr const char* listPictureCaption = "picture list";

} // namespace discforge::message
