// Files dropped on the window, however many and whatever bytes their names
// hold, and the documents the window hands to the desktop when nothing there
// opens them.
#include "UiTestSupport.h"

#include "core/ControlIds.h"
#include "ui/TMainWindow.h"

#include <gtest/gtest.h>

#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QUrl>

#include <filesystem>
#include <fstream>

namespace discforge::test {
namespace {

void Drop(WindowRig& rig, const QList<QUrl>& urls)
{
    QMimeData files;
    files.setUrls(urls);
    QDropEvent drop(QPointF(300, 20), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    // Straight to the window: outside a real drag Qt's delivery drops it on the way.
    static_cast<QObject&>(rig.Window()).event(&drop);
    rig.Settle();
}

TEST(DroppedFiles, MoreThanTheListHoldsGiveOneMessage)
{
    WindowRig rig;
    // One list file dropped 300 times: the table holds 256 inputs.
    const QUrl list = QUrl::fromLocalFile(QString::fromStdString(rig.MakeList("many.lst", 1)));
    Drop(rig, QList<QUrl>(300, list));
    EXPECT_EQ(rig.Core().Inputs().inputCount, 256);
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].text,
        "The input list holds at most 256 files: the last 44 of the dropped files were not added.");
}

TEST(DroppedFiles, ANameThatIsNotUtf8KeepsItsBytesUpToTheOpen)
{
    WindowRig rig;
    const std::string original = rig.MakeList("plain.lst", 2);
    const std::string latin1 = rig.folder.File("\xe9t\xe9.lst");
    std::filesystem::copy_file(original, latin1);
    // How a file manager names such a file: its bytes percent-encoded.
    const QUrl url(QStringLiteral("file://") + QString::fromStdString(rig.folder.Path()) + QStringLiteral("/%E9t%E9.lst"));
    Drop(rig, {url});
    ASSERT_EQ(rig.Core().Inputs().inputCount, 1) << (rig.messages.shown.empty() ? "" : rig.messages.shown[0].text);
    EXPECT_EQ(rig.Core().Inputs().inputTable[0].path, latin1);
    EXPECT_TRUE(rig.messages.shown.empty());
}

TEST(Opener, HelpHomeAndCheckLogSayWhereTheFileIsWhenNothingOpensIt)
{
    WindowRig rig;
    rig.shell.hasOpener = false;
    rig.Command(control::help);
    rig.Command(control::homePage);
    rig.Command(control::checkLog);
    rig.Settle();
    ASSERT_EQ(rig.messages.shown.size(), 3u);
    EXPECT_EQ(rig.messages.shown[0].text.rfind("No program here opens the user guide. It is at:\n", 0), 0u)
        << rig.messages.shown[0].text;
    EXPECT_EQ(rig.messages.shown[1].text.rfind("No program here opens the home page. It is at:\nhttp", 0), 0u)
        << rig.messages.shown[1].text;
    EXPECT_EQ(rig.messages.shown[2].text.rfind("No program here opens the run log. It is at:\n/", 0), 0u)
        << rig.messages.shown[2].text;
    EXPECT_EQ(rig.shell.openedDocuments.size(), 3u) << "each was offered to the desktop first";

    rig.messages.shown.clear();
    rig.shell.hasOpener = true;
    rig.Command(control::help);
    rig.Settle();
    EXPECT_TRUE(rig.messages.shown.empty());
}

} // namespace
} // namespace discforge::test
