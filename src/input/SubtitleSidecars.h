// The subtitle files a user keeps beside a video: "name.srt", "name.LANG.srt",
// "name.ass" (and .ssa), "name.idx" (VobSub), LANG being a language's two or three letters.
#pragma once

#include <string>
#include <vector>

namespace discforge {

struct SubtitleSource {
    std::string path;
    std::string language = "und"; // as the file's name or the user gives it
    int track = 0; // 0: `path` is a subtitle file; N: the Nth text (or picture) subtitle track at `path`
    bool picture = false; // `track` counts the picture subtitle tracks (DVD subpictures, PGS)
};

// A VobSub index (".idx"), which names its ".sub" beside it and holds picture subtitle tracks.
bool IsVobSubIndexPath(const std::string& path);

// The sidecars of a video, by name; none for a path without a folder entry.
std::vector<SubtitleSource> SidecarSubtitles(const std::string& videoPath);

// "FILE" or "FILE:LANG" as the command line takes it; a LANG of other than two or three
// letters is part of the file name.
SubtitleSource ParseSubtitleChoice(const std::string& choice);

} // namespace discforge
