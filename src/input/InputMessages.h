// The texts the input table shows the user, and their caption contexts.
#pragma once

namespace discforge::message {

inline constexpr const char* tooManyInputs = "The maximum number (%d) of files has been opened.";
inline constexpr const char* cancelDialogObject = "avi loading error 1.";
inline constexpr const char* cancelDialogWindow = "avi loading error 2.";
inline constexpr const char* negativeSampleCount = "avi loading error 3.";
inline constexpr const char* convertedBufferFailed = "avi loading error 4.";
inline constexpr const char* sharedAudioBufferFailed = "avi loading error 5.";
inline constexpr const char* cannotOpenList = "Can't open file %s.";
inline constexpr const char* cannotReadList = "Error reading file %s.";
inline constexpr const char* listSeekFailed = "File seek error %s.";
inline constexpr const char* listPictureRefused = "%s, line %d: the picture %s cannot be used: %s";
inline constexpr const char* cannotMoveInput = "%s can not be opened in its new place; the list stays as it was.";

inline constexpr const char* openingCaption = "Mordax2 - Opening file";
inline constexpr const char* openingFile = "Opening file %s";

inline constexpr const char* contextOpenVideo = "open avi file error";
inline constexpr const char* contextAddList = "add file list error";
inline constexpr const char* contextOpenList = "open file list error";
inline constexpr const char* contextAddFile = "add file error";
inline constexpr const char* contextMoveInput = "move file error";
inline constexpr const char* contextLoading = "avi loading error";
inline constexpr const char* contextLoadingWarning = "avi loading warning";

} // namespace discforge::message
