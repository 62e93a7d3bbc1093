// Turns the converted streams of a batch into one disc: a DVD-Video folder
// (and, if asked, its ISO image) or a VCD/SVCD BIN/CUE image, with the usual
// external tools. Nothing half-made is left under the final names: each tool
// writes into a temporary folder beside them, renamed at the end.
#pragma once

#include "formats/DiscSize.h"
#include "input/SubtitleSidecars.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace discforge {

class RunLog;

// The files one input converted to, in order: several when the output was split.
using StreamParts = std::vector<std::string>;

struct AuthoringRequest {
    int outputFormat = 0; // formatVcd, formatSvcd or formatDvd
    int tvStandard = 0;
    // One input each, in this order: a DVD title of all its parts, a VCD/SVCD track
    // per part (vcdimager plays each file as a track of its own).
    std::vector<StreamParts> streams;
    std::string folder; // receives VIDEO_TS (DVD) or videocd.bin/.cue (VCD, SVCD)
    std::string isoPath; // DVD only; empty for none
    int chapterMinutes = 5;
    // DVD: per input, the language of each sound stream of its title (as the file names
    // it: "eng", "und" ...); an input without an entry has one stream of no language.
    std::vector<std::vector<std::string>> soundLanguages;
    // DVD: per input, its subtitle files (an input without an entry has none).
    std::vector<std::vector<SubtitleSource>> subtitles;
    // The disc the batch was planned for; the format's usual disc without one.
    std::optional<DiscSize> discSize;
    // A DVD of more than one title starts on a menu of them.
    bool menu = false;
    // The titles' names on the menu, one an input; a missing or empty one is the
    // stream's file name without its extension.
    std::vector<std::string> titleNames;
    // A picture behind the menu; empty for the program's colours.
    std::string menuBackground;
};

struct AuthoringOutcome {
    bool made = false;
    bool cancelled = false;
    std::string message; // why not, for the user; empty when made or cancelled
};

// Every part of every input, in order.
std::vector<std::string> AllParts(const std::vector<StreamParts>& streams);

// What a disc of the format holds, in bytes.
std::uint64_t DiscCapacity(int outputFormat);

// The user's message when the streams do not fit the disc; empty when they do.
std::string CheckDiscSize(
    int outputFormat, const std::vector<std::string>& streams, const std::optional<DiscSize>& discSize = std::nullopt);

// The chapter starts of a title of `seconds`, in dvdauthor's notation: "0,5:00,10:00".
std::string ChapterList(double seconds, int chapterMinutes);
// The chapter starts that fall in a part of a title, which begins `partStart`
// seconds into the title and lasts `seconds`, counted from the part's own start:
// "0,5:00" for a first part, "2:30.000" for a later one; empty when none does.
std::string PartChapterList(double partStart, double seconds, int chapterMinutes);

AuthoringOutcome AuthorDisc(const AuthoringRequest& request, RunLog& runLog, const std::function<bool()>& cancelled);

} // namespace discforge
