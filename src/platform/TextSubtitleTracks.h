// The text subtitle tracks inside a media file (SubRip, SubStation, MP4 timed text,
// WebVTT), read out as a SubStation document of their dialogues on the file's one
// clock (zero at its first picture), for the subtitle reader to take like a file.
#pragma once

#include "platform/MediaError.h"

#include <string>
#include <vector>

namespace discforge {

struct TextSubtitleTrack {
    int number = 0; // from 1, over the file's text subtitle streams
    std::string language; // "und" when the file names none
};

std::vector<TextSubtitleTrack> TextSubtitleTracksOf(const std::string& path);

// Track `number`'s dialogues as "[Events]", "Format: Start, End, Text" and one
// "Dialogue:" line each; at most `byteLimit` bytes (a longer track gives an error).
std::string TextSubtitleDocument(const std::string& path, int number, std::size_t byteLimit, MediaError& error);

} // namespace discforge
