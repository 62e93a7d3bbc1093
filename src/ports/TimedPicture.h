// A picture laid over the frames of a stretch of the output: a subtitle burnt into
// the picture. Its pixels are blue, green, red, alpha, top row first, width x 4
// bytes a row, premultiplied: each colour is already scaled by its pixel's alpha,
// so a fully transparent pixel is 0, 0, 0, 0.
#pragma once

#include <cstdint>
#include <vector>

namespace discforge {

struct TimedPicture {
    // On the output clock (zero at the first encoded frame); shown while start <= t < end.
    std::int64_t startMs = 0;
    std::int64_t endMs = 0;
    // The top left corner in the frame, counted from the frame's top left; may lie outside.
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // width x height x 4
};

// The pictures of one subtitle track, for frames of one size; asked for mostly in
// the output's order, so a track may keep only the picture it gave last.
class TimedPictureTrack {
public:
    virtual ~TimedPictureTrack() = default;
    // The picture shown at `ms`; null when none is. Valid until the next call.
    virtual const TimedPicture* PictureAt(std::int64_t ms) = 0;
};

} // namespace discforge
