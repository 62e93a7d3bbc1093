#include "picture/PictureBlend.h"

#include <algorithm>

namespace discforge {

bool BlendPicture(TBaseDib& frame, const TimedPicture& picture)
{
    if (frame.Depth() != 32 || !frame.HasPicture() || picture.width < 0 || picture.height < 0) {
        return false;
    }
    const std::size_t pictureRow = static_cast<std::size_t>(picture.width) * 4;
    if (picture.pixels.size() != pictureRow * static_cast<std::size_t>(picture.height)) {
        return false;
    }
    // In 64 bits: a picture's corner far outside must not wrap round into the frame.
    const std::int64_t left = std::max<std::int64_t>(picture.x, 0);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{picture.x} + picture.width, frame.Width());
    const std::int64_t top = std::max<std::int64_t>(picture.y, 0);
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{picture.y} + picture.height, frame.Height());
    for (std::int64_t y = top; y < bottom; ++y) {
        const std::uint8_t* from = picture.pixels.data() + static_cast<std::size_t>(y - picture.y) * pictureRow
            + static_cast<std::size_t>(left - picture.x) * 4;
        // The frame keeps its bottom row first.
        std::uint8_t* to = frame.Row(frame.Height() - 1 - static_cast<int>(y)) + left * 4;
        for (std::int64_t x = left; x < right; ++x, from += 4, to += 4) {
            const unsigned keep = 255u - from[3];
            for (int c = 0; c < 3; ++c) {
                to[c] = static_cast<std::uint8_t>(std::min(255u, from[c] + (to[c] * keep + 127u) / 255u));
            }
        }
    }
    return true;
}

} // namespace discforge
