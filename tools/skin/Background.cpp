#include <QFontMetricsF>
#include <QPainter>

#include "Glyphs.h"
#include "SkinArt.h"
#include "SkinStyle.h"

namespace discforge::skin {
namespace {

constexpr const char* programName = "Ferrowick Discforge";
constexpr int markSize = 22;
constexpr int textRoom = 600; // wider than any text of the skin

QImage NewPicture(int width, int height, int scale, const QColor& fill)
{
    QImage picture(width * scale, height * scale, QImage::Format_RGB32);
    picture.setDevicePixelRatio(scale);
    picture.fill(fill);
    return picture;
}

void PrepareText(QPainter& painter, TextStyle style)
{
    painter.setFont(FontFor(style));
    painter.setPen(ColourFor(style));
}

void DrawHeader(QPainter& painter, const SkinLayout& layout)
{
    painter.fillRect(QRectF(0, 0, layout.width, layout.headerHeight), colour::header);
    painter.fillRect(QRectF(0, layout.headerHeight - 1, layout.width, 1), colour::line);
    const LayoutEntry* preview = layout.Find("InputPreviewBox");
    const double left = preview != nullptr ? preview->box.x : 0;
    const double markTop = (layout.headerHeight - markSize) / 2.0;
    DrawAppMark(painter, QRectF(left, markTop, markSize, markSize));
    PrepareText(painter, TextStyle::title);
    painter.drawText(QRectF(left + markSize + 10, 0, textRoom, layout.headerHeight - 1),
        Qt::AlignLeft | Qt::AlignVCenter, programName);
}

void DrawPreviewFrame(QPainter& painter, const Box& box)
{
    painter.fillRect(QRectF(box.x - 1, box.y - 1, box.w + 2, box.h + 2), colour::line);
    painter.fillRect(QRectF(box.x, box.y, box.w, box.h), colour::previewEmpty);
}

void DrawCaption(QPainter& painter, const SkinLayout& layout, const LayoutEntry& entry)
{
    PrepareText(painter, TextStyle::caption);
    painter.drawText(QRectF(entry.box.x + layout.captionIndent, entry.box.y, textRoom, entry.box.h),
        Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(entry.caption));
}

void DrawText(QPainter& painter, const TextArt& art)
{
    PrepareText(painter, art.style);
    const QString text = QString::fromStdString(art.text);
    const double width = QFontMetricsF(painter.font()).horizontalAdvance(text);
    painter.drawText(QPointF(art.alignRight ? art.x - width : art.x, art.baseline), text);
}

} // namespace

QImage PaintBackground(const SkinLayout& layout, int scale)
{
    QImage picture = NewPicture(layout.width, layout.height, scale, colour::window);
    QPainter painter(&picture);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    DrawHeader(painter, layout);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour::panel);
    for (const Box& panel : layout.panels) {
        painter.drawRoundedRect(QRectF(panel.x, panel.y, panel.w, panel.h), 10, 10);
    }
    for (const LayoutEntry& entry : layout.entries) {
        if (entry.kind == Kind::previewBox) {
            DrawPreviewFrame(painter, entry.box);
        } else if (!entry.caption.empty()) {
            DrawCaption(painter, layout, entry);
        }
    }
    for (const TextArt& art : layout.texts) {
        DrawText(painter, art);
    }
    return picture;
}

QImage PaintPlaceholder(const Box& box, Glyph glyph, int scale)
{
    QImage picture = NewPicture(box.w, box.h, scale, colour::previewEmpty);
    QPainter painter(&picture);
    const double size = 48;
    DrawGlyph(painter, glyph, QRectF((box.w - size) / 2, (box.h - size) / 2, size, size), colour::previewGlyph);
    return picture;
}

} // namespace discforge::skin
