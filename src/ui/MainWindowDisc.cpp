// The window's disc controls: the "make a disc after converting" check box,
// its folder button, the input list's "Author disc…" entry and the shape of the
// disc's frames. The core decides; the window asks for the folder.
#include "ui/TMainWindow.h"

#include "core/ControlIds.h"
#include "ui/FileChooser.h"

#include <QAbstractButton>

namespace discforge::ui {

void TMainWindow::PlaceDiscControls()
{
    LayoutRect rect;
    QWidget* check = controls_.Find(control::discCheck);
    // A skin without the key keeps the check box hidden.
    if (check != nullptr && ReadLayoutRect(layoutText_, "DiscCheck", rect)) {
        check->setGeometry(QRect(rect.left, rect.top, rect.width, rect.height));
        check->show();
    }
    ShowDiscFolder();
    PlaceShapeControls();
    PlaceDiscSizeControls();
}

void TMainWindow::PlaceShapeControls()
{
    struct ShapeKey {
        const char* key;
        int id;
    };
    // A skin without the keys keeps the choice hidden; it stays automatic unless a project says otherwise.
    for (const ShapeKey shape :
        {ShapeKey{"ShapeAutoRadio", control::shapeAutoRadio}, ShapeKey{"Shape43Radio", control::shapeFourByThreeRadio},
            ShapeKey{"Shape169Radio", control::shapeSixteenByNineRadio}}) {
        LayoutRect rect;
        QWidget* radio = controls_.Find(shape.id);
        if (radio != nullptr && ReadLayoutRect(layoutText_, shape.key, rect)) {
            radio->setGeometry(QRect(rect.left, rect.top, rect.width, rect.height));
            radio->show();
        }
    }
}

void TMainWindow::ShowDiscFolder()
{
    const std::string& folder = core_->Settings().discFolder;
    const QString tip
        = folder.empty() ? tr("Choose the disc folder") : tr("Disc folder: %1").arg(QString::fromStdString(folder));
    for (const int id : {control::discCheck, control::chooseDiscFolder}) {
        for (QWidget* widget : controls_.All(id)) {
            widget->setToolTip(tip);
        }
    }
}

void TMainWindow::CmAuthorDisc(const MessageArgs&)
{
    if (!core_->CanAuthorDisc()) {
        return;
    }
    if (const std::optional<std::string> folder = services_.files.ChooseDiscFolder()) {
        core_->AuthorDiscInto(*folder);
    }
    update();
}

void TMainWindow::CmDiscCheck(const MessageArgs&)
{
    core_->DiscCheckClicked([this] { return services_.files.ChooseDiscFolder(); });
    ShowDiscFolder();
}

void TMainWindow::CmChooseDiscFolder(const MessageArgs&)
{
    core_->ChooseDiscFolder([this] { return services_.files.ChooseDiscFolder(); });
    ShowDiscFolder();
}

} // namespace discforge::ui
