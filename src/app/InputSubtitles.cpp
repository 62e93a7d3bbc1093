#include "app/InputSubtitles.h"

#include "platform/MediaError.h"
#include "platform/PictureSubtitleTrack.h"
#include "platform/TextSubtitleTracks.h"

#include <algorithm>

namespace discforge {
namespace {

void AddOnce(std::vector<SubtitleSource>& sources, const SubtitleSource& source)
{
    const bool listed = std::any_of(
        sources.begin(), sources.end(), [&source](const SubtitleSource& s) { return SameSubtitle(s, source); });
    if (!listed) {
        sources.push_back(source);
    }
}

} // namespace

bool SameSubtitle(const SubtitleSource& a, const SubtitleSource& b)
{
    return a.path == b.path && a.track == b.track && a.picture == b.picture;
}

std::vector<SubtitleSource> FoundSubtitles(const InputEntry& entry, const std::vector<SubtitleSource>& given)
{
    std::vector<SubtitleSource> found;
    for (const SubtitleSource& source : given) {
        AddOnce(found, source);
    }
    for (const SubtitleSource& source : entry.addedSubtitles) {
        AddOnce(found, source);
    }
    if (entry.isVideoFile) {
        for (const TextSubtitleTrack& track : TextSubtitleTracksOf(entry.path)) {
            AddOnce(found, {entry.path, track.language, track.number});
        }
        for (const PictureSubtitleTrack& track : PictureSubtitleTracksOf(entry.path)) {
            AddOnce(found, {entry.path, track.language, track.number, true});
        }
        for (const SubtitleSource& sidecar : SidecarSubtitles(entry.path)) {
            AddOnce(found, sidecar);
        }
    }
    return found;
}

std::vector<SubtitleSource> ChosenSubtitles(const InputEntry& entry, const std::vector<SubtitleSource>& given)
{
    std::vector<SubtitleSource> chosen = FoundSubtitles(entry, given);
    std::erase_if(chosen, [&entry](const SubtitleSource& source) {
        return std::any_of(entry.subtitlesLeftOut.begin(), entry.subtitlesLeftOut.end(),
            [&source](const SubtitleSource& off) { return SameSubtitle(off, source); });
    });
    return chosen;
}

bool BurnsSubtitles(const ConversionSettings& settings, const InputEntry& entry)
{
    if (!settings.batchMode) {
        return false;
    }
    return settings.outputFormat == formatVcd || settings.outputFormat == formatSvcd
        || (settings.outputFormat == formatDvd && entry.burnSubtitles);
}

SubtitleRead ReadSubtitleSource(const SubtitleSource& source)
{
    if (source.track <= 0) {
        return ReadSubtitleFile(source.path);
    }
    MediaError error;
    const std::string document = TextSubtitleDocument(source.path, source.track, subtitleFileLimit, error);
    return error.Failed() ? SubtitleRead{{}, 0, error.text} : ParseSubtitles(document, source.path);
}

} // namespace discforge
