#include "app/MenuThumbnail.h"

#include "app/DvdauthorProject.h"
#include "platform/MediaError.h"
#include "platform/VideoCursor.h"

#include <cmath>
#include <memory>
#include <vector>

namespace discforge {
namespace {

constexpr double thumbnailShare = 0.1;

QImage FrameAt(const std::string& path, double seconds)
{
    MediaError error;
    const std::unique_ptr<VideoCursor> cursor = VideoCursor::Open(path, error);
    if (!cursor || cursor->Width() <= 0 || cursor->Height() <= 0) {
        return {};
    }
    const AVRational rate = cursor->FrameRate();
    const auto wanted = static_cast<std::int64_t>(std::floor(seconds * rate.num / rate.den));
    if (cursor->ShouldSeekFor(wanted) && !cursor->SeekTo(wanted)) {
        return {};
    }
    bool decoded = false;
    for (;;) {
        const CursorStep step = cursor->DecodeToward(wanted);
        if (step != CursorStep::Frame) {
            break; // a stream shorter than its header says: its last frame serves
        }
        decoded = true;
        if (cursor->FrameIndex() >= wanted) {
            break;
        }
    }
    if (!decoded) {
        return {};
    }
    QImage frame(cursor->Width(), cursor->Height(), QImage::Format_RGB32);
    if (frame.isNull() || !cursor->Convert(frame.bits(), static_cast<int>(frame.bytesPerLine()), false)) {
        return {};
    }
    return frame;
}

} // namespace

QImage TitleThumbnail(const StreamParts& parts, bool wide)
{
    std::vector<double> lengths;
    double total = 0;
    for (const std::string& part : parts) {
        lengths.push_back(StreamSeconds(part));
        total += lengths.back();
    }
    double at = total * thumbnailShare;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (at < lengths[i] || i + 1 == parts.size()) {
            const QImage frame = FrameAt(parts[i], at);
            if (frame.isNull()) {
                return {};
            }
            const int shownWidth = static_cast<int>(std::lround(frame.height() * (wide ? 16.0 / 9.0 : 4.0 / 3.0)));
            return frame.scaled(shownWidth, frame.height(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
        at -= lengths[i];
    }
    return {};
}

} // namespace discforge
