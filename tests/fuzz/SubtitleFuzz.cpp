// The subtitle reader on arbitrary bytes: every cue it keeps has sane times, follows
// the one before, and keeps to the bounds on lines and their length.
#include "input/SubtitleFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const discforge::SubtitleRead read = discforge::ParseSubtitles(bytes, "fuzz.srt");
    std::int64_t lastEnd = 0;
    for (const discforge::SubtitleCue& cue : read.cues) {
        const auto lines = static_cast<std::size_t>(std::count(cue.text.begin(), cue.text.end(), '\n')) + 1;
        if (cue.endMs <= cue.startMs || cue.startMs < lastEnd || cue.text.empty()
            || lines > discforge::subtitleLinesPerCue
            || cue.text.size() > discforge::subtitleLinesPerCue * (discforge::subtitleLineBytes + 1)) {
            __builtin_trap();
        }
        lastEnd = cue.endMs;
    }
    if (read.Ok() == read.cues.empty()) {
        __builtin_trap();
    }
    return 0;
}
