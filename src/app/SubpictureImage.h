// One picture subtitle as a DVD subpicture shows it: scaled from the frame its track
// was made for to the title's frame, and reduced to transparent and at most three
// colours, the four a subpicture has.
#pragma once

#include "platform/PictureSubtitleTrack.h"

#include <QImage>

namespace discforge {

struct SubpictureFrames {
    int trackWidth = 0; // the frame the track was made for
    int trackHeight = 0;
    int titleWidth = 0; // the title's stored frame
    int titleHeight = 0;
    // A 16:9 title shown on a 4:3 set: its picture fills the middle three quarters of the height.
    bool letterbox = false;
};

struct Subpicture {
    QImage image; // ARGB32, not premultiplied; null when nothing of the picture is left in the frame
    int x = 0; // its place in the title's frame
    int y = 0;
};

// Pixels of less than half cover become transparent, the others opaque. A picture of at
// most three opaque colours keeps them; one of more (PGS, or any after scaling) takes the
// mean colours of its dark, middle and light thirds by luma, so its fill and outline keep
// their contrast.
Subpicture MakeSubpicture(const SubtitlePicture& picture, const SubpictureFrames& frames);

} // namespace discforge
