// Turns the converted streams of a batch into one disc: a DVD-Video folder
// (and, if asked, its ISO image) or a VCD/SVCD BIN/CUE image, with the usual
// external tools. Nothing half-made is left under the final names: each tool
// writes into a temporary folder beside them, renamed at the end.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace discforge {

class RunLog;

struct AuthoringRequest {
    int outputFormat = 0; // formatVcd, formatSvcd or formatDvd
    int tvStandard = 0;
    std::vector<std::string> streams; // one title or track each, in this order
    std::string folder; // receives VIDEO_TS (DVD) or videocd.bin/.cue (VCD, SVCD)
    std::string isoPath; // DVD only; empty for none
    int chapterMinutes = 5;
};

struct AuthoringOutcome {
    bool made = false;
    bool cancelled = false;
    std::string message; // why not, for the user; empty when made or cancelled
};

// What a disc of the format holds, in bytes.
std::uint64_t DiscCapacity(int outputFormat);

// The user's message when the streams do not fit the disc; empty when they do.
std::string CheckDiscSize(int outputFormat, const std::vector<std::string>& streams);

// The chapter starts of a title of `seconds`, in dvdauthor's notation: "0,5:00,10:00".
std::string ChapterList(double seconds, int chapterMinutes);

AuthoringOutcome AuthorDisc(const AuthoringRequest& request, RunLog& runLog, const std::function<bool()>& cancelled);

} // namespace discforge
