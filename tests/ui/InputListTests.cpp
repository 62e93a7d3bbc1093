// The input list as the user handles it with the mouse: its menu shows the
// decoder settings of the selected video input once when asked (and never by
// itself), and the wheel over the list scrolls it without choosing another input.
#include "UiTestSupport.h"

#include "core/ControlIds.h"
#include "support/StreamChecks.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QListWidget>
#include <QMenu>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace discforge::test {
namespace {

std::string MpegFourClip(const std::string& path)
{
    const CommandResult made = RunCommand(
        "ffmpeg -v error -nostdin -y -f lavfi -i testsrc=size=128x96:rate=25:duration=1 -c:v mpeg4 " + Quoted(path));
    EXPECT_EQ(made.exitCode, 0) << made.output;
    return path;
}

// Opens the input list's menu and triggers its entry `text`; false when the
// menu had no such entry or it was disabled.
bool ChooseFromMenu(WindowRig& rig, const QString& text)
{
    bool chosen = false;
    QTimer::singleShot(0, [&chosen, &text] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions()) {
            if (action->text() == text && action->isEnabled()) {
                chosen = true;
                menu->close();
                action->trigger();
                return;
            }
        }
        menu->close();
    });
    QWidget* viewport = rig.Window().InputList()->viewport();
    QContextMenuEvent press(QContextMenuEvent::Mouse, QPoint(5, 5), viewport->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(viewport, &press);
    rig.Settle();
    return chosen;
}

const QString decoderSettings = QStringLiteral("Decoder settings...");
const QString askOnOpen = QStringLiteral("Ask for decoder settings of each file opened");

TEST(InputListMenu, TheDecoderSettingsOfTheSelectedVideoOpenOnceWhenAskedAndNeverByThemselves)
{
    WindowRig rig;
    rig.files.mediaAnswers.push_back(MpegFourClip(rig.folder.File("film.avi")));
    ASSERT_TRUE(rig.Command(command::addInput));
    rig.files.mediaAnswers.push_back(rig.MakeList("pictures.lst", 2));
    ASSERT_TRUE(rig.Command(command::addInput));
    ASSERT_EQ(rig.Core().Inputs().inputCount, 2);
    EXPECT_TRUE(rig.filterDialog.shownChains.empty());

    EXPECT_FALSE(rig.InputListMenuEntries().at(decoderSettings)) << "a list of pictures has no decoder";
    rig.Window().InputList()->setCurrentRow(0);
    rig.Settle();
    EXPECT_TRUE(rig.InputListMenuEntries().at(decoderSettings));
    ASSERT_TRUE(ChooseFromMenu(rig, decoderSettings));
    ASSERT_EQ(rig.filterDialog.shownChains.size(), 1u);
    bool decoderListed = false;
    for (const MediaComponent& component : rig.filterDialog.shownChains[0]) {
        decoderListed = decoderListed || component.name.find("MPEG-4") != std::string::npos;
    }
    EXPECT_TRUE(decoderListed) << "the dialog works on the film's own chain";

    // Selecting inputs, and the Add input of another file, open no dialog by themselves.
    rig.Window().InputList()->setCurrentRow(1);
    rig.Settle();
    rig.Window().InputList()->setCurrentRow(0);
    rig.Settle();
    rig.files.mediaAnswers.push_back(MpegFourClip(rig.folder.File("second.avi")));
    ASSERT_TRUE(rig.Command(command::addInput));
    EXPECT_EQ(rig.filterDialog.shownChains.size(), 1u);

    // The menu turns the question after each open on, which only the profile could before.
    EXPECT_FALSE(rig.Core().Settings().editFilters);
    ASSERT_TRUE(ChooseFromMenu(rig, askOnOpen));
    EXPECT_TRUE(rig.Core().Settings().editFilters);
    rig.files.mediaAnswers.push_back(MpegFourClip(rig.folder.File("third.avi")));
    ASSERT_TRUE(rig.Command(command::addInput));
    EXPECT_EQ(rig.filterDialog.shownChains.size(), 2u) << "asked once for the file just opened";
    rig.Window().InputList()->setCurrentRow(0);
    rig.Settle();
    EXPECT_EQ(rig.filterDialog.shownChains.size(), 2u);
}

TEST(InputListWheel, TheWheelOverTheListScrollsItAndTheSelectedInputStays)
{
    WindowRig rig;
    for (int i = 0; i < 24; ++i) {
        rig.files.mediaAnswers.push_back(rig.MakeList("list" + std::to_string(i) + ".lst", 1));
        ASSERT_TRUE(rig.Command(command::addInput));
    }
    QListWidget& list = *rig.Window().InputList();
    list.setCurrentRow(0);
    rig.Settle();
    ASSERT_EQ(rig.Core().Inputs().selectedInput, 0);
    QScrollBar* bar = list.verticalScrollBar();
    list.scrollToTop();
    ASSERT_GT(bar->maximum(), 0) << "the list is longer than it shows";
    ASSERT_EQ(bar->value(), 0);

    QWidget* viewport = list.viewport();
    const QPointF at(viewport->width() / 2.0, viewport->height() / 2.0);
    for (int turn = 0; turn < 2; ++turn) {
        QWheelEvent wheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
            Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &wheel);
    }
    rig.Settle();
    EXPECT_GT(bar->value(), 0) << "the list scrolled";
    EXPECT_EQ(list.currentRow(), 0);
    EXPECT_EQ(rig.Core().Inputs().selectedInput, 0) << "the wheel chose no other input";
    EXPECT_EQ(rig.Core().Inputs().inputCount, 24);
}

} // namespace
} // namespace discforge::test
