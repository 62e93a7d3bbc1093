// The program: the skinned converter window.
#include "app/AppPaths.h"
#include "encoder/EncoderLibrary.h"
#include "platform/ProfileStore.h"
#include "platform/SystemPower.h"
#include "ui/AppLook.h"
#include "ui/FileChooser.h"
#include "ui/QtFilterDialog.h"
#include "ui/QtMessagePort.h"
#include "ui/QtShell.h"
#include "ui/SkinFolder.h"
#include "ui/SkinPicture.h"
#include "ui/TMordaxApp.h"

#include <QApplication>
#include <QIcon>

#include <unistd.h>

namespace {

// The skin is read under the working directory; started from another folder,
// the program works in the folder of its installed skin.
std::string ChooseWorkingDirectory()
{
    const std::string current = discforge::CurrentWorkingDirectory();
    const std::optional<std::string> folder = discforge::ui::ChooseSkinFolder(
        current, discforge::ui::InstallFolders(QCoreApplication::applicationFilePath().toStdString()));
    if (folder && *folder != current && ::chdir(folder->c_str()) == 0) {
        return *folder;
    }
    return current;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const std::string workingDirectory = ChooseWorkingDirectory();
    QApplication::setWindowIcon(QIcon(QString::fromStdString(workingDirectory + "/ferrowick-discforge.png")));
    // Before any window or message box is made, so that every one of them has the skin's colours.
    discforge::ui::UseSkinLook(
        discforge::ui::LoadSkinPicture(discforge::MakeAppPaths(workingDirectory).skinImagePath[0]));

    discforge::ProfileStore profile;
    discforge::ui::QtMessagePort messages;
    discforge::ui::QtShell shell;
    discforge::SystemPower power;
    discforge::ui::QtFilterDialog filterDialog(messages);
    discforge::ui::QtFileChooser files(&profile);
    discforge::ui::TMordaxApp mordax(
        {{messages, shell, power, filterDialog, files, discforge::EncoderLibrary::defaultName, workingDirectory},
            profile});
    mordax.InitMainWindow();
    messages.SetOwner(mordax.MainWindow());
    files.SetOwner(mordax.MainWindow());
    filterDialog.SetOwner(mordax.MainWindow());
    return mordax.Run();
}
