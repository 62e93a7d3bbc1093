#include "Glyphs.h"

#include <QPainter>
#include <QPainterPath>

namespace discforge::skin {
namespace {

constexpr double grid = 20.0;
constexpr double stroke = 1.6;

void Dot(QPainter& painter, QPointF centre, double radius)
{
    const QColor colour = painter.pen().color();
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(centre, radius, radius);
    painter.restore();
}

void Filled(QPainter& painter, const QPainterPath& path)
{
    painter.save();
    painter.setBrush(painter.pen().color());
    painter.drawPath(path);
    painter.restore();
}

QPainterPath Polyline(std::initializer_list<QPointF> points, bool closed)
{
    QPainterPath path;
    bool first = true;
    for (const QPointF& point : points) {
        if (first) {
            path.moveTo(point);
            first = false;
        } else {
            path.lineTo(point);
        }
    }
    if (closed) {
        path.closeSubpath();
    }
    return path;
}

void Play(QPainter& painter) { Filled(painter, Polyline({{6.5, 4.5}, {15.5, 10}, {6.5, 15.5}}, true)); }

void Stop(QPainter& painter)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(5.5, 5.5, 9, 9), 1.2, 1.2);
    Filled(painter, path);
}

void Folder(QPainter& painter)
{
    painter.drawPath(Polyline({{2.5, 15.5}, {2.5, 4.5}, {7.5, 4.5}, {9.5, 6.5}, {17.5, 6.5}, {17.5, 15.5}}, true));
    painter.drawLine(QPointF(2.5, 9), QPointF(17.5, 9));
}

void Pencil(QPainter& painter)
{
    painter.drawPath(Polyline({{3.5, 16.5}, {4.2, 12.8}, {13, 4}, {16, 7}, {7.2, 15.8}}, true));
    painter.drawLine(QPointF(11.2, 5.8), QPointF(14.2, 8.8));
}

void Document(QPainter& painter)
{
    painter.drawPath(Polyline({{4.5, 2.5}, {11.5, 2.5}, {15.5, 6.5}, {15.5, 17.5}, {4.5, 17.5}}, true));
    painter.drawPath(Polyline({{11.5, 2.5}, {11.5, 6.5}, {15.5, 6.5}}, false));
    for (double y : {9.5, 12.0, 14.5}) {
        painter.drawLine(QPointF(7.5, y), QPointF(12.5, y));
    }
}

void Question(QPainter& painter)
{
    painter.drawEllipse(QPointF(10, 10), 7.5, 7.5);
    QPainterPath hook;
    hook.moveTo(7.7, 7.9);
    hook.cubicTo(7.7, 6.5, 8.7, 5.7, 10, 5.7);
    hook.cubicTo(11.4, 5.7, 12.4, 6.6, 12.4, 7.8);
    hook.cubicTo(12.4, 9.4, 10, 9.5, 10, 11.4);
    painter.drawPath(hook);
    Dot(painter, QPointF(10, 14.1), 1.0);
}

void Info(QPainter& painter)
{
    painter.drawEllipse(QPointF(10, 10), 7.5, 7.5);
    painter.drawLine(QPointF(10, 9.2), QPointF(10, 14.2));
    Dot(painter, QPointF(10, 6.4), 1.0);
}

void House(QPainter& painter)
{
    painter.drawPath(Polyline({{2.5, 9.8}, {10, 3.2}, {17.5, 9.8}}, false));
    painter.drawPath(Polyline({{4.8, 8}, {4.8, 16.8}, {15.2, 16.8}, {15.2, 8}}, false));
    painter.drawPath(Polyline({{8.5, 16.8}, {8.5, 12}, {11.5, 12}, {11.5, 16.8}}, false));
}

void Power(QPainter& painter)
{
    QPainterPath arc;
    const QRectF ring(3.5, 4.2, 13, 13);
    arc.arcMoveTo(ring, 125);
    arc.arcTo(ring, 125, 290);
    painter.drawPath(arc);
    painter.drawLine(QPointF(10, 2.5), QPointF(10, 9.5));
}

void Disc(QPainter& painter)
{
    painter.drawEllipse(QPointF(10, 10), 7.5, 7.5);
    painter.drawEllipse(QPointF(10, 10), 2.2, 2.2);
    QPainterPath shine;
    const QRectF ring(5, 5, 10, 10);
    shine.arcMoveTo(ring, 100);
    shine.arcTo(ring, 100, 60);
    painter.drawPath(shine);
}

void Film(QPainter& painter)
{
    painter.drawRoundedRect(QRectF(2.5, 4, 15, 12), 1.5, 1.5);
    painter.drawLine(QPointF(5.5, 4), QPointF(5.5, 16));
    painter.drawLine(QPointF(14.5, 4), QPointF(14.5, 16));
    for (double y : {6.5, 10.0, 13.5}) {
        Dot(painter, QPointF(4, y), 0.55);
        Dot(painter, QPointF(16, y), 0.55);
    }
}

} // namespace

void DrawGlyph(QPainter& painter, Glyph glyph, const QRectF& box, const QColor& colour)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(box.topLeft());
    painter.scale(box.width() / grid, box.height() / grid);
    painter.setPen(QPen(colour, stroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    switch (glyph) {
    case Glyph::play:
        Play(painter);
        break;
    case Glyph::stop:
        Stop(painter);
        break;
    case Glyph::folder:
        Folder(painter);
        break;
    case Glyph::pencil:
        Pencil(painter);
        break;
    case Glyph::document:
        Document(painter);
        break;
    case Glyph::question:
        Question(painter);
        break;
    case Glyph::info:
        Info(painter);
        break;
    case Glyph::house:
        House(painter);
        break;
    case Glyph::power:
        Power(painter);
        break;
    case Glyph::disc:
        Disc(painter);
        break;
    case Glyph::film:
        Film(painter);
        break;
    }
    painter.restore();
}

} // namespace discforge::skin
