// Lays a timed picture (premultiplied blue, green, red, alpha) over a 32-bit
// frame, where the two overlap.
#pragma once

#include "picture/TBaseDib.h"
#include "ports/TimedPicture.h"

namespace discforge {

// False, with the frame untouched, when the frame is not 32 bits per pixel or the
// picture's pixels do not hold its size; a picture wholly outside changes nothing.
bool BlendPicture(TBaseDib& frame, const TimedPicture& picture);

} // namespace discforge
