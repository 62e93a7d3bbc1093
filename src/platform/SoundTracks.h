// The sound tracks of a media file: which one an input plays (the one the file
// marks as default, else the first, unless the user picks another) and what each
// holds, for the run log and the window.
#pragma once

#include <string>
#include <vector>

struct AVFormatContext;

namespace discforge {

struct SoundTrack {
    int number = 0; // from 1, over the file's sound streams in their order
    std::string language; // "und" when the file names none
    std::string coder; // FFmpeg's name of the codec: "ac3", "aac", "mp3" ...
    std::string layout; // "mono", "stereo", "5.1" ...
    int channels = 0;
    int sampleRate = 0;
    bool marked = false; // the file marks it as default
};

// 0 stands for the file's own choice.
inline constexpr int defaultSoundTrack = 0;

std::vector<SoundTrack> SoundTracksOf(const AVFormatContext* context);
// The stream index of sound track `track` (from 1), or of the default one for
// defaultSoundTrack; -1 when there is no such track.
int SoundTrackStream(const AVFormatContext* context, int track);
// The number (from 1) of the track that `track` plays; 0 when there is none.
int PlayedSoundTrack(const AVFormatContext* context, int track);

} // namespace discforge
