#include "ui/TImageButton.h"

#include <QPainter>
#include <QStyleOptionFocusRect>

#include <utility>

namespace discforge::ui {

TImageButton::TImageButton(int id, QImage faces, QWidget* parent)
    : QAbstractButton(parent)
    , id_(id)
    , faces_(std::move(faces))
{
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

ButtonFace TImageButton::Face() const
{
    if (!isEnabled()) {
        return ButtonFace::disabled;
    }
    if (isDown()) {
        return ButtonFace::pressed;
    }
    return underMouse() ? ButtonFace::hot : ButtonFace::normal;
}

QSize TImageButton::sizeHint() const
{
    return faces_.isNull() ? QSize(24, 24) : QSize(faces_.width() / 4, faces_.height());
}

void TImageButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int w = width();
    const int h = height();
    if (faces_.isNull()) {
        // Without its picture the button still shows where it is and what it does.
        painter.fillRect(rect(), palette().button());
        painter.setPen(palette().buttonText().color());
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        painter.drawText(rect(), Qt::AlignCenter, text());
    } else {
        const int face = static_cast<int>(Face());
        // Unscaled; a picture taller than the button shows its bottom rows.
        painter.drawImage(QPoint(0, h - faces_.height()), faces_, QRect(face * w, 0, w, faces_.height()));
    }
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

} // namespace discforge::ui
