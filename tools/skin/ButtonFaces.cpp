#include <QFontMetricsF>
#include <QPainter>

#include "Glyphs.h"
#include "SkinArt.h"
#include "SkinStyle.h"

namespace discforge::skin {
namespace {

enum class Face { normal = 0, pressed = 1, hot = 2, disabled = 3 };
constexpr int faceCount = 4;
constexpr double disabledOpacity = 0.4;
constexpr double labelGap = 8;

struct Look {
    bool body = true;
    QColor fill;
    QColor border; // invalid: no outline
    QColor ink;
};

Look LookOf(Tone tone, Face face)
{
    const bool hot = face == Face::hot;
    const bool pressed = face == Face::pressed;
    switch (tone) {
    case Tone::primary:
        return {true,
            hot           ? colour::accentHot
                : pressed ? colour::accentPressed
                          : colour::accent,
            hot ? colour::accentHot.lighter(130) : QColor(), Qt::white};
    case Tone::raised:
        return {true,
            hot           ? colour::buttonHot
                : pressed ? colour::buttonPressed
                          : colour::buttonFill,
            hot ? colour::accent : colour::buttonBorder, hot ? QColor(Qt::white) : colour::text};
    case Tone::flat:
        return {hot || pressed, hot ? colour::buttonHot : colour::buttonPressed, hot ? colour::accent : QColor(),
            hot ? QColor(Qt::white) : colour::text};
    case Tone::danger:
        return {hot || pressed, hot ? colour::danger : colour::dangerPressed, QColor(),
            hot || pressed ? QColor(Qt::white) : colour::text};
    }
    return {};
}

double Radius(Tone tone) { return tone == Tone::primary ? 8 : 6; }

void DrawContent(QPainter& painter, const ButtonArt& art, const QRectF& area, const QColor& ink)
{
    const double glyphSize = std::min(20.0, area.height() - 10);
    if (art.label.empty()) {
        const QPointF corner = area.center() - QPointF(glyphSize / 2, glyphSize / 2);
        DrawGlyph(painter, art.glyph, QRectF(corner, QSizeF(glyphSize, glyphSize)), ink);
        return;
    }
    const QFont font = SkinFont(largeTextPixels, true);
    const QString label = QString::fromStdString(art.label);
    const double labelWidth = QFontMetricsF(font).horizontalAdvance(label);
    const double left = area.center().x() - (glyphSize + labelGap + labelWidth) / 2;
    DrawGlyph(painter, art.glyph, QRectF(left, area.center().y() - glyphSize / 2, glyphSize, glyphSize), ink);
    painter.setFont(font);
    painter.setPen(ink);
    painter.drawText(QRectF(left + glyphSize + labelGap, area.top(), labelWidth + 2, area.height()),
        Qt::AlignLeft | Qt::AlignVCenter, label);
}

void DrawFace(QPainter& painter, const ButtonArt& art, const QSizeF& size, Face face)
{
    const Look look = LookOf(art.tone, face);
    const QRectF body(0.5, 0.5, size.width() - 1, size.height() - 1);
    if (look.body) {
        painter.setPen(look.border.isValid() ? QPen(look.border, 1) : QPen(Qt::NoPen));
        painter.setBrush(look.fill);
        painter.drawRoundedRect(body, Radius(art.tone), Radius(art.tone));
    }
    // A pressed button's content sinks by one pixel, as if pushed in.
    const double sink = face == Face::pressed ? 1 : 0;
    DrawContent(painter, art, QRectF(QPointF(sink, sink), size), look.ink);
}

void DrawDisabledFace(QPainter& painter, const ButtonArt& art, const QSizeF& size, int scale)
{
    QImage normal(qRound(size.width() * scale), qRound(size.height() * scale), QImage::Format_ARGB32_Premultiplied);
    normal.setDevicePixelRatio(scale);
    normal.fill(Qt::transparent);
    {
        QPainter facePainter(&normal);
        facePainter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        DrawFace(facePainter, art, size, Face::normal);
    }
    painter.save();
    painter.setOpacity(disabledOpacity);
    painter.drawImage(QRectF(QPointF(0, 0), size), normal);
    painter.restore();
}

} // namespace

QImage PaintButtonStrip(const SkinLayout& layout, const ButtonArt& art, const QImage& background, int scale)
{
    const LayoutEntry* entry = layout.Find(art.key);
    if (entry == nullptr) {
        return {};
    }
    const Box& box = entry->box;
    const QImage under = background.copy(box.x * scale, box.y * scale, box.w * scale, box.h * scale);
    QImage strip(faceCount * box.w * scale, box.h * scale, QImage::Format_RGB32);
    strip.setDevicePixelRatio(scale);
    QPainter painter(&strip);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    const QSizeF size(box.w, box.h);
    for (int k = 0; k < faceCount; ++k) {
        painter.save();
        painter.translate(k * box.w, 0);
        painter.drawImage(QRectF(QPointF(0, 0), size), under);
        const Face face = static_cast<Face>(k);
        if (face == Face::disabled) {
            DrawDisabledFace(painter, art, size, scale);
        } else {
            DrawFace(painter, art, size, face);
        }
        painter.restore();
    }
    return strip;
}

} // namespace discforge::skin
