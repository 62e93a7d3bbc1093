// The file dialogs as a user meets them: they start in the folder last chosen in,
// kept in the profile from one run to the next, or in the videos folder when there is
// none; and their list shows names, sizes, types and dates whole.
#include "UiTestSupport.h"

#include "platform/ProfileStore.h"
#include "support/TestFolder.h"
#include "ui/FileChooser.h"

#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace discforge::test {
namespace {

namespace fs = std::filesystem;

TEST(StartFolder, IsTheLastFolderThenTheVideosFolderThenHome)
{
    TestFolder folder;
    fs::create_directories(folder.File("last"));
    fs::create_directories(folder.File("Videos"));
    const std::string home = folder.Path();
    EXPECT_EQ(ui::StartFolder(folder.File("last"), folder.File("Videos"), home), folder.File("last"));
    EXPECT_EQ(ui::StartFolder("", folder.File("Videos"), home), folder.File("Videos"));
    EXPECT_EQ(ui::StartFolder(folder.File("removed since"), folder.File("Videos"), home), folder.File("Videos"));
    EXPECT_EQ(ui::StartFolder("", folder.File("no videos"), home), home);
    // A file is no folder to start in.
    std::ofstream(folder.File("clip.avi")) << "x";
    EXPECT_EQ(ui::StartFolder(folder.File("clip.avi"), "", home), home);
}

struct DialogSeen {
    QString folder;
    bool detail = false;
    QSize size;
    std::vector<int> columnWidths;
    std::vector<int> headingWidths; // the width each heading's text needs
    int nameTextWidth = 0; // the width a long file name needs
};

// Notes what the next file dialog shows; `choose`, when given, is then chosen, otherwise the dialog is
// cancelled.
void SeeNextFileDialog(DialogSeen& seen, const QString& choose = QString())
{
    QTimer::singleShot(0, [&seen, choose] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen.folder = dialog->directory().absolutePath();
        seen.detail = dialog->viewMode() == QFileDialog::Detail;
        seen.size = dialog->size();
        if (auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"))) {
            const QHeaderView* header = view->header();
            const QFontMetrics metrics = header->fontMetrics();
            for (int column = 0; column < header->count(); ++column) {
                seen.columnWidths.push_back(header->sectionSize(column));
                seen.headingWidths.push_back(
                    metrics.horizontalAdvance(header->model()->headerData(column, Qt::Horizontal).toString()));
            }
            seen.nameTextWidth = view->fontMetrics().horizontalAdvance(QStringLiteral("summer holiday 2026.avi"));
        }
        if (choose.isEmpty()) {
            dialog->reject();
        } else {
            dialog->selectFile(choose);
            QMetaObject::invokeMethod(dialog, "accept");
        }
    });
}

TEST(FileDialogs, StartWhereTheUserLastChoseAFileAndRememberItInTheProfile)
{
    TestApplication();
    TestFolder folder;
    fs::create_directories(folder.File("first"));
    fs::create_directories(folder.File("second"));
    std::ofstream(folder.File("second/clip.avi")) << "x";
    ProfileStore profile(folder.File("profile.ini"));
    profile.WriteString("Ferrowick Discforge", "lastFolder", folder.File("first"));

    {
        ui::QtFileChooser files(&profile);
        DialogSeen seen;
        SeeNextFileDialog(seen, QString::fromStdString(folder.File("second/clip.avi")));
        const std::optional<std::string> chosen = files.ChooseMediaFile();
        ASSERT_TRUE(chosen);
        EXPECT_EQ(*chosen, folder.File("second/clip.avi"));
        EXPECT_EQ(seen.folder.toStdString(), folder.File("first")) << "the folder the profile remembered";

        // Another dialog of the same run starts in the folder just chosen in.
        DialogSeen output;
        SeeNextFileDialog(output);
        EXPECT_FALSE(files.ChooseOutputFile());
        EXPECT_EQ(output.folder.toStdString(), folder.File("second"));
    }
    profile.Flush();
    EXPECT_EQ(profile.ReadSection("Ferrowick Discforge")["lastFolder"], folder.File("second"));

    // The next run starts there too.
    ui::QtFileChooser nextRun(&profile);
    DialogSeen project;
    SeeNextFileDialog(project);
    EXPECT_FALSE(nextRun.ChooseProjectToOpen());
    EXPECT_EQ(project.folder.toStdString(), folder.File("second"));
}

TEST(FileDialogs, WithNothingRememberedStartInTheVideosFolder)
{
    TestApplication();
    TestFolder home;
    fs::create_directories(home.File("config"));
    fs::create_directories(home.File("Films"));
    std::ofstream(home.File("config/user-dirs.dirs")) << "XDG_VIDEOS_DIR=\"$HOME/Films\"\n";
    const std::string savedHome = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string savedConfigText = savedConfig != nullptr ? savedConfig : "";
    setenv("HOME", home.Path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", home.File("config").c_str(), 1);

    ui::QtFileChooser files;
    DialogSeen seen;
    SeeNextFileDialog(seen);
    EXPECT_FALSE(files.ChooseDiscFolder());

    setenv("HOME", savedHome.c_str(), 1);
    if (savedConfig != nullptr) {
        setenv("XDG_CONFIG_HOME", savedConfigText.c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
    EXPECT_EQ(seen.folder.toStdString(), home.File("Films"));
}

TEST(FileDialogs, ListNamesSizesTypesAndDatesWhole)
{
    TestApplication();
    ui::QtFileChooser files;
    DialogSeen seen;
    SeeNextFileDialog(seen);
    EXPECT_FALSE(files.ChooseMediaFile());
    EXPECT_TRUE(seen.detail);
    ASSERT_EQ(seen.columnWidths.size(), 4u) << "name, size, type, date";
    for (std::size_t column = 0; column < seen.columnWidths.size(); ++column) {
        EXPECT_GE(seen.columnWidths[column], seen.headingWidths[column] + 8) << "column " << column;
    }
    EXPECT_GE(seen.columnWidths[0], seen.nameTextWidth) << "a long file name is read whole";
    // Wider than a date and time in the user's short format.
    const QString date = QLocale().toString(QDateTime(QDate(2026, 12, 31), QTime(23, 59)), QLocale::ShortFormat);
    EXPECT_GE(seen.columnWidths[3], QFontMetrics(QApplication::font()).horizontalAdvance(date));
    EXPECT_GE(seen.size.width(), 640);
}

} // namespace
} // namespace discforge::test
