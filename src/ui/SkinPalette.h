// The colours of the window's own widgets (list, fields, check boxes) and of
// every dialog, menu and tool tip beside it, taken from the skin's background
// so that they sit calmly on any skin: the background's main colour, fields a
// shade lighter, text that reads on it.
#pragma once

#include <QImage>
#include <QPalette>

namespace discforge::ui {

// The most common colour of the picture; black for a null picture.
QColor MainColour(const QImage& picture);
QPalette SkinPalette(const QImage& background, const QPalette& base);

} // namespace discforge::ui
