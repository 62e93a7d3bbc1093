#include "app/DiscSoundTracks.h"

#include "platform/MediaError.h"
#include "platform/TrackPlacement.h"

#include <algorithm>

namespace discforge {
namespace {

constexpr int surroundChannels = 6;

} // namespace

std::vector<int> DiscSoundOrder(const InputEntry& entry)
{
    std::vector<int> order;
    if (!entry.isVideoFile || !entry.hasAudio || entry.playedTrack < 1 || IsAviSynthScriptPath(entry.path)) {
        return order;
    }
    order.push_back(entry.playedTrack);
    for (const SoundTrack& track : entry.soundTracks) {
        if (order.size() >= static_cast<std::size_t>(dvdSoundStreamLimit)) {
            break;
        }
        const bool leftOut = std::find(entry.soundTracksLeftOut.begin(), entry.soundTracksLeftOut.end(), track.number)
            != entry.soundTracksLeftOut.end();
        if (track.number != entry.playedTrack && !leftOut) {
            order.push_back(track.number);
        }
    }
    return order;
}

std::vector<std::string> DiscSoundLanguages(const InputEntry& entry, int outputFormat)
{
    std::vector<std::string> languages;
    const std::vector<int> order = outputFormat == formatDvd ? DiscSoundOrder(entry) : std::vector<int>{};
    for (const int number : order) {
        const auto track = std::find_if(entry.soundTracks.begin(), entry.soundTracks.end(),
            [number](const SoundTrack& t) { return t.number == number; });
        languages.push_back(track != entry.soundTracks.end() ? track->language : "und");
    }
    if (languages.empty()) {
        languages.push_back("und");
    }
    return languages;
}

bool OfferSoundTracks(const EncoderLibrary& encoder, const InputEntry& entry, int outputFormat, std::string& problem)
{
    const std::vector<int> order = outputFormat == formatDvd ? DiscSoundOrder(entry) : std::vector<int>{};
    if (order.empty()) {
        return true;
    }
    // One track the supply feeds as it always has: nothing to read again.
    const auto listed = std::find_if(entry.soundTracks.begin(), entry.soundTracks.end(),
        [&entry](const SoundTrack& track) { return track.number == entry.playedTrack; });
    if (order.size() == 1 && listed != entry.soundTracks.end() && listed->coder != "ac3"
        && listed->channels < surroundChannels) {
        return true;
    }
    MediaError error;
    const std::int64_t start100ns = static_cast<std::int64_t>(entry.selectionStart) * entry.timePerFrame;
    const std::vector<PlacedTrack> placed = PlaceSoundTracks(entry.path, order, start100ns, error);
    if (placed.empty() || placed.front().number != entry.playedTrack) {
        problem = error.text;
        return false;
    }
    const PlacedTrack& played = placed.front();
    const bool replaceSupply = played.dvdReady || played.channels >= surroundChannels;
    if (placed.size() == 1 && !replaceSupply) {
        return true;
    }
    std::vector<EncodeSoundTrack> tracks;
    for (std::size_t i = replaceSupply ? 0 : 1; i < placed.size(); ++i) {
        EncodeSoundTrack track{};
        track.size = sizeof(EncodeSoundTrack);
        track.streamIndex = placed[i].streamIndex;
        track.path = entry.path.c_str();
        track.startPts = placed[i].startPts;
        track.copy = placed[i].dvdReady ? 1 : 0;
        tracks.push_back(track);
    }
    if (!encoder.SoundTracks(tracks, replaceSupply)) {
        problem = entry.path;
        return false;
    }
    return true;
}

} // namespace discforge
