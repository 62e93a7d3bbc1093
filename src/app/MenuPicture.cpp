#include "app/MenuPicture.h"

#include "app/AuthoringMessages.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>

namespace discforge {
namespace {

// Debian's fonts-dejavu-core; the family name finds it when installed elsewhere.
constexpr const char* fontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* fontFamily = "DejaVu Sans";

QColor Colour(const MenuColour& colour) { return QColor(colour.red, colour.green, colour.blue); }

QRect Rect(const MenuRect& rect) { return QRect(rect.x, rect.y, rect.width, rect.height); }

QString Label(const MenuButton& button, const std::vector<MenuTitle>& titles)
{
    switch (button.kind) {
    case MenuButtonKind::title:
        return button.title >= 0 && button.title < static_cast<int>(titles.size())
            ? QString::fromStdString(titles[button.title].name)
            : QString();
    case MenuButtonKind::playAll:
        return menu_text::playAll;
    case MenuButtonKind::previousPage:
        return menu_text::previousPage;
    case MenuButtonKind::nextPage:
        return menu_text::nextPage;
    }
    return {};
}

void PaintBackground(QPainter& painter, const QSize& canvas, const QImage& background)
{
    painter.fillRect(QRect(QPoint(0, 0), canvas), Colour(menu_colour::background));
    if (background.isNull()) {
        return;
    }
    // Cover the page keeping the picture's proportions; what sticks out is cut.
    const QImage scaled = background.scaled(canvas, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    painter.drawImage(QPoint((canvas.width() - scaled.width()) / 2, (canvas.height() - scaled.height()) / 2), scaled);
}

void PaintThumbnail(QPainter& painter, const MenuButton& button, const std::vector<MenuTitle>& titles)
{
    const QRect box = Rect(button.thumbnail);
    painter.fillRect(box, Qt::black);
    if (button.title >= 0 && button.title < static_cast<int>(titles.size())
        && !titles[button.title].thumbnail.isNull()) {
        const QImage picture
            = titles[button.title].thumbnail.scaled(box.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
        painter.drawImage(
            box.topLeft() + QPoint((box.width() - picture.width()) / 2, (box.height() - picture.height()) / 2),
            picture);
    }
    painter.setPen(QPen(Colour(menu_colour::thumbnailFrame), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box.adjusted(-1, -1, 0, 0));
}

// The label on a plate of the palette's own, so that its contrast does not
// depend on a user's picture behind it.
void PaintLabel(QPainter& painter, const MenuButton& button, const QString& text, const QFont& font)
{
    const QRect box = Rect(button.label);
    const QFontMetrics metrics(font);
    const QString shown = metrics.elidedText(text, Qt::ElideRight, box.width() - metrics.averageCharWidth());
    const int plateWidth = std::min(box.width(), metrics.horizontalAdvance(shown) + metrics.averageCharWidth());
    const QRect plate(box.x() + (box.width() - plateWidth) / 2, box.y(), plateWidth, box.height());
    painter.fillRect(plate, Colour(menu_colour::plate));
    painter.setPen(Colour(menu_colour::text));
    painter.setFont(font);
    painter.drawText(box, Qt::AlignCenter, shown);
}

} // namespace

MenuPainting::MenuPainting()
{
    if (QCoreApplication::instance() == nullptr) {
        // Qt keeps the arguments for the application's life: they are members.
        own_ = std::make_unique<QGuiApplication>(argc_, arguments_.data());
    }
    ready_ = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    if (!ready_) {
        return;
    }
    family_ = fontFamily;
    const int loaded = QFontDatabase::addApplicationFont(fontFile);
    if (loaded >= 0 && !QFontDatabase::applicationFontFamilies(loaded).isEmpty()) {
        family_ = QFontDatabase::applicationFontFamilies(loaded).front();
    }
}

QFont MenuPainting::Font(const MenuFrame& frame) const
{
    QFont font(family_);
    font.setPixelSize(MenuTextPixels(frame));
    return font;
}

MenuPainting::~MenuPainting() = default;

QImage PaintMenuPage(const MenuPainting& painting, const MenuPage& page, const MenuFrame& frame,
    const std::vector<MenuTitle>& titles, const QImage& background)
{
    const QSize canvasSize(frame.CanvasWidth(), frame.height);
    QImage canvas(canvasSize, QImage::Format_RGB32);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        PaintBackground(painter, canvasSize, background);
        const QFont font = painting.Font(frame);
        for (const MenuButton& button : page.buttons) {
            if (button.kind == MenuButtonKind::title) {
                PaintThumbnail(painter, button, titles);
            }
            PaintLabel(painter, button, Label(button, titles), font);
        }
    }
    return canvas.scaled(frame.width, frame.height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage PaintButtonMarks(const MenuPage& page, const MenuFrame& frame, const MenuColour& colour, bool letterbox)
{
    QImage marks(frame.width, frame.height, QImage::Format_ARGB32);
    marks.fill(Qt::transparent);
    // Without smoothing: a subpicture has four colours, transparency among them.
    QPainter painter(&marks);
    const int thickness = std::max(2, frame.height / 144 * 2);
    for (const MenuButton& button : page.buttons) {
        const QRect box = Rect(FrameRect(button.area, frame, letterbox));
        painter.fillRect(QRect(box.left(), box.top(), box.width(), thickness), Colour(colour));
        painter.fillRect(QRect(box.left(), box.bottom() + 1 - thickness, box.width(), thickness), Colour(colour));
        painter.fillRect(QRect(box.left(), box.top(), thickness, box.height()), Colour(colour));
        painter.fillRect(QRect(box.right() + 1 - thickness, box.top(), thickness, box.height()), Colour(colour));
    }
    return marks;
}

} // namespace discforge
