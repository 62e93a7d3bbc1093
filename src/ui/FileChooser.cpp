#include "ui/FileChooser.h"

#include "core/AppIdentity.h"

#include <QFileDialog>
#include <QStringList>

namespace discforge::ui {
namespace {

// Every container the media layer reads, and the program's picture lists.
constexpr const char* videoPatterns = "*.avi *.avs *.mpg *.mpeg *.m2p *.vob *.ps *.ts *.m2ts *.mts *.mp4 *.m4v "
                                      "*.mov *.3gp *.mkv *.webm *.wmv *.asf *.flv *.ogv *.dv *.lst";

QString Title(const char* purpose) { return QString::fromUtf8(appTitle) + QLatin1String(" - ") + purpose; }

std::optional<std::string> Run(QFileDialog& dialog, std::string& last)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (!last.empty()) {
        dialog.selectFile(QString::fromStdString(last));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    last = dialog.selectedFiles().constFirst().toStdString();
    return last;
}

} // namespace

QString MediaFileFilter()
{
    return QStringList{QStringLiteral("All video files and picture lists (%1)").arg(QLatin1String(videoPatterns)),
        QStringLiteral("All Supported Types (*.avi *.avs)"), QStringLiteral("AVI Files (*.avi)"),
        QStringLiteral("AVS Files (*.avs)"), QStringLiteral("Picture lists of BMP, PCX, GIF, Targa, JPEG or PNG files (*.lst)"), QStringLiteral("All Files (*)")}
        .join(QLatin1String(";;"));
}

QString OutputFileFilter()
{
    return QStringList{QStringLiteral("MPEG Program Streams (*.mpg *.m2p)"),
        QStringLiteral("MPEG-2 Program Streams (*.m2p)"), QStringLiteral("MPEG Program Streams (*.mpg)"),
        QStringLiteral("Video Object Units (*.vob)"), QStringLiteral("All Files (*)")}
        .join(QLatin1String(";;"));
}

QString ProjectFileFilter()
{
    return QStringList{QStringLiteral("Mordax2 project files (*.MDP *.mdp)"), QStringLiteral("All Files (*)")}.join(
        QLatin1String(";;"));
}

QString MediaFileTitle() { return Title("open media file or list of images"); }

QString OutputFileTitle() { return Title("output MPEG program stream"); }

QString SaveProjectTitle() { return Title("save project file"); }

QString OpenProjectTitle() { return Title("open project file"); }

QString DiscFolderTitle() { return Title("folder of the disc"); }

std::optional<std::string> QtFileChooser::ChooseMediaFile()
{
    QFileDialog dialog(owner_, MediaFileTitle(), QString(), MediaFileFilter());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return Run(dialog, lastMediaFile_);
}

std::optional<std::string> QtFileChooser::ChooseOutputFile()
{
    QFileDialog dialog(owner_, OutputFileTitle(), QString(), OutputFileFilter());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::ReadOnly, false);
    return Run(dialog, lastOutputFile_);
}

std::optional<std::string> QtFileChooser::ChooseProjectToSave()
{
    // Qt asks before overwriting a file that exists.
    QFileDialog dialog(owner_, SaveProjectTitle(), QString(), ProjectFileFilter());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    return Run(dialog, lastSavedProject_);
}

std::optional<std::string> QtFileChooser::ChooseProjectToOpen()
{
    QFileDialog dialog(owner_, OpenProjectTitle(), QString(), ProjectFileFilter());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return Run(dialog, lastOpenedProject_);
}

std::optional<std::string> QtFileChooser::ChooseDiscFolder()
{
    QFileDialog dialog(owner_, DiscFolderTitle());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    return Run(dialog, lastDiscFolder_);
}

} // namespace discforge::ui
