// The checks the function groups make of the clip a call is given.
#pragma once

#include "script/AvsFunctions.h"

namespace discforge {

// The call's first clip, refused when it has no picture.
inline bool Picture(AvsCall& call, AvsClip& clip)
{
    clip = call.Clip(0);
    return clip.hasVideo || call.Fail("the clip has no picture");
}

inline bool IsRgb(const AvsClip& clip)
{
    return clip.pixelType == AvsPixelType::Rgb24 || clip.pixelType == AvsPixelType::Rgb32;
}

} // namespace discforge
