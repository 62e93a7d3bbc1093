// The file dialogs of the open-input, output-file, project and disc-folder commands. Each remembers
// the last file chosen through it; one that has none yet starts in the folder the user last chose
// anything in (kept in the profile across runs), else in the user's videos folder. No extension is
// imposed.
#pragma once

#include <QString>
#include <QUrl>

#include <optional>
#include <string>

class QFileDialog;
class QWidget;

namespace discforge {
class ProfileStore;
}

namespace discforge::ui {

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // A video file or a picture list to open; none when the user cancelled.
    virtual std::optional<std::string> ChooseMediaFile() = 0;
    // The MPEG file to write; none when the user cancelled.
    virtual std::optional<std::string> ChooseOutputFile() = 0;
    // The project file to write, or an existing one to read; none when the user cancelled.
    virtual std::optional<std::string> ChooseProjectToSave() = 0;
    virtual std::optional<std::string> ChooseProjectToOpen() = 0;
    // The folder a disc is written into; none when the user cancelled.
    virtual std::optional<std::string> ChooseDiscFolder() = 0;
    // The picture behind a DVD menu; none when the user cancelled.
    virtual std::optional<std::string> ChooseMenuPicture() = 0;
};

// The filters and titles, as the dialogs show them.
// The bytes of a dropped file's path as the file system holds them: a name
// that is not UTF-8 keeps its bytes (a QString would have replaced them).
std::string LocalPathBytes(const QUrl& url);

QString MediaFileFilter();
QString OutputFileFilter();
QString MediaFileTitle();
QString OutputFileTitle();
QString ProjectFileFilter();
QString SaveProjectTitle();
QString OpenProjectTitle();
QString DiscFolderTitle();
QString MenuPictureFilter();
QString MenuPictureTitle();

// The first of the folders that exists: the last folder chosen in, the videos folder, the home folder.
std::string StartFolder(const std::string& lastFolder, const std::string& videosFolder, const std::string& home);

// The file list in details, its name column taking the room the others leave, beside places
// wide enough for their names, in a dialog large enough that names and dates are read whole.
void MakeColumnsReadable(QFileDialog& dialog);

class QtFileChooser final : public FileChooser {
public:
    // Without a profile the last folder is kept for this run only.
    explicit QtFileChooser(ProfileStore* profile = nullptr, QWidget* owner = nullptr);
    void SetOwner(QWidget* owner) { owner_ = owner; }
    std::optional<std::string> ChooseMediaFile() override;
    std::optional<std::string> ChooseOutputFile() override;
    std::optional<std::string> ChooseProjectToSave() override;
    std::optional<std::string> ChooseProjectToOpen() override;
    std::optional<std::string> ChooseDiscFolder() override;
    std::optional<std::string> ChooseMenuPicture() override;

private:
    std::optional<std::string> Run(QFileDialog& dialog, std::string& last);

    ProfileStore* profile_;
    QWidget* owner_;
    std::string lastFolder_;
    std::string lastMediaFile_;
    std::string lastOutputFile_;
    std::string lastSavedProject_;
    std::string lastOpenedProject_;
    std::string lastDiscFolder_;
    std::string lastMenuPicture_;
};

} // namespace discforge::ui
