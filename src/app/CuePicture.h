// A subtitle cue drawn as the disc's subtitle streams show text: DejaVu Sans at the
// size spumux is given for the frame's height, white with a black outline, centred at
// the bottom of the 90 % title-safe area. The text is laid out for a frame 720 pixels
// wide, as a DVD's subtitles are, and brought to the frame's width, so that it is as
// wide on the TV on every disc. Needs a Qt application that draws (see MenuPainting).
#pragma once

#include "input/SubtitleFile.h"
#include "ports/TimedPicture.h"

#include <QString>

namespace discforge {

// The cue's picture with the cue's times; an empty one (0 x 0) for a cue without
// text or a frame without pixels.
TimedPicture PaintCue(const SubtitleCue& cue, int frameWidth, int frameHeight, const QString& family);

} // namespace discforge
