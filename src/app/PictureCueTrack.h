// A picture subtitle track (DVD subpictures, PGS) as timed pictures for frames of one
// size: each picture is scaled from the frame its track was made for to the output's
// frame, premultiplied, when it is first shown, and kept while it is.
#pragma once

#include "platform/PictureSubtitleTrack.h"
#include "ports/TimedPicture.h"

#include <cstddef>
#include <optional>

namespace discforge {

class PictureCueTrack final : public TimedPictureTrack {
public:
    PictureCueTrack(PictureSubtitles subtitles, int frameWidth, int frameHeight);

    const TimedPicture* PictureAt(std::int64_t ms) override;

private:
    PictureSubtitles subtitles_;
    int frameWidth_;
    int frameHeight_;
    std::optional<std::size_t> scaledPicture_;
    TimedPicture scaled_;
};

// The picture as it lies over a frame of `frameWidth` x `frameHeight`; no pixels when
// nothing of it is left.
TimedPicture ScaledSubtitlePicture(
    const SubtitlePicture& picture, int trackWidth, int trackHeight, int frameWidth, int frameHeight);

} // namespace discforge
