#include "app/CuePicture.h"

#include "app/SubtitleAuthoring.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace discforge {
namespace {

// The width the text is laid out for: a DVD's frame, as spumux draws into it.
constexpr double layoutWidth = 720.0;
// spumux's outline at the PAL frame's font size; other sizes get it in proportion.
constexpr double outlineAtPal = 3.0;
constexpr int palHeight = 576;

// The cue's lines, each broken at spaces where it is wider than `width`.
QStringList WrappedLines(const QString& text, const QFontMetricsF& metrics, double width)
{
    QStringList lines;
    for (const QString& line : text.split('\n')) {
        QString current;
        for (const QString& word : line.split(' ', Qt::SkipEmptyParts)) {
            const QString longer = current.isEmpty() ? word : current + ' ' + word;
            if (!current.isEmpty() && metrics.horizontalAdvance(longer) > width) {
                lines.push_back(current);
                current = word;
            } else {
                current = longer;
            }
        }
        if (!current.isEmpty()) {
            lines.push_back(current);
        }
    }
    return lines;
}

} // namespace

TimedPicture PaintCue(const SubtitleCue& cue, int frameWidth, int frameHeight, const QString& family)
{
    TimedPicture picture;
    picture.startMs = cue.startMs;
    picture.endMs = cue.endMs;
    if (frameWidth <= 0 || frameHeight <= 0) {
        return picture;
    }
    QFont font(family);
    font.setPixelSize(SubtitleFontSize(frameHeight));
    const QFontMetricsF metrics(font);
    const double outline = outlineAtPal * font.pixelSize() / SubtitleFontSize(palHeight);
    // The title-safe area leaves a twentieth of the width and of the height on each side.
    const double sideMargin = layoutWidth / 20;
    const double endMargin = std::ceil(frameHeight / 20.0);
    const QStringList lines
        = WrappedLines(QString::fromStdString(cue.text), metrics, layoutWidth - 2 * (sideMargin + outline + 2));
    if (lines.isEmpty()) {
        return picture;
    }
    QPainterPath path;
    const double lastBaseline = frameHeight - endMargin - metrics.descent() - outline;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const double baseline = lastBaseline - static_cast<double>(lines.size() - 1 - i) * metrics.lineSpacing();
        path.addText((layoutWidth - metrics.horizontalAdvance(lines[i])) / 2, baseline, font, lines[i]);
    }
    // The letters are brought to the frame's width; the outline is drawn round them there,
    // as thick across as down, so that narrow frames keep it whole.
    const QPainterPath letters = QTransform::fromScale(frameWidth / layoutWidth, 1).map(path);
    const QRectF drawn = letters.boundingRect();
    const QRect frame(0, 0, frameWidth, frameHeight);
    const QRect box = drawn.adjusted(-outline - 1, -outline - 1, outline + 1, outline + 1).toAlignedRect() & frame;
    if (box.isEmpty()) {
        return picture;
    }
    // Premultiplied 32-bit pixels lie in memory as blue, green, red, alpha.
    QImage image(box.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(-box.x(), -box.y());
        painter.strokePath(letters, QPen(Qt::black, 2 * outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.fillPath(letters, Qt::white);
    }
    picture.x = box.x();
    picture.y = box.y();
    picture.width = box.width();
    picture.height = box.height();
    const auto rowBytes = static_cast<std::size_t>(box.width()) * 4;
    picture.pixels.resize(rowBytes * static_cast<std::size_t>(box.height()));
    for (int y = 0; y < box.height(); ++y) {
        std::memcpy(picture.pixels.data() + rowBytes * static_cast<std::size_t>(y), image.constScanLine(y), rowBytes);
    }
    return picture;
}

} // namespace discforge
