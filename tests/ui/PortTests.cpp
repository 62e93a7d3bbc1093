// The window's own ports and start-up: message boxes with the caption as
// composed, the cancel dialog and its Cancel, an encoder library that cannot be
// used, the tips, dropped files, and an idle window that sets no timer going.
#include "UiTestSupport.h"

#include "core/ControlIds.h"
#include "core/ShowMessage.h"
#include "mediagen/MediaGen.h"
#include "ui/QtCancelDialog.h"
#include "ui/QtMessagePort.h"
#include "ui/ResponseTable.h"

#include <QApplication>
#include <QDialog>
#include <QDropEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

namespace discforge::test {
namespace {

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
};

// Answers the next message box with `button` and tells what it showed.
void AnswerNextBox(SeenBox& seen, QMessageBox::StandardButton button)
{
    QTimer::singleShot(0, qApp, [&seen, button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = {box->windowTitle(), box->text(), box->icon(), static_cast<int>(box->buttons().size())};
        box->button(button)->click();
    });
}

TEST(QtMessagePort, ABoxHasTheComposedCaptionOneOkButtonAndNoIcon)
{
    TestApplication();
    ui::QtMessagePort port;
    SeenBox seen;
    AnswerNextBox(seen, QMessageBox::Ok);
    ShowMessage(port, "Max File size range is (1M .. 4096M).", "invalid entry");
    EXPECT_EQ(seen.title, "Ferrowick Discforge - invalid entry");
    EXPECT_EQ(seen.text, "Max File size range is (1M .. 4096M).");
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, 1);

    AnswerNextBox(seen, QMessageBox::Ok);
    ShowMessage(port, "text", "");
    EXPECT_EQ(seen.title, "Ferrowick Discforge") << "an empty context shows the title alone";

    AnswerNextBox(seen, QMessageBox::No);
    EXPECT_FALSE(port.AskYesNo("Cancel it?", "caption"));
    EXPECT_EQ(seen.buttons, 2);
    AnswerNextBox(seen, QMessageBox::Yes);
    EXPECT_TRUE(port.AskYesNo("Cancel it?", "caption"));
}

TEST(QtCancelDialog, ShowsItsTwoLinesAndCancelSetsTheFlagAndCloses)
{
    TestApplication();
    bool cancelRequested = false;
    QWidget owner;
    ui::QtCancelDialog dialog(cancelRequested, &owner);
    ASSERT_TRUE(dialog.Create());
    auto* window = owner.findChild<QDialog*>(ui::QtCancelDialog::objectNameText);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Mordax2 - waiting for frame update");
    dialog.SetCaption("Mordax2 - Opening file");
    dialog.SetUpperText("Opening file clip.avi");
    dialog.SetStatusText("Seeking for frame ...");
    EXPECT_EQ(window->windowTitle(), "Mordax2 - Opening file");
    EXPECT_EQ(window->findChild<QLabel*>(ui::QtCancelDialog::upperNameText)->text(), "Opening file clip.avi");
    EXPECT_EQ(window->findChild<QLabel*>(ui::QtCancelDialog::statusNameText)->text(), "Seeking for frame ...");

    window->findChild<QPushButton*>()->click();
    EXPECT_TRUE(cancelRequested);
    EXPECT_TRUE(dialog.WasCancelled());
    EXPECT_FALSE(window->isVisible());
}

TEST(QtCancelDialog, ItsCancelStaysUsableWhileAnOpenDisablesTheWindowAndStopsTheOpen)
{
    WindowRig rig;
    mediagen::AviRecipe recipe;
    recipe.path = rig.folder.File("clip.avi");
    recipe.frames = 10;
    std::string error;
    ASSERT_TRUE(mediagen::WriteAvi(recipe, error)) << error;
    rig.files.mediaAnswers.push_back(recipe.path);
    bool probed = false;
    // Runs at the first events the open pumps.
    QMetaObject::invokeMethod(
        &rig.Window(),
        [&] {
            auto* dialog = rig.Frame().findChild<QDialog*>(ui::QtCancelDialog::objectNameText);
            ASSERT_NE(dialog, nullptr);
            EXPECT_TRUE(dialog->isVisible());
            EXPECT_FALSE(rig.Window().isEnabled()) << "the window waits for the open";
            auto* cancel = dialog->findChild<QPushButton*>();
            ASSERT_TRUE(cancel->isEnabled());
            QTest::mouseClick(cancel, Qt::LeftButton);
            probed = true;
        },
        Qt::QueuedConnection);
    ASSERT_TRUE(rig.Command(control::openInput));
    EXPECT_TRUE(probed);
    EXPECT_EQ(rig.Core().Inputs().inputCount, 0) << "the open was cancelled";
    EXPECT_TRUE(rig.Window().isEnabled());
}

TEST(Startup, AnEncoderWithoutSetFocusIsToldAndClosesAndIsStillShutDown)
{
    FakeEncoder setFocusMissing("omit_setfocus");
    WindowRig rig(FullLayout(), setFocusMissing.Path());
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].text, "Can not initialize convert.dll, error 3.");
    EXPECT_EQ(rig.messages.shown[0].caption, "Ferrowick Discforge - startup convert.dll error");
    EXPECT_TRUE(rig.WaitFor([&] { return !rig.FrameOpen(); }, 5));
    rig.app.reset();
    const std::vector<std::string> calls = setFocusMissing.Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "shutdown"), 1) << "it had been resolved";
}

TEST(Startup, AMissingEncoderLibraryIsToldWithTheSystemsReasonAndCloses)
{
    WindowRig rig(FullLayout(), "/nonexistent/libconvert.so");
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].caption, "startup convert.dll error") << "without the title";
    EXPECT_EQ(rig.messages.shown[0].icon, MessageIcon::Error);
    EXPECT_TRUE(rig.WaitFor([&] { return !rig.FrameOpen(); }, 5));
}

TEST(Idle, NoTimerRunsOnceTheWindowHasSettledAndBeenPainted)
{
    WindowRig rig;
    ASSERT_TRUE(rig.WaitFor([&] { return !rig.Window().TimerRunning(ui::timer::endTopmost); }, 5));
    rig.Window().repaint();
    rig.Window().grab();
    rig.Settle();
    for (const int id : {ui::timer::repaintPreviews, ui::timer::endTopmost, ui::timer::startTips}) {
        EXPECT_FALSE(rig.Window().TimerRunning(id)) << "timer " << id << " after a paint";
    }
}

TEST(DroppedFiles, AreAddedAsInputsAfterTheOnesThere)
{
    WindowRig rig;
    rig.files.mediaAnswers.push_back(rig.MakeList("first.lst", 2));
    ASSERT_TRUE(rig.Command(control::openInput));
    const std::string second = rig.MakeList("second.lst", 2);
    const std::string third = rig.MakeList("third.lst", 2);
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QString::fromStdString(second)),
        QUrl::fromLocalFile(QString::fromStdString(third)), QUrl(QStringLiteral("https://example.org/clip.avi"))});
    QDropEvent drop(QPointF(300, 20), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    // Straight to the window: outside a real drag Qt's delivery drops it on the way.
    static_cast<QObject&>(rig.Window()).event(&drop);
    ASSERT_EQ(rig.Core().Inputs().inputCount, 3);
    EXPECT_EQ(rig.Window().InputList()->item(1)->toolTip().toStdString(), second);
    EXPECT_EQ(rig.Window().InputList()->item(2)->toolTip().toStdString(), third);
    EXPECT_EQ(rig.Window().InputList()->item(2)->text(), QStringLiteral("third.lst"));
    EXPECT_EQ(rig.Core().Inputs().selectedInput, 2);
}

} // namespace
} // namespace discforge::test
