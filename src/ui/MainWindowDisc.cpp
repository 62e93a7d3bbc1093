// The window's disc controls: the "make a disc after converting" check box,
// its folder button, the input list's "Author disc…" entry and the shape of the
// disc's frames. The core decides; the window asks for the folder.
#include "ui/TMainWindow.h"

#include "core/ControlIds.h"
#include "ui/FileChooser.h"

#include <QAbstractButton>
#include <QAction>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>

#include <filesystem>

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

// "DVD menu": whether the disc starts on one, the picture behind it, and the
// selected input's name on it.
void TMainWindow::AddDiscMenuChoices(QMenu& menu, int index, bool idle)
{
    const ConversionSettings& settings = core_->Settings();
    QMenu* choices = menu.addMenu(tr("DVD menu"));
    choices->setEnabled(idle && !core_->IsAuthoring());
    QAction* on = choices->addAction(tr("Start the disc on a menu of its titles"));
    on->setCheckable(true);
    on->setChecked(settings.discMenu);
    connect(on, &QAction::triggered, this,
        [this](bool checked) { core_->ChooseDiscMenu(checked, core_->Settings().menuBackground); });
    const QString picture = QString::fromStdString(std::filesystem::path(settings.menuBackground).filename().string());
    QAction* choose
        = choices->addAction(picture.isEmpty() ? tr("Menu picture…") : tr("Menu picture: %1…").arg(picture));
    connect(choose, &QAction::triggered, this, [this] {
        if (const std::optional<std::string> path = services_.files.ChooseMenuPicture()) {
            core_->ChooseDiscMenu(core_->Settings().discMenu, *path);
        }
    });
    QAction* colours = choices->addAction(tr("Menu in the program's colours"));
    colours->setEnabled(!settings.menuBackground.empty());
    connect(colours, &QAction::triggered, this, [this] { core_->ChooseDiscMenu(core_->Settings().discMenu, ""); });
    if (index < 0) {
        return;
    }
    QAction* name = choices->addAction(tr("Title name…"));
    connect(name, &QAction::triggered, this, [this, index] {
        const InputEntry& entry = core_->Inputs().inputTable[static_cast<std::size_t>(index)];
        bool given = false;
        const QString text = QInputDialog::getText(this, tr("Title name"),
            tr("The name of this input's title on the DVD menu (empty: its file name):"), QLineEdit::Normal,
            QString::fromStdString(entry.titleName), &given);
        if (given) {
            core_->NameTitle(index, text.trimmed().toStdString());
        }
    });
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
