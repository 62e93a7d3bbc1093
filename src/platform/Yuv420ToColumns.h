// Eight rows of a planar 4:2:0 picture converted as Yuv420ToBgrx converts them,
// but stored as the columns an area reduction of several rows at once sums
// (PictureBands::MakeColumns): the converted pixels go straight into the
// columns, without being written out as rows and read back.
#pragma once

#include "platform/Yuv420ToBgrx.h"

namespace discforge {

// Rows 0 .. 7 of `planes` into `columns`, laid out as PictureBands::MakeColumns
// describes, for a picture `width` pixels wide; with `above`, the planes hold 8
// more rows before row 0, which are asked into the cache meanwhile. False, with
// nothing written, where the processor lacks AVX2, or the width is odd or below
// 32 pixels.
bool Yuv420ToBgrxColumns(const Yuv420Planes& planes, int width, bool above, std::uint8_t* columns);

} // namespace discforge
