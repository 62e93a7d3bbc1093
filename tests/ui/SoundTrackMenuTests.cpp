// The input list's sound entry: it names the track an input plays, as "Sound: 2 of
// 3 (deu, 5.1)", and choosing another track from it makes that one play.
#include "UiTestSupport.h"

#include "core/ControlIds.h"
#include "support/StreamChecks.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QListWidget>
#include <QMenu>
#include <QTimer>

#include <gtest/gtest.h>

namespace discforge::test {
namespace {

// Three AC-3 tracks; the second, German and 5.1, is marked as the default.
std::string ThreeTrackClip(const std::string& path)
{
    const CommandResult made
        = RunCommand("ffmpeg -v error -nostdin -y -f lavfi -i testsrc=size=96x64:rate=25:duration=2 "
                     "-f lavfi -i sine=frequency=400:duration=2 -f lavfi -i sine=frequency=1000:duration=2 "
                     "-f lavfi -i sine=frequency=2500:duration=2 -map 0:v -map 1:a -map 2:a -map 3:a "
                     "-c:v mjpeg -c:a ac3 -ac:a:1 6 -metadata:s:a:1 language=deu -disposition:a:0 0 "
                     "-disposition:a:1 default -disposition:a:2 0 "
            + Quoted(path));
    EXPECT_EQ(made.exitCode, 0) << made.output;
    return path;
}

// Opens the input list's menu and, when `choose` names a line of its sound entry,
// picks it; returns the sound entry's title and whether it was enabled.
std::pair<QString, bool> SoundEntry(WindowRig& rig, const QString& choose = {})
{
    std::pair<QString, bool> entry;
    QTimer::singleShot(0, [&entry, &choose] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions()) {
            if (action->menu() != nullptr && action->text().startsWith(QStringLiteral("Sound: "))) {
                entry = {action->text(), action->isEnabled()};
                for (QAction* line : action->menu()->actions()) {
                    if (line->text() == choose) {
                        line->trigger();
                    }
                }
            }
        }
        menu->close();
    });
    QWidget* viewport = rig.Window().InputList()->viewport();
    QContextMenuEvent press(QContextMenuEvent::Mouse, QPoint(5, 5), viewport->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(viewport, &press);
    rig.Settle();
    return entry;
}

TEST(SoundTrackMenu, NamesTheTrackPlayedAndPlaysTheOneChosen)
{
    WindowRig rig;
    rig.files.mediaAnswers.push_back(ThreeTrackClip(rig.folder.File("three.mkv")));
    ASSERT_TRUE(rig.Command(command::addInput));
    ASSERT_EQ(rig.Core().Inputs().inputCount, 1);
    const auto shown = SoundEntry(rig);
    EXPECT_EQ(shown.first, QStringLiteral("Sound: 2 of 3 (deu, 5.1)"));
    EXPECT_TRUE(shown.second);

    SoundEntry(rig, QStringLiteral("Track 3: und, mono, ac3"));
    EXPECT_EQ(rig.Core().Inputs().inputTable[0].playedTrack, 3);
    EXPECT_EQ(SoundEntry(rig).first, QStringLiteral("Sound: 3 of 3 (und, mono)"));
    EXPECT_NE(rig.Core().Log().Text().find("Sound track 3 chosen for"), std::string::npos);
}

TEST(SoundTrackMenu, AListOfPicturesHasNoSoundToChoose)
{
    WindowRig rig;
    rig.files.mediaAnswers.push_back(rig.MakeList("pictures.lst", 2));
    ASSERT_TRUE(rig.Command(command::addInput));
    const auto shown = SoundEntry(rig);
    EXPECT_EQ(shown.first, QStringLiteral("Sound: none"));
    EXPECT_FALSE(shown.second);
}

} // namespace
} // namespace discforge::test
