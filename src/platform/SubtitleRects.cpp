#include "platform/SubtitleRects.h"

#include "platform/MediaSource.h"

#include <algorithm>

namespace discforge {
namespace {

constexpr int paletteEntries = 256;

bool RectSound(const AVSubtitleRect& rect)
{
    return rect.type == SUBTITLE_BITMAP && rect.w > 0 && rect.h > 0 && rect.x >= 0 && rect.y >= 0
        && rect.x <= maxPictureSide - rect.w && rect.y <= maxPictureSide - rect.h && rect.data[0] != nullptr
        && rect.data[1] != nullptr && rect.linesize[0] >= rect.w && rect.nb_colors > 0
        && rect.nb_colors <= paletteEntries;
}

// Colours past the rectangle's own palette count are shown as nothing.
void PaintRect(const AVSubtitleRect& rect, SubtitlePicture& picture)
{
    const auto* palette = reinterpret_cast<const std::uint32_t*>(rect.data[1]);
    for (int row = 0; row < rect.h; ++row) {
        const std::uint8_t* indices = rect.data[0] + static_cast<std::ptrdiff_t>(row) * rect.linesize[0];
        std::uint8_t* out = picture.rgba.data()
            + (static_cast<std::size_t>(rect.y - picture.y + row) * static_cast<std::size_t>(picture.width)
                  + static_cast<std::size_t>(rect.x - picture.x))
                * 4;
        for (int column = 0; column < rect.w; ++column, out += 4) {
            if (indices[column] >= rect.nb_colors) {
                continue;
            }
            const std::uint32_t argb = palette[indices[column]];
            if ((argb >> 24) == 0) {
                continue;
            }
            out[0] = static_cast<std::uint8_t>(argb >> 16);
            out[1] = static_cast<std::uint8_t>(argb >> 8);
            out[2] = static_cast<std::uint8_t>(argb);
            out[3] = static_cast<std::uint8_t>(argb >> 24);
        }
    }
}

} // namespace

RectsOutcome ComposeRects(const AVSubtitle& subtitle, std::int64_t areaLimit, SubtitlePicture& picture)
{
    if (subtitle.num_rects == 0 || subtitle.rects == nullptr) {
        return RectsOutcome::Empty;
    }
    int left = maxPictureSide, top = maxPictureSide, right = 0, bottom = 0;
    for (unsigned i = 0; i < subtitle.num_rects; ++i) {
        const AVSubtitleRect* rect = subtitle.rects[i];
        if (rect == nullptr || !RectSound(*rect)) {
            return RectsOutcome::Damaged;
        }
        left = std::min(left, rect->x);
        top = std::min(top, rect->y);
        right = std::max(right, rect->x + rect->w);
        bottom = std::max(bottom, rect->y + rect->h);
    }
    const std::int64_t area = static_cast<std::int64_t>(right - left) * (bottom - top);
    if (area > areaLimit) {
        return RectsOutcome::TooLarge;
    }
    picture.x = left;
    picture.y = top;
    picture.width = right - left;
    picture.height = bottom - top;
    picture.rgba.assign(static_cast<std::size_t>(area) * 4, 0);
    for (unsigned i = 0; i < subtitle.num_rects; ++i) {
        PaintRect(*subtitle.rects[i], picture);
    }
    bool shown = false;
    for (std::size_t at = 3; at < picture.rgba.size() && !shown; at += 4) {
        shown = picture.rgba[at] != 0;
    }
    return shown ? RectsOutcome::Picture : RectsOutcome::Empty;
}

} // namespace discforge
