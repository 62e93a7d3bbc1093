// The input list's disc entries of the selected input: which sound tracks go on a DVD
// (all at first; the played one always), which subtitles go on the disc (all found at
// first, each can be switched off) and "Burn subtitles into the picture", which a DVD
// offers and a VCD or SVCD always does. A project keeps the choices.
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

#include <fstream>
#include <map>

namespace discforge::test {
namespace {

// English and German sound, and a subtitle file beside it.
std::string TwoTrackClip(const TestFolder& folder)
{
    const std::string path = folder.File("film.mkv");
    const CommandResult made
        = RunCommand("ffmpeg -v error -nostdin -y -f lavfi -i testsrc=size=96x64:rate=25:duration=2 "
                     "-f lavfi -i sine=frequency=400:duration=2 -f lavfi -i sine=frequency=1000:duration=2 "
                     "-map 0:v -map 1:a -map 2:a -c:v mjpeg -c:a ac3 -metadata:s:a:0 language=eng "
                     "-metadata:s:a:1 language=deu "
            + Quoted(path));
    EXPECT_EQ(made.exitCode, 0) << made.output;
    std::ofstream(folder.File("film.fr.srt")) << "1\n00:00:00,500 --> 00:00:01,500\nBonjour\n";
    return path;
}

struct Line {
    bool checked = false;
    bool enabled = false;
};

struct Entry {
    bool enabled = false;
    std::map<QString, Line> lines;
};

// Opens the input list's menu and reads its entry `title`; triggers the line `choose` of it when given.
Entry MenuEntry(WindowRig& rig, const QString& title, const QString& choose = {})
{
    Entry entry;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions()) {
            if (action->menu() == nullptr || action->text() != title) {
                continue;
            }
            entry.enabled = action->isEnabled();
            for (QAction* line : action->menu()->actions()) {
                if (!line->isSeparator()) {
                    entry.lines[line->text()] = {line->isChecked(), line->isEnabled()};
                }
                if (line->text() == choose) {
                    line->trigger();
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

const QString soundTitle = QStringLiteral("Sound tracks on the DVD");
const QString subtitleTitle = QStringLiteral("Subtitles on the disc");
const QString burnLine = QStringLiteral("Burn subtitles into the picture");
const QString germanLine = QStringLiteral("Track 2: deu, mono, ac3");
const QString frenchLine = QStringLiteral("film.fr.srt: fr");

TEST(DiscTrackMenu, EveryTrackAndSubtitleGoesOnTheDvdUntilSwitchedOffAndTheProjectKeepsIt)
{
    WindowRig rig;
    rig.files.mediaAnswers.push_back(TwoTrackClip(rig.folder));
    ASSERT_TRUE(rig.Command(command::addInput));
    ASSERT_EQ(rig.Core().Inputs().inputCount, 1);
    ASSERT_TRUE(rig.Core().ChooseFormat(formatDvd));

    const Entry sound = MenuEntry(rig, soundTitle);
    EXPECT_TRUE(sound.enabled);
    ASSERT_EQ(sound.lines.size(), 2u);
    const Line played = sound.lines.at(QStringLiteral("Track 1: eng, mono, ac3"));
    EXPECT_TRUE(played.checked);
    EXPECT_FALSE(played.enabled) << "the track the sound comes from always goes";
    EXPECT_TRUE(sound.lines.at(germanLine).checked);
    const Entry subtitles = MenuEntry(rig, subtitleTitle);
    EXPECT_TRUE(subtitles.enabled);
    ASSERT_EQ(subtitles.lines.count(frenchLine), 1u);
    EXPECT_TRUE(subtitles.lines.at(frenchLine).checked);
    EXPECT_FALSE(subtitles.lines.at(burnLine).checked);
    EXPECT_TRUE(subtitles.lines.at(burnLine).enabled);

    MenuEntry(rig, soundTitle, germanLine);
    MenuEntry(rig, subtitleTitle, frenchLine);
    MenuEntry(rig, subtitleTitle, burnLine);
    const InputEntry& entry = rig.Core().Inputs().inputTable[0];
    EXPECT_EQ(entry.soundTracksLeftOut, std::vector<int>{2});
    ASSERT_EQ(entry.subtitlesLeftOut.size(), 1u);
    EXPECT_EQ(entry.subtitlesLeftOut[0].path, rig.folder.File("film.fr.srt"));
    EXPECT_TRUE(entry.burnSubtitles);
    EXPECT_FALSE(MenuEntry(rig, soundTitle).lines.at(germanLine).checked);
    EXPECT_FALSE(MenuEntry(rig, subtitleTitle).lines.at(frenchLine).checked);

    const std::string project = rig.folder.File("choices.mdp");
    ASSERT_TRUE(rig.Core().SaveProject(project));
    ASSERT_TRUE(rig.Core().RemoveSelectedInput());
    ASSERT_EQ(rig.Core().Inputs().inputCount, 0);
    ASSERT_TRUE(rig.Core().OpenProject(project));
    ASSERT_EQ(rig.Core().Inputs().inputCount, 1);
    const InputEntry& restored = rig.Core().Inputs().inputTable[0];
    EXPECT_EQ(restored.soundTracksLeftOut, std::vector<int>{2});
    ASSERT_EQ(restored.subtitlesLeftOut.size(), 1u);
    EXPECT_EQ(restored.subtitlesLeftOut[0].path, rig.folder.File("film.fr.srt"));
    EXPECT_TRUE(restored.burnSubtitles);
    EXPECT_FALSE(MenuEntry(rig, subtitleTitle).lines.at(frenchLine).checked);

    // Switched on again, the subtitle goes on the disc as before.
    MenuEntry(rig, subtitleTitle, frenchLine);
    EXPECT_TRUE(rig.Core().Inputs().inputTable[0].subtitlesLeftOut.empty());
}

TEST(DiscTrackMenu, AnSvcdAlwaysDrawsTheSubtitlesAndHasNoDvdSoundToChoose)
{
    WindowRig rig;
    rig.files.mediaAnswers.push_back(TwoTrackClip(rig.folder));
    ASSERT_TRUE(rig.Command(command::addInput));
    ASSERT_TRUE(rig.Core().ChooseFormat(formatSvcd));
    EXPECT_FALSE(MenuEntry(rig, soundTitle).enabled);
    const Entry subtitles = MenuEntry(rig, subtitleTitle);
    ASSERT_EQ(subtitles.lines.count(burnLine), 1u);
    EXPECT_TRUE(subtitles.lines.at(burnLine).checked);
    EXPECT_FALSE(subtitles.lines.at(burnLine).enabled);
}

} // namespace
} // namespace discforge::test
