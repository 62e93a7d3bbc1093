// The file dialogs of the open-input, output-file, project and disc-folder commands. Each remembers
// the last file chosen through it; no folder or extension is imposed.
#pragma once

#include <QString>
#include <QUrl>

#include <optional>
#include <string>

class QWidget;

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

class QtFileChooser final : public FileChooser {
public:
    explicit QtFileChooser(QWidget* owner = nullptr)
        : owner_(owner)
    {
    }
    void SetOwner(QWidget* owner) { owner_ = owner; }
    std::optional<std::string> ChooseMediaFile() override;
    std::optional<std::string> ChooseOutputFile() override;
    std::optional<std::string> ChooseProjectToSave() override;
    std::optional<std::string> ChooseProjectToOpen() override;
    std::optional<std::string> ChooseDiscFolder() override;

private:
    QWidget* owner_;
    std::string lastMediaFile_;
    std::string lastOutputFile_;
    std::string lastSavedProject_;
    std::string lastOpenedProject_;
    std::string lastDiscFolder_;
};

} // namespace discforge::ui
