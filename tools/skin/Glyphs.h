// The line icons of the skin, drawn on a 20 x 20 grid and scaled to their box.
#pragma once

#include <QColor>
#include <QRectF>

#include "SkinLayout.h"

class QPainter;

namespace discforge::skin {

void DrawGlyph(QPainter& painter, Glyph glyph, const QRectF& box, const QColor& colour);

} // namespace discforge::skin
