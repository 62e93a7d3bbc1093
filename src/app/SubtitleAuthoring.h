// Text subtitles as DVD subtitle streams: each subtitle file of a title is read by our
// own reader, written again as plain SubRip for each part of the title (its cues moved
// to the part's own clock), and drawn into the part by spumux in a Debian font, white
// with a black outline, at least a twentieth of the frame high and inside the 90 %
// title-safe area. A 16:9 title gets two streams per file, for widescreen and for
// letterbox. A file that gives no subtitles is told in the run log and left out: the
// disc is made without it.
#pragma once

#include "app/DiscAuthoring.h"
#include "platform/ChildProgram.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace discforge {

class RunLog;

// What a DVD title set can carry.
inline constexpr int dvdSubtitleStreamLimit = 32;

// Runs spumux with the arguments and files; false with the outcome set when it fails.
using SpumuxStep
    = std::function<bool(const std::vector<std::string>& arguments, const ChildFiles& files, AuthoringOutcome& outcome)>;

struct SubtitledStreams {
    std::vector<StreamParts> streams; // the request's, with the parts that carry subtitles replaced
    std::vector<std::vector<std::string>> languages; // per input, of each subtitle file kept
};

// The font size spumux draws with for a frame of `height` lines.
int SubtitleFontSize(int height);

// The spumux project of one stream.
std::string SpumuxProject(const std::string& subtitlePath, int tvStandard, bool wide, bool letterbox);

// The cues that fall in a part starting `startMs` into its title and lasting `lengthMs`, on
// the part's clock, as SubRip; empty when none does.
std::string PartSubRip(const std::vector<struct SubtitleCue>& cues, std::int64_t startMs, std::int64_t lengthMs);

// False only when spumux failed or was cancelled.
bool AddSubtitleStreams(const AuthoringRequest& request, const std::vector<bool>& wide,
    const std::filesystem::path& work, const SpumuxStep& spumux, RunLog& runLog, SubtitledStreams& result,
    AuthoringOutcome& outcome);

} // namespace discforge
