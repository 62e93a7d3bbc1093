// The rectangles libavcodec decodes for one picture subtitle event, laid into one
// picture of their common bounds.
#pragma once

#include "platform/PictureSubtitleTrack.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <cstdint>

namespace discforge {

enum class RectsOutcome {
    Picture, // `picture` holds the event's pixels (its times are the caller's to set)
    Empty, // nothing to show (no rectangle, or only transparent ones): the event clears the screen
    Damaged, // a rectangle with impossible bounds, colours or rows
    TooLarge, // the pictures' bounds exceed `areaLimit` pixels
};

RectsOutcome ComposeRects(const AVSubtitle& subtitle, std::int64_t areaLimit, SubtitlePicture& picture);

} // namespace discforge
