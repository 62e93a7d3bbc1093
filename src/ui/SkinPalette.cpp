#include "ui/SkinPalette.h"

#include <map>

namespace discforge::ui {
namespace {

const QColor accent{0x4c, 0x8d, 0xff};

} // namespace

QColor MainColour(const QImage& picture)
{
    std::map<QRgb, int> counts;
    for (int y = 0; y < picture.height(); y += 4) {
        for (int x = 0; x < picture.width(); x += 4) {
            ++counts[picture.pixel(x, y) | 0xff000000u];
        }
    }
    QRgb main = 0xff000000u;
    int most = 0;
    for (const auto& [colour, count] : counts) {
        if (count > most) {
            most = count;
            main = colour;
        }
    }
    return QColor::fromRgb(main);
}

QPalette SkinPalette(const QImage& background, const QPalette& base)
{
    if (background.isNull()) {
        return base;
    }
    const QColor window = MainColour(background);
    const bool dark = window.lightness() < 128;
    const QColor field = dark ? window.lighter(135) : QColor(Qt::white);
    const QColor text = dark ? QColor(0xe6, 0xe9, 0xef) : QColor(0x20, 0x20, 0x20);
    const QColor muted = dark ? QColor(0x9a, 0xa3, 0xb2) : QColor(0x70, 0x70, 0x70);
    QPalette palette = base;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, field);
    palette.setColor(QPalette::AlternateBase, field.lighter(110));
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, field);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Highlight, accent);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::PlaceholderText, muted);
    palette.setColor(QPalette::Link, dark ? accent.lighter(125) : accent.darker(125));
    palette.setColor(QPalette::ToolTipBase, field);
    palette.setColor(QPalette::ToolTipText, text);
    // The bevels and frames the style draws around buttons, menus and views.
    palette.setColor(QPalette::Light, field.lighter(130));
    palette.setColor(QPalette::Midlight, field.lighter(115));
    palette.setColor(QPalette::Mid, dark ? field.lighter(120) : window.darker(130));
    palette.setColor(QPalette::Dark, window.darker(160));
    palette.setColor(QPalette::Shadow, window.darker(250));
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Disabled, role, muted);
    }
    palette.setColor(QPalette::Disabled, QPalette::Base, window);
    return palette;
}

} // namespace discforge::ui
