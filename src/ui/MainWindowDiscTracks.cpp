// The input list's choices of what of the selected input goes on the disc: its sound
// tracks on a DVD, its subtitles, and whether a DVD's picture carries the first of them.
#include "ui/TMainWindow.h"

#include "app/InputSubtitles.h"
#include "core/TextFormat.h"
#include "ui/UiMessages.h"

#include <QAction>
#include <QMenu>

#include <algorithm>
#include <filesystem>

namespace discforge::ui {
namespace {

QString SubtitleItem(const SubtitleSource& source)
{
    if (source.track > 0) {
        return QString::fromStdString(FormatText(message::subtitleTrackItem, source.track, source.language.c_str()));
    }
    const std::string name = std::filesystem::path(source.path).filename().string();
    return QString::fromStdString(FormatText(message::subtitleFileItem, name.c_str(), source.language.c_str()));
}

} // namespace

void TMainWindow::AddDiscTrackChoices(QMenu& menu, int index, bool idle)
{
    const InputEntry& entry = core_->Inputs().inputTable[static_cast<std::size_t>(index)];
    const bool dvd = core_->Settings().outputFormat == formatDvd;
    QMenu* sound = menu.addMenu(tr("Sound tracks on the DVD"));
    sound->setEnabled(idle && dvd && entry.soundTracks.size() > 1);
    for (const SoundTrack& track : entry.soundTracks) {
        QAction* action = sound->addAction(QString::fromStdString(FormatText(
            message::soundTrackItem, track.number, track.language.c_str(), track.layout.c_str(), track.coder.c_str())));
        action->setCheckable(true);
        const bool leftOut = std::find(entry.soundTracksLeftOut.begin(), entry.soundTracksLeftOut.end(), track.number)
            != entry.soundTracksLeftOut.end();
        // The track the sound is taken from is always the title's first.
        action->setChecked(!leftOut || track.number == entry.playedTrack);
        action->setEnabled(track.number != entry.playedTrack);
        const int number = track.number;
        connect(action, &QAction::toggled, this,
            [this, index, number](bool on) { core_->SetSoundTrackOnDisc(index, number, on); });
    }

    QMenu* subtitles = menu.addMenu(tr("Subtitles on the disc"));
    const std::vector<SubtitleSource> found = core_->SubtitlesOf(index);
    subtitles->setEnabled(idle && !found.empty());
    for (const SubtitleSource& source : found) {
        QAction* action = subtitles->addAction(SubtitleItem(source));
        action->setCheckable(true);
        action->setChecked(std::none_of(entry.subtitlesLeftOut.begin(), entry.subtitlesLeftOut.end(),
            [&source](const SubtitleSource& off) { return SameSubtitle(off, source); }));
        connect(action, &QAction::toggled, this,
            [this, index, source](bool on) { core_->SetSubtitleOnDisc(index, source, on); });
    }
    subtitles->addSeparator();
    // A VCD or SVCD always shows them in the picture; a DVD on request.
    QAction* burn = subtitles->addAction(tr("Burn subtitles into the picture"));
    burn->setCheckable(true);
    burn->setChecked(!dvd || entry.burnSubtitles);
    burn->setEnabled(dvd);
    connect(burn, &QAction::toggled, this, [this, index](bool on) {
        core_->SetBurnSubtitles(index, on);
        update();
    });
}

} // namespace discforge::ui
