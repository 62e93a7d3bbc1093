// One opened input: a video file or a list of still pictures. Every part of the
// program reads and writes entries directly; project files store them whole
// through the record codec (InputRecord.h).
#pragma once

#include "formats/DiscFormats.h"
#include "input/ListFile.h"
#include "input/MediaFormats.h"
#include "input/PictureOptions.h"
#include "input/SubtitleSidecars.h"
#include "platform/SoundTracks.h"
#include "ports/ComponentOption.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace discforge {

// The stream reader's per-entry objects (demuxer, decoders, frame surface,
// audio sample); defined by the stream reader, released by ReleaseStreams.
struct StreamObjects;

struct InputEntry {
    std::string path;          // the input file: a video file or a list file
    std::string outputPath;    // the MPEG file written for this input
    std::string listDirectory; // list inputs: the list's folder with its trailing "/"
    std::string titleName;     // its name on a DVD menu; empty: the file name without its extension
    // Its subtitles on the disc: those named for it (the command line) come before those
    // found in and beside the video; the user may switch any of them off.
    std::vector<SubtitleSource> addedSubtitles;
    std::vector<SubtitleSource> subtitlesLeftOut;
    // DVD: the first subtitle drawn into the picture instead of a subtitle stream
    // (VCD and SVCD have no subtitle streams and always get it drawn).
    bool burnSubtitles = false;
    std::vector<int> soundTracksLeftOut; // DVD: the file's sound tracks, from 1, not put on the disc

    std::shared_ptr<StreamObjects> streams; // null while the entry is not active
    SurfaceLayout surfaceLayout;
    int width = 0;  // source frame size in pixels, also for lists
    int height = 0;
    Ratio sourcePixel; // the shape of a source pixel as a player shows it; square for lists
    WaveFormat waveFormat;
    int soundTrack = defaultSoundTrack; // the track the user chose, from 1
    std::vector<SoundTrack> soundTracks; // every sound track of the file, once opened
    int playedTrack = 0; // the one the sound comes from; 0 without sound
    ListFile listFile; // list inputs: open while the entry is active
    // The decoder settings chosen for this input in the dialog, over the ones every
    // open applies; a component listed without values is at its defaults here.
    ComponentSettings decoderChoices;

    bool hasAudio = false;
    bool isVideoFile = false;
    // Fitting, invert, deinterlace, crop and output size; the AVI reader keeps no copy.
    PictureOptions pictureOptions;

    int selectionStart = 0;
    int selectionEnd = 0;
    int firstFrame = 0;
    int lastFrame = 0;
    int openMarker = 0;
    int audioSelectionStart = 0; // in audio sample frames
    int position = 0;            // frame shown by the previews
    unsigned totalFrames = 0;
    unsigned selectedFrames = 0;
    int sourceBits = 0; // 32 for video files, the picture depth for lists

    int totalSamples = 0;    // audio sample frames in the input
    int samplesPerFrame = 0; // audio sample frames per video frame
    int selectedSamples = 0;
    int bytesPerSample = 0; // bytes per audio sample frame; 4 for substituted silence
    int audioBytesPerFrame = 0;

    double frameRate = 0.0; // 1.0 for lists

    std::vector<std::uint8_t> audioBuffer; // one video frame of PCM, filled by the fetch
    std::int64_t timePerFrame = 0;         // 100-ns units
    std::int64_t duration = 0;             // 100-ns units
    double timePerSample = 0.0;            // 100-ns units

    int targetSampleRate = 0;       // batch mode: audio rate after conversion
    int convertedBytesPerFrame = 0; // batch mode: 16-bit stereo bytes per video frame
    std::vector<std::uint8_t> convertedBuffer;
};

} // namespace discforge
