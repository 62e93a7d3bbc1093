// The picture a DVD menu shows for a title: its frame a tenth of the way in.
#pragma once

#include "app/DiscAuthoring.h"

#include <QImage>

namespace discforge {

// The frame a tenth into the title made of `parts` (each a converted stream),
// as shown: square pixels of a 16:9 or 4:3 picture; null when none can be read.
QImage TitleThumbnail(const StreamParts& parts, bool wide);

} // namespace discforge
