// What the script reader needs to know of the files it names and of a sound
// it has made, without reading either itself: the media layer answers (and
// tests answer for it).
#pragma once

#include "script/AvsFormat.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace discforge {

// Which stream of each kind is asked about: -1 the first one, N the stream
// with index N in the file.
struct AvsTrackChoice {
    int video = -1;
    int audio = -1;
};

// Of the chosen streams; a track is -1 when the file has no such stream or
// the stream with the chosen index is of another kind.
struct AvsMediaFacts : AvsPictureFormat, AvsSoundFormat {
    int videoTrack = -1;
    // Where frame 0 lies, in the units of the picture stream's time stamps.
    std::int64_t videoStart = 0;
    int audioTrack = -1;
};

class AvsMediaProbe {
public:
    virtual ~AvsMediaProbe() = default;
    // False with `reason` when the file cannot be opened as media.
    virtual bool Probe(const std::string& path, const AvsTrackChoice& tracks, AvsMediaFacts& facts, std::string& reason)
        = 0;
    // The largest magnitude of any sample the graph's "out1" output gives,
    // as a fraction of full scale; false with `reason` when it cannot be run.
    virtual bool SoundPeak(const std::string& graph, double& peak, std::string& reason) = 0;
    // Whether `path` names a regular file.
    virtual bool IsFile(const std::string& path) = 0;
    // The text of a file of at most `limit` bytes (an imported script, an
    // index file); false with `reason` when it cannot be read or is larger.
    virtual bool ReadText(const std::string& path, std::size_t limit, std::string& text, std::string& reason) = 0;
    // A video of the first picture subtitle track of `path` (a VobSub index) for an
    // overlay: transparent frames of the track's own size but where a subtitle shows, a
    // frame at each change, on the file's clock; false with `reason` when it cannot be made.
    virtual bool SubtitleVideo(const std::string& path, std::string& video, std::string& reason) = 0;
};

} // namespace discforge
