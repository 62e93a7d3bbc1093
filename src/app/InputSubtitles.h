// The subtitles of an input: named for it, in the video, beside it; which of them the
// user switched off, and which one is drawn into the picture.
#pragma once

#include "core/ConversionSettings.h"
#include "input/InputEntry.h"
#include "input/SubtitleFile.h"
#include "input/SubtitleSidecars.h"

#include <optional>
#include <vector>

namespace discforge {

// The same file, or the same track of the same video.
bool SameSubtitle(const SubtitleSource& a, const SubtitleSource& b);

// Every subtitle of the input, each once: those `given` for it, those named for it
// (addedSubtitles), the video's own text tracks, the files beside it. Switched-off ones too.
std::vector<SubtitleSource> FoundSubtitles(const InputEntry& entry, const std::vector<SubtitleSource>& given = {});
// The ones that go on the disc: without those the user switched off.
std::vector<SubtitleSource> ChosenSubtitles(const InputEntry& entry, const std::vector<SubtitleSource>& given = {});

// Whether the input's converted picture carries its first chosen subtitle: always on
// VCD and SVCD, on DVD when the user asked. Only a batch's inputs, each its own stream.
bool BurnsSubtitles(const ConversionSettings& settings, const InputEntry& entry);

// The cues of a subtitle file or of a video's text track.
SubtitleRead ReadSubtitleSource(const SubtitleSource& source);

} // namespace discforge
