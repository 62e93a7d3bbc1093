// Where each sound track of a media file stands on the file's one clock (see
// SoundZeroPts): what the encoder library needs to read a track from the file itself
// and keep it in step with the pictures, as the sound supply keeps the played one.
#pragma once

#include "platform/MediaError.h"

#include <cstdint>
#include <string>
#include <vector>

namespace discforge {

struct PlacedTrack {
    int number = 0; // from 1, over the file's sound tracks
    int streamIndex = -1;
    // In the stream's time base: the sound that plays with the picture `start100ns`
    // after the file's first, its coder's unmarked delay taken into account.
    std::int64_t startPts = 0;
    int channels = 0;
    // AC-3 at 48 kHz, at a rate a DVD takes: it may go on the disc as it is.
    bool dvdReady = false;
};

// The wanted tracks in the order asked; a number the file has no track for is left out.
std::vector<PlacedTrack> PlaceSoundTracks(
    const std::string& path, const std::vector<int>& numbers, std::int64_t start100ns, MediaError& error);

} // namespace discforge
