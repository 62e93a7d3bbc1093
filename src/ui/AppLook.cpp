#include "ui/AppLook.h"

#include "ui/SkinPalette.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>
#include <QToolTip>

namespace discforge::ui {

void UseSkinLook(const QImage& background)
{
    if (background.isNull()) {
        return;
    }
    // The platform's own style may draw with the desktop theme's colours and
    // ignore the palette; Fusion draws with the palette alone.
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
        QApplication::setStyle(fusion);
    }
    const QPalette palette = SkinPalette(background, QApplication::palette());
    QApplication::setPalette(palette);
    QToolTip::setPalette(palette);
}

} // namespace discforge::ui
