#include "app/SubtitleBurnIn.h"

#include "app/BurnInMessages.h"
#include "app/InputSubtitles.h"
#include "app/MenuPicture.h"
#include "app/PictureCueTrack.h"
#include "app/TextCueTrack.h"
#include "core/RunLog.h"
#include "core/TextFormat.h"

#include <algorithm>
#include <cmath>

namespace discforge {
namespace {

bool SameSources(const std::vector<SubtitleSource>& a, const std::vector<SubtitleSource>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), SameSubtitle);
}

} // namespace

std::int64_t OutputClockMs(int frame, double rate) { return rate > 0 ? std::llround(frame * 1000.0 / rate) : 0; }

double OutputPictureRate(int tvStandard, bool filmPictures, double filmRate)
{
    if (filmPictures && filmRate > 0) {
        return filmRate;
    }
    return tvStandard == standardPal ? 25.0 : 30000.0 / 1001.0;
}

SubtitleBurnIn::SubtitleBurnIn() = default;
SubtitleBurnIn::~SubtitleBurnIn() = default;

bool SubtitleBurnIn::SameMade(const Made& a, const Made& b)
{
    return a.path == b.path && SameSources(a.added, b.added) && SameSources(a.leftOut, b.leftOut) && a.width == b.width
        && a.height == b.height;
}

const TimedPicture* SubtitleBurnIn::PictureAt(
    const ConversionSettings& settings, const InputEntry& entry, int width, int height, std::int64_t ms, RunLog& runLog)
{
    if (!BurnsSubtitles(settings, entry) || width <= 0 || height <= 0) {
        return nullptr;
    }
    const Made wanted{entry.path, entry.addedSubtitles, entry.subtitlesLeftOut, width, height};
    if (!made_ || !SameMade(*made_, wanted)) {
        Load(entry, width, height, runLog);
        made_ = std::make_unique<Made>(wanted);
    }
    return track_ ? track_->PictureAt(ms) : nullptr;
}

void SubtitleBurnIn::Load(const InputEntry& entry, int width, int height, RunLog& runLog)
{
    track_.reset();
    const std::vector<SubtitleSource> chosen = ChosenSubtitles(entry);
    if (chosen.empty()) {
        return;
    }
    const SubtitleSource& source = chosen.front();
    if (source.picture || IsVobSubIndexPath(source.path)) {
        LoadPictures(source, width, height, runLog);
        return;
    }
    SubtitleRead read = ReadSubtitleSource(source);
    if (!read.Ok()) {
        runLog.AppendLogLine(FormatText(burn_in_message::notDrawn, read.problem.c_str()));
        return;
    }
    if (read.skipped > 0) {
        runLog.AppendLogLine(FormatText(burn_in_message::cuesLeftOut, read.skipped, source.path.c_str()));
    }
    if (!painting_) {
        painting_ = std::make_unique<MenuPainting>();
    }
    if (!painting_->Ready()) {
        runLog.AppendLogLine(FormatText(burn_in_message::noPainter, entry.path.c_str()));
        return;
    }
    runLog.AppendLogLine(source.track > 0
            ? FormatText(burn_in_message::trackDrawn, source.track, entry.path.c_str())
            : FormatText(burn_in_message::fileDrawn, source.path.c_str(), entry.path.c_str()));
    track_ = std::make_unique<TextCueTrack>(std::move(read.cues), width, height, painting_->Family());
}

void SubtitleBurnIn::LoadPictures(const SubtitleSource& source, int width, int height, RunLog& runLog)
{
    // A VobSub index named on its own gives its first track.
    const int number = std::max(source.track, 1);
    MediaError error;
    PictureSubtitles read = ReadPictureSubtitles(source.path, number, PictureSubtitleLimits{}, error);
    if (error.Failed()) {
        runLog.AppendLogLine(FormatText(burn_in_message::notDrawn, error.text.c_str()));
        return;
    }
    const int leftOut = read.damaged + read.beyondLimits;
    if (leftOut > 0) {
        runLog.AppendLogLine(FormatText(burn_in_message::picturesLeftOut, leftOut, source.path.c_str()));
    }
    runLog.AppendLogLine(FormatText(burn_in_message::pictureTrackDrawn, number, source.path.c_str()));
    track_ = std::make_unique<PictureCueTrack>(std::move(read), width, height);
}

} // namespace discforge
