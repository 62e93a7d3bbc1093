// Text subtitles as users bring them (SubRip .srt, SubStation .ssa/.ass), read into
// cues of plain UTF-8 text. The bytes are untrusted: the file's size is checked before
// it is read, the text must be UTF-8 (a byte-order mark may say UTF-16), a cue whose
// times make no sense is left out and counted, overlapping cues are made to follow each
// other, and every count (cues, lines, line length) has a bound.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace discforge {

struct SubtitleCue {
    std::int64_t startMs = 0;
    std::int64_t endMs = 0; // after startMs
    std::string text; // UTF-8, lines parted by '\n', without markup
};

struct SubtitleRead {
    std::vector<SubtitleCue> cues; // by start, none overlapping the next
    int skipped = 0; // cues left out for their times
    std::string problem; // why the file gives no subtitles; empty when it gives some
    bool Ok() const { return problem.empty(); }
};

// Larger files are not subtitles.
inline constexpr std::uintmax_t subtitleFileLimit = 10u * 1024u * 1024u;
inline constexpr std::size_t subtitleCueLimit = 100000;
inline constexpr std::size_t subtitleLinesPerCue = 8;
inline constexpr std::size_t subtitleLineBytes = 256;

// The cues of the bytes of a subtitle file; `name` is used in the problem's text.
SubtitleRead ParseSubtitles(std::string_view bytes, const std::string& name);
SubtitleRead ReadSubtitleFile(const std::string& path);

// Whether a path names a subtitle file by its ending (.srt, .ass, .ssa, any case).
bool IsSubtitlePath(const std::string& path);

} // namespace discforge
