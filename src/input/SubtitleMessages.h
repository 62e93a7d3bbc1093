// What the subtitle reader tells the user about a file it gives no subtitles of. "%1"
// is the file's name.
#pragma once

namespace discforge::subtitle_message {

inline constexpr const char* cannotRead = "The subtitle file %1 cannot be read.";
inline constexpr const char* tooLarge = "The subtitle file %1 is larger than 10 MB: it is not a subtitle file.";
inline constexpr const char* notText = "The subtitle file %1 holds binary bytes, not text.";
inline constexpr const char* unknownEncoding
    = "The subtitle file %1 is not written in UTF-8 or UTF-16: save it as UTF-8 and add it again.";
inline constexpr const char* tooManyCues = "The subtitle file %1 has more than 100000 subtitles.";
inline constexpr const char* noCues = "The subtitle file %1 has no subtitle with valid times.";

} // namespace discforge::subtitle_message
