#include "app/PictureCueTrack.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace discforge {

TimedPicture ScaledSubtitlePicture(
    const SubtitlePicture& picture, int trackWidth, int trackHeight, int frameWidth, int frameHeight)
{
    TimedPicture scaled;
    scaled.startMs = picture.startMs;
    scaled.endMs = picture.endMs;
    const auto pixelBytes = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height) * 4;
    if (picture.width <= 0 || picture.height <= 0 || picture.rgba.size() < pixelBytes || trackWidth <= 0
        || trackHeight <= 0 || frameWidth <= 0 || frameHeight <= 0) {
        return scaled;
    }
    const double across = static_cast<double>(frameWidth) / trackWidth;
    const double down = static_cast<double>(frameHeight) / trackHeight;
    const int left = static_cast<int>(std::floor(picture.x * across));
    const int top = static_cast<int>(std::floor(picture.y * down));
    const int width = static_cast<int>(std::ceil((picture.x + picture.width) * across)) - left;
    const int height = static_cast<int>(std::ceil((picture.y + picture.height) * down)) - top;
    if (width <= 0 || height <= 0) {
        return scaled;
    }
    // Qt's RGBA8888 is the reader's byte order; ARGB32 premultiplied is blue, green, red,
    // alpha in memory on the machines we build for, the burner's order.
    const QImage source(picture.rgba.data(), picture.width, picture.height, picture.width * 4, QImage::Format_RGBA8888);
    const QImage made = source.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (made.isNull()) {
        return scaled;
    }
    scaled.x = left;
    scaled.y = top;
    scaled.width = width;
    scaled.height = height;
    const auto rowBytes = static_cast<std::size_t>(width) * 4;
    scaled.pixels.resize(rowBytes * static_cast<std::size_t>(height));
    for (int row = 0; row < height; ++row) {
        std::memcpy(scaled.pixels.data() + rowBytes * static_cast<std::size_t>(row), made.constScanLine(row), rowBytes);
    }
    return scaled;
}

PictureCueTrack::PictureCueTrack(PictureSubtitles subtitles, int frameWidth, int frameHeight)
    : subtitles_(std::move(subtitles))
    , frameWidth_(frameWidth)
    , frameHeight_(frameHeight)
{
}

const TimedPicture* PictureCueTrack::PictureAt(std::int64_t ms)
{
    const std::vector<SubtitlePicture>& pictures = subtitles_.pictures;
    // The last picture that starts at or before `ms`.
    const auto after = std::upper_bound(pictures.begin(), pictures.end(), ms,
        [](std::int64_t at, const SubtitlePicture& picture) { return at < picture.startMs; });
    if (after == pictures.begin() || ms >= std::prev(after)->endMs) {
        return nullptr;
    }
    const auto index = static_cast<std::size_t>(std::prev(after) - pictures.begin());
    if (scaledPicture_ != index) {
        scaled_ = ScaledSubtitlePicture(
            pictures[index], subtitles_.frameWidth, subtitles_.frameHeight, frameWidth_, frameHeight_);
        scaledPicture_ = index;
    }
    return scaled_.pixels.empty() ? nullptr : &scaled_;
}

} // namespace discforge
