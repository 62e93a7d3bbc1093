// The texts the input and output previews show the user, with their captions.
#pragma once

namespace discforge::preview_message {

// Input preview.
inline constexpr const char* inputSeekFailed = "Input Preview display error 1.";
inline constexpr const char* inputUpdateFailed = "Input Preview display error 2.";
inline constexpr const char* inputLockFailed = "Input Preview display error 3.";
inline constexpr const char* inputUnlockFailed = "Input Preview display error 4.";
inline constexpr const char* inputDepthFailed = "Input preview color depth error";
inline constexpr const char* inputInvertFailed = "Input Preview invert error";
inline constexpr const char* inputDisplayCaption = "Input Preview display error";
inline constexpr const char* inputPictureCaption = "Input Preview display error.";
inline constexpr const char* inputCopyCaption = "display error";
inline constexpr const char* inputListCaption = "Input Preview file list error";
inline constexpr const char* aviCaption = "AVI error";
inline constexpr const char* aviPanelCaption = "avi error";
inline constexpr const char* aviListCaption = "avi file error";

// Both previews' lists and the AVI reader.
inline constexpr const char* listSeekFailed = "Can not seek beginning of file %s.";
inline constexpr const char* noFrame = "Can not get frame # %d from file %s.";

// Output preview.
inline constexpr const char* outputSeekFailed = "Can not seek MultiMedia Stream";
inline constexpr const char* outputUpdateFailed = "Can not update sample";
inline constexpr const char* outputDisplayCaption = "Output Preview display error";
inline constexpr const char* outputLockFailed = "Output preview error 1.";
inline constexpr const char* outputUnlockFailed = "Output preview error 2.";
inline constexpr const char* outputListFindFailed = "Can not find beginning of file %s.";
inline constexpr const char* outputFileCaption = "Output Preview file error";
inline constexpr const char* outputDepthFailed = "Output Preview change color depth error";
inline constexpr const char* outputInvertFailed = "Ouput Preview invert error";
inline constexpr const char* outputCropFailed = "Output Preview crop error";
inline constexpr const char* outputRescaleFailed = "Output Preview rescale error";
inline constexpr const char* outputPreviewFailed = "Output Preview preview error";

// Output preview through the AVI reader.
inline constexpr const char* aviOutputCaption = "VFW output preview error";
inline constexpr const char* aviDepthFailed = "change color error";
inline constexpr const char* aviInvertFailed = "invert preview error";
inline constexpr const char* aviCropFailed = "crop error";
inline constexpr const char* aviRescaleFailed = "rescale error";
inline constexpr const char* aviPreviewFailed = "preview error 1.";

// The play buttons' words.
inline constexpr const char* play = "Play";
inline constexpr const char* stop = "Stop";

// Start-up.
inline constexpr const char* cannotInitialize = "Can't initialize preview.";
inline constexpr const char* startupCaption = "startup preview error";

} // namespace discforge::preview_message
