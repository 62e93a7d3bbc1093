// The pictures of a DVD menu page, drawn with Qt: the page as the TV shows it
// (background, a thumbnail and a name per title, the row of "Play all"), and the
// marks the subpicture lays over a button when it is highlighted or chosen.
#pragma once

#include "app/MenuLayout.h"
#include "app/MenuPalette.h"

#include <QFont>
#include <QImage>
#include <QString>

#include <array>
#include <memory>
#include <string>
#include <vector>

class QGuiApplication;

namespace discforge {

struct MenuTitle {
    std::string name;
    QImage thumbnail; // as shown (square pixels); null draws an empty frame
};

// Drawing text needs a Qt application that draws; the command line has none, so
// one without a display is made for as long as this lives. Ready() is false
// when another kind of Qt application runs already.
class MenuPainting {
public:
    MenuPainting();
    ~MenuPainting();
    MenuPainting(const MenuPainting&) = delete;
    MenuPainting& operator=(const MenuPainting&) = delete;

    bool Ready() const { return ready_; }
    // The labels' font: DejaVu Sans at the menu's text height.
    QFont Font(const MenuFrame& frame) const;
    // DejaVu Sans as Qt names it, for other text drawn in the disc's look.
    const QString& Family() const { return family_; }

private:
    char name_[10] = "discforge";
    char option_[10] = "-platform";
    char platform_[10] = "offscreen";
    std::array<char*, 4> arguments_{name_, option_, platform_, nullptr};
    int argc_ = 3;
    std::unique_ptr<QGuiApplication> own_;
    bool ready_ = false;
    QString family_;
};

// The page in stored-frame pixels (frame.width x frame.height, RGB32). A null
// `background` gives the program's colours; a picture is scaled to cover the page.
QImage PaintMenuPage(const MenuPainting& painting, const MenuPage& page, const MenuFrame& frame,
    const std::vector<MenuTitle>& titles, const QImage& background);

// A subpicture of the frame's size: transparent, with an outline of `colour`
// round every button (where a 4:3 TV shows them, with `letterbox`).
QImage PaintButtonMarks(const MenuPage& page, const MenuFrame& frame, const MenuColour& colour, bool letterbox);

} // namespace discforge
