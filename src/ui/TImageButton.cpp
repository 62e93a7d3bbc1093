#include "ui/TImageButton.h"

#include <QPainter>
#include <QStyleOptionFocusRect>

#include <algorithm>

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
        const QSize drawn = faceSize_.isValid() ? faceSize_ : size();
        // A picture taller than the button shows its bottom rows.
        const int rows = std::min(drawn.height(), faces_.height());
        const QRect from(face * drawn.width(), faces_.height() - rows, drawn.width(), rows);
        if (drawn == size()) {
            painter.drawImage(QPoint(0, h - rows), faces_, from);
        } else {
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            const double scale = static_cast<double>(h) / drawn.height();
            const QRectF to(0, h - rows * scale, w, rows * scale);
            painter.drawImage(to, faces_, from);
        }
    }
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

} // namespace discforge::ui
