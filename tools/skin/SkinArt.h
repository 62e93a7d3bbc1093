// The pictures of the skin, each drawn from the layout at a whole-number scale.
// Every picture carries its scale as device pixel ratio, so its pixel size is the
// layout size times the scale.
#pragma once

#include <QImage>

#include "SkinLayout.h"

class QPainter;
class QRectF;

namespace discforge::skin {

QImage PaintBackground(const SkinLayout& layout, int scale);

// The four faces side by side: normal, pressed, hot, disabled. Each face starts
// from the background under the button, so rounded corners blend into it.
QImage PaintButtonStrip(const SkinLayout& layout, const ButtonArt& art, const QImage& background, int scale);

QImage PaintPlaceholder(const Box& box, Glyph glyph, int scale);

QImage PaintAppIcon(int pixels);
void DrawAppMark(QPainter& painter, const QRectF& box);

} // namespace discforge::skin
