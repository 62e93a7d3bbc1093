// A text subtitle's cues as timed pictures for frames of one size: each cue is
// drawn when it is first shown, and kept while it is.
#pragma once

#include "input/SubtitleFile.h"
#include "ports/TimedPicture.h"

#include <QString>

#include <cstddef>
#include <optional>
#include <vector>

namespace discforge {

class TextCueTrack final : public TimedPictureTrack {
public:
    // `cues` by start, none overlapping the next (as the subtitle reader gives them).
    TextCueTrack(std::vector<SubtitleCue> cues, int frameWidth, int frameHeight, QString family);

    const TimedPicture* PictureAt(std::int64_t ms) override;

private:
    std::vector<SubtitleCue> cues_;
    int frameWidth_;
    int frameHeight_;
    QString family_;
    std::optional<std::size_t> paintedCue_;
    TimedPicture painted_;
};

} // namespace discforge
