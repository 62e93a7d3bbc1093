#include "TipsLook.h"

#include <QApplication>
#include <QFont>
#include <QPalette>
#include <QStyleFactory>

namespace discforge::tips {

void UseTipsLook()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const QColor window(0x1f, 0x24, 0x30);
    const QColor text(0xe6, 0xe9, 0xef);
    const QColor accent(0x4c, 0x8d, 0xff);
    const QColor faint(0x5c, 0x65, 0x75);
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, QColor(0x17, 0x1b, 0x24));
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, QColor(0x2e, 0x35, 0x45));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Highlight, accent);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::PlaceholderText, QColor(0x9a, 0xa3, 0xb2));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, faint);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, faint);
    QApplication::setPalette(palette);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    QApplication::setFont(font);
}

} // namespace discforge::tips
