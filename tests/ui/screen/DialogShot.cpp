// discforge-dialogshot SKINFOLDER file-dialog|message-box PATH: on the X display in DISPLAY, shows
// the program's file dialog or a message box in the look of the skin under SKINFOLDER,
// as the program does, and saves what the screen shows of it as a PNG picture.
#include "ui/AppLook.h"
#include "ui/FileChooser.h"
#include "ui/QtMessagePort.h"
#include "ui/SkinFolder.h"
#include "ui/SkinPicture.h"

#include <QApplication>
#include <QDialog>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <memory>
#include <string>

namespace {

// Once the dialog is on the screen and has had a moment to draw itself: the screen
// inside its frame, then the dialog closes. A loaded machine may take long to get there.
void ShootAndClose(const QString& path, bool& saved)
{
    auto* watch = new QTimer(QApplication::instance());
    auto exposedTicks = std::make_shared<int>(0);
    QObject::connect(watch, &QTimer::timeout, [watch, exposedTicks, path, &saved] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        const bool exposed
            = dialog != nullptr && dialog->windowHandle() != nullptr && dialog->windowHandle()->isExposed();
        *exposedTicks = exposed ? *exposedTicks + 1 : 0;
        if (*exposedTicks < 3) {
            return;
        }
        watch->stop();
        const QRect frame = dialog->frameGeometry();
        saved = dialog->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()).save(path, "PNG");
        dialog->reject();
    });
    watch->start(250);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: discforge-dialogshot SKINFOLDER file-dialog|message-box PATH\n");
        return 2;
    }
    QApplication application(argc, argv);
    discforge::ui::UseSkinLook(discforge::ui::LoadSkinPicture(discforge::ui::SkinFile(argv[1], "interface.jpg")));
    const std::string kind = argv[2];
    bool saved = false;
    ShootAndClose(QString::fromLocal8Bit(argv[3]), saved);
    if (kind == "file-dialog") {
        discforge::ui::QtFileChooser files;
        files.ChooseMediaFile();
    } else {
        discforge::ui::QtMessagePort messages;
        messages.ShowBox(
            "Cannot open holiday.avi: the file is not a video.", "Ferrowick Discforge", discforge::MessageIcon::Error);
    }
    return saved ? 0 : 1;
}
