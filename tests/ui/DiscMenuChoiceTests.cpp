// The input list's "DVD menu" entry: the menu switched off and on, a picture
// chosen behind it and taken away again, and the selected input's title named.
#include "UiTestSupport.h"

#include "core/ControlIds.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QInputDialog>
#include <QListWidget>
#include <QMenu>
#include <QTimer>

#include <gtest/gtest.h>

namespace discforge::test {
namespace {

// Opens the input list's menu and triggers the line of "DVD menu" whose text
// starts with `line`; a title name dialog that opens is answered with `answer`.
// Returns the texts of the entry's lines as they were shown.
QStringList ChooseDiscMenuLine(WindowRig& rig, const QString& line, const QString& answer = {})
{
    QStringList shown;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->menu() == nullptr || action->text() != QStringLiteral("DVD menu")) {
                continue;
            }
            for (QAction* entry : action->menu()->actions()) {
                shown << entry->text();
                if (!line.isEmpty() && entry->text().startsWith(line) && entry->isEnabled()) {
                    chosen = entry;
                }
            }
        }
        menu->close();
        if (chosen != nullptr) {
            QTimer::singleShot(0, [&answer] {
                if (auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
                    dialog->setTextValue(answer);
                    dialog->accept();
                }
            });
            chosen->trigger();
        }
    });
    QWidget* viewport = rig.Window().InputList()->viewport();
    QContextMenuEvent press(QContextMenuEvent::Mouse, QPoint(5, 5), viewport->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(viewport, &press);
    rig.Settle();
    return shown;
}

TEST(DiscMenuChoice, TheMenuIsSwitchedAndItsPictureChosenAndTakenAway)
{
    WindowRig rig;
    ASSERT_TRUE(rig.Core().Settings().discMenu) << "new work gets a menu";
    const QStringList lines = ChooseDiscMenuLine(rig, QStringLiteral("Start the disc on a menu"));
    EXPECT_TRUE(lines.contains(QStringLiteral("Menu picture…"))) << lines.join(", ").toStdString();
    EXPECT_FALSE(lines.contains(QStringLiteral("Title name…"))) << "no input is selected";
    EXPECT_FALSE(rig.Core().Settings().discMenu);
    ChooseDiscMenuLine(rig, QStringLiteral("Start the disc on a menu"));
    EXPECT_TRUE(rig.Core().Settings().discMenu);

    rig.files.pictureAnswers.push_back(rig.folder.File("beach.jpg"));
    ChooseDiscMenuLine(rig, QStringLiteral("Menu picture"));
    EXPECT_EQ(rig.Core().Settings().menuBackground, rig.folder.File("beach.jpg"));
    EXPECT_TRUE(ChooseDiscMenuLine(rig, {}).contains(QStringLiteral("Menu picture: beach.jpg…")));
    rig.files.pictureAnswers.push_back(std::nullopt);
    ChooseDiscMenuLine(rig, QStringLiteral("Menu picture"));
    EXPECT_EQ(rig.Core().Settings().menuBackground, rig.folder.File("beach.jpg")) << "a cancel keeps the picture";
    ChooseDiscMenuLine(rig, QStringLiteral("Menu in the program's colours"));
    EXPECT_EQ(rig.Core().Settings().menuBackground, "");
}

TEST(DiscMenuChoice, TheSelectedInputsTitleIsNamed)
{
    WindowRig rig;
    rig.files.mediaAnswers.push_back(rig.MakeList("holiday.lst", 2));
    ASSERT_TRUE(rig.Command(command::addInput));
    ASSERT_EQ(rig.Core().Inputs().selectedInput, 0);
    ChooseDiscMenuLine(rig, QStringLiteral("Title name"), QStringLiteral("  Summer & \"Sun\"  "));
    EXPECT_EQ(rig.Core().Inputs().inputTable[0].titleName, "Summer & \"Sun\"");
    ChooseDiscMenuLine(rig, QStringLiteral("Title name"), QString());
    EXPECT_EQ(rig.Core().Inputs().inputTable[0].titleName, "") << "an empty name is the file name again";
}

} // namespace
} // namespace discforge::test
