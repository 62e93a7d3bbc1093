// The subtitle files a user keeps beside a video: "name.srt", "name.LANG.srt",
// "name.ass" (and .ssa), LANG being a language's two or three letters.
#pragma once

#include <string>
#include <vector>

namespace discforge {

struct SubtitleSource {
    std::string path;
    std::string language = "und"; // as the file's name or the user gives it
    int track = 0; // 0: `path` is a subtitle file; N: the Nth text subtitle track of the video at `path`
};

// The sidecars of a video, by name; none for a path without a folder entry.
std::vector<SubtitleSource> SidecarSubtitles(const std::string& videoPath);

// "FILE" or "FILE:LANG" as the command line takes it; a LANG of other than two or three
// letters is part of the file name.
SubtitleSource ParseSubtitleChoice(const std::string& choice);

} // namespace discforge
