#include "SkinStyle.h"

#include <QFontDatabase>
#include <QString>

namespace discforge::skin {

QFont SkinFont(int pixels, bool bold)
{
    QFont font(fontFamily);
    font.setPixelSize(pixels);
    font.setBold(bold);
    // Grey-scale edges only: colour fringes would smear in the JPEG files.
    font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
    return font;
}

QFont FontFor(TextStyle style)
{
    switch (style) {
    case TextStyle::title:
        return SkinFont(largeTextPixels, true);
    case TextStyle::heading:
        return SkinFont(smallTextPixels, true);
    case TextStyle::caption:
    case TextStyle::hint:
        break;
    }
    return SkinFont(smallTextPixels, false);
}

QColor ColourFor(TextStyle style)
{
    switch (style) {
    case TextStyle::title:
    case TextStyle::caption:
        return colour::text;
    case TextStyle::heading:
    case TextStyle::hint:
        break;
    }
    return colour::muted;
}

bool LoadSkinFonts()
{
    const QString folder = QStringLiteral("/usr/share/fonts/truetype/dejavu/");
    return QFontDatabase::addApplicationFont(folder + QStringLiteral("DejaVuSans.ttf")) >= 0
        && QFontDatabase::addApplicationFont(folder + QStringLiteral("DejaVuSans-Bold.ttf")) >= 0;
}

} // namespace discforge::skin
