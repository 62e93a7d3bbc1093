#include <QConicalGradient>
#include <QLinearGradient>
#include <QPainter>

#include "SkinArt.h"
#include "SkinStyle.h"

namespace discforge::skin {

// A disc on a dark rounded tile: what the program makes, in the skin's accent.
void DrawAppMark(QPainter& painter, const QRectF& box)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const double size = box.width();
    const QPointF centre = box.center();

    QLinearGradient tile(box.topLeft(), box.bottomLeft());
    tile.setColorAt(0, QColor(0x34, 0x3d, 0x52));
    tile.setColorAt(1, QColor(0x1a, 0x1e, 0x28));
    painter.setPen(Qt::NoPen);
    painter.setBrush(tile);
    painter.drawRoundedRect(box, size * 0.22, size * 0.22);

    // Light caught on two opposite sides of the disc, as on a real one.
    const double radius = size * 0.36;
    QConicalGradient disc(centre, 35);
    const QColor shine = colour::accentHot.lighter(135);
    for (double turn : {0.0, 0.5}) {
        disc.setColorAt(turn, colour::accent);
        disc.setColorAt(turn + 0.12, shine);
        disc.setColorAt(turn + 0.3, colour::accent);
        disc.setColorAt(turn + 0.42, colour::accentPressed);
    }
    disc.setColorAt(1.0, colour::accent);
    painter.setBrush(disc);
    painter.drawEllipse(centre, radius, radius);

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 70), size * 0.025));
    painter.drawEllipse(centre, radius * 0.62, radius * 0.62);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1a, 0x1e, 0x28));
    painter.drawEllipse(centre, radius * 0.24, radius * 0.24);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 150), size * 0.02));
    painter.drawEllipse(centre, radius * 0.24, radius * 0.24);
    painter.restore();
}

QImage PaintAppIcon(int pixels)
{
    QImage icon(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    const double inset = pixels * 0.06;
    DrawAppMark(painter, QRectF(inset, inset, pixels - 2 * inset, pixels - 2 * inset));
    return icon;
}

} // namespace discforge::skin
