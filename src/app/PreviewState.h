// Whether a preview plays and the requests that end its frame loop. The
// previews set the state; the commands, the enabling rules and the close rules
// read it.
#pragma once

namespace discforge {

enum class PlayingSide { none, input, output };

struct PreviewState {
    PlayingSide playing = PlayingSide::none;
    bool playbackStopRequest = false;
    bool streamStopRequest = false;

    bool previewPlaying() const { return playing != PlayingSide::none; }
};

} // namespace discforge
