// Texts of the media layers, in one place.
#pragma once

namespace discforge::media_messages {

inline constexpr const char* scriptFailed = "cannot read the script '%s': %s";
inline constexpr const char* scriptNotPlayable
    = "cannot play the script '%s': FFmpeg's filters refused the clips it makes (%s)";
inline constexpr const char* scriptInScript = "a script cannot open another script";
inline constexpr const char* scriptFileUnreadable = "the file cannot be read";
inline constexpr const char* scriptFileTooLarge = "the file is larger than %s bytes";
inline constexpr const char* fileMissing = "cannot open '%s': %s";
inline constexpr const char* noVideoStream = "'%s' has no video stream";
inline constexpr const char* noAudioStream = "'%s' has no audio stream";
inline constexpr const char* noSoundTrack = "'%s' has no sound track %d";
inline constexpr const char* noTextSubtitleTrack = "'%s' has no text subtitle track %d";
inline constexpr const char* noPictureSubtitleTrack = "'%s' has no picture subtitle track %d";
inline constexpr const char* noCacheFolder = "there is no cache folder to keep the subtitle pictures in";
inline constexpr const char* overlayNotKept = "the subtitle pictures could not be kept as '%s'";
inline constexpr const char* textSubtitlesTooLarge = "the text subtitle track %d of '%s' is too large";
inline constexpr const char* noDecoder = "no decoder for codec '%s' in '%s'";
inline constexpr const char* badPictureSize = "picture size %dx%d of '%s' is out of range";
inline constexpr const char* badAudioFormat = "audio format of '%s' is out of range (%d Hz, %d channels)";
inline constexpr const char* noSample = "the stream has no sample";
inline constexpr const char* notRunning = "the stream does not run";
inline constexpr const char* surfaceLocked = "the surface is locked";
inline constexpr const char* updatePending = "an update is pending";
inline constexpr const char* badBlockSize = "audio buffer of %zu bytes is not a whole number of %d-byte blocks";
inline constexpr const char* wrongPurpose = "the stream does not carry this kind of data";
inline constexpr const char* threadFailed = "the decoding thread could not be started";
inline constexpr const char* outOfMemory = "out of memory for %s";
inline constexpr const char* frameOutside = "frame %lld is outside the stream";
inline constexpr const char* endOfStream = "frame %lld is past the end of the stream";
inline constexpr const char* unknownOption = "'%s' is not an option of this component";
inline constexpr const char* outOfRange = "%s for '%s' is out of range (%s to %s)";
inline constexpr const char* unknownConstant = "'%s' is not one of the choices for '%s' (%s)";
inline constexpr const char* badValue = "'%s' is not a valid value for '%s' (%s expected)";
inline constexpr const char* unknownComponent = "there is no component named '%s'";
inline constexpr const char* optionSkipped = "Setting %s=%s of %s skipped: %s";
inline constexpr const char* optionsAbandoned = "Settings of %s not used: %s";

} // namespace discforge::media_messages
