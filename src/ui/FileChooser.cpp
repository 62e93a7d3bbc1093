#include "ui/FileChooser.h"

#include "core/AppIdentity.h"
#include "platform/ProfileStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLocale>
#include <QScreen>
#include <QSplitter>
#include <QStandardPaths>
#include <QStringList>
#include <QTreeView>

#include <algorithm>
#include <filesystem>
#include <map>

namespace discforge::ui {
namespace {

// Every container the media layer reads, and the program's picture lists.
constexpr const char* videoPatterns = "*.avi *.avs *.mpg *.mpeg *.m2p *.vob *.ps *.ts *.m2ts *.mts *.mp4 *.m4v "
                                      "*.mov *.3gp *.mkv *.webm *.wmv *.asf *.flv *.ogv *.dv *.lst";

// The profile key of the folder the user last chose something in.
constexpr const char* lastFolderKey = "lastFolder";

QString Title(const char* purpose) { return QString::fromUtf8(appTitle) + QLatin1String(" - ") + purpose; }

bool IsFolder(const std::string& path)
{
    std::error_code error;
    return !path.empty() && std::filesystem::is_directory(path, error);
}

std::string RememberedFolder(const ProfileStore* profile)
{
    if (profile == nullptr) {
        return {};
    }
    const std::map<std::string, std::string> keys = profile->ReadSection(appTitle);
    const auto found = keys.find(lastFolderKey);
    return found != keys.end() ? found->second : std::string();
}

// The widest of the texts in the font, with room for the header's margins and sort mark.
int ColumnWidth(const QFontMetrics& metrics, std::initializer_list<QString> texts)
{
    int widest = 0;
    for (const QString& text : texts) {
        widest = std::max(widest, metrics.horizontalAdvance(text));
    }
    return widest + 3 * metrics.horizontalAdvance(QLatin1Char('M'));
}

} // namespace

std::string StartFolder(const std::string& lastFolder, const std::string& videosFolder, const std::string& home)
{
    for (const std::string* folder : {&lastFolder, &videosFolder}) {
        if (IsFolder(*folder)) {
            return *folder;
        }
    }
    return home;
}

void MakeColumnsReadable(QFileDialog& dialog)
{
    dialog.setViewMode(QFileDialog::Detail);
    const QFontMetrics metrics = dialog.fontMetrics();
    const int em = metrics.horizontalAdvance(QLatin1Char('M'));
    QSize size = dialog.size().expandedTo(QSize(84 * em, 42 * em));
    if (const QScreen* screen = dialog.screen()) {
        size = size.boundedTo(screen->availableGeometry().size());
    }
    dialog.resize(size);
    // The places beside the list show their names whole.
    if (auto* splitter = dialog.findChild<QSplitter*>(QStringLiteral("splitter")); splitter && splitter->count() == 2) {
        splitter->setSizes({16 * em, size.width() - 16 * em});
    }
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (view == nullptr) {
        return;
    }
    QHeaderView* header = view->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    const QString date = QLocale().toString(QDateTime(QDate(2026, 12, 31), QTime(23, 59)), QLocale::ShortFormat);
    const int widths[] = {
        ColumnWidth(metrics, {header->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("1023.9 MiB")}),
        ColumnWidth(metrics,
            {header->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("plain text document")}),
        ColumnWidth(metrics, {header->model()->headerData(3, Qt::Horizontal).toString(), date}),
    };
    for (int column = 1; column <= 3 && column < header->count(); ++column) {
        header->setSectionResizeMode(column, QHeaderView::Interactive);
        header->resizeSection(column, widths[column - 1]);
    }
}

QtFileChooser::QtFileChooser(ProfileStore* profile, QWidget* owner)
    : profile_(profile)
    , owner_(owner)
    , lastFolder_(RememberedFolder(profile))
{
}

std::optional<std::string> QtFileChooser::Run(QFileDialog& dialog, std::string& last)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    MakeColumnsReadable(dialog);
    if (!last.empty()) {
        dialog.selectFile(QFile::decodeName(QByteArray::fromStdString(last)));
    } else {
        dialog.setDirectory(QString::fromStdString(
            StartFolder(lastFolder_, QStandardPaths::writableLocation(QStandardPaths::MoviesLocation).toStdString(),
                QDir::homePath().toStdString())));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    last = QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
    const QFileInfo chosen(QFile::decodeName(QByteArray::fromStdString(last)));
    lastFolder_ = QFile::encodeName(
        dialog.fileMode() == QFileDialog::Directory ? chosen.absoluteFilePath() : chosen.absolutePath())
                      .toStdString();
    if (profile_ != nullptr) {
        profile_->WriteString(appTitle, lastFolderKey, lastFolder_);
    }
    return last;
}

std::string LocalPathBytes(const QUrl& url)
{
    const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    return bytes.toStdString();
}

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

QString MenuPictureTitle() { return Title("picture behind the DVD menu"); }

QString MenuPictureFilter()
{
    return QStringList{QStringLiteral("Pictures (*.png *.jpg *.jpeg *.bmp *.gif)"), QStringLiteral("All Files (*)")}
        .join(QLatin1String(";;"));
}

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

std::optional<std::string> QtFileChooser::ChooseMenuPicture()
{
    QFileDialog dialog(owner_, MenuPictureTitle(), QString(), MenuPictureFilter());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return Run(dialog, lastMenuPicture_);
}

} // namespace discforge::ui
