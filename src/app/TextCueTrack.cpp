#include "app/TextCueTrack.h"

#include "app/CuePicture.h"

#include <algorithm>
#include <utility>

namespace discforge {

TextCueTrack::TextCueTrack(std::vector<SubtitleCue> cues, int frameWidth, int frameHeight, QString family)
    : cues_(std::move(cues))
    , frameWidth_(frameWidth)
    , frameHeight_(frameHeight)
    , family_(std::move(family))
{
}

const TimedPicture* TextCueTrack::PictureAt(std::int64_t ms)
{
    // The last cue that starts at or before `ms`.
    const auto after = std::upper_bound(
        cues_.begin(), cues_.end(), ms, [](std::int64_t at, const SubtitleCue& cue) { return at < cue.startMs; });
    if (after == cues_.begin() || ms >= std::prev(after)->endMs) {
        return nullptr;
    }
    const auto cue = static_cast<std::size_t>(std::prev(after) - cues_.begin());
    if (paintedCue_ != cue) {
        painted_ = PaintCue(cues_[cue], frameWidth_, frameHeight_, family_);
        paintedCue_ = cue;
    }
    return painted_.pixels.empty() ? nullptr : &painted_;
}

} // namespace discforge
