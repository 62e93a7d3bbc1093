// A multimedia stream over FFmpeg: one file opened for one purpose (its first
// video or its first audio stream), decoded into one sample that the caller
// updates asynchronously and then waits for.
//
// Video frames arrive in a 32-bit BGRX top-down surface; audio arrives as
// interleaved PCM (at most two channels, 8-bit unsigned or 16-bit signed) in
// blocks of a size the caller chooses. Decoding runs on a worker thread that
// stays at most a few frames (or about half a second of audio) ahead, so memory
// does not grow with the file.
//
// Seeking to where the next frame or audio block starts costs nothing: reading
// a file in order decodes each frame once whatever the pattern of Seek calls.
// A backward seek, or a forward one past a key frame, seeks the demuxer to the
// key frame at or before the target and decodes forward from there.
//
// All calls are made from one thread (the caller's); the worker is internal.
// Every call returns its outcome; nothing throws.
#pragma once

#include "formats/DiscFormats.h"
#include "platform/MediaError.h"
#include "platform/SoundTracks.h"
#include "ports/ComponentOption.h"
#include "ports/FilterGraph.h"
#include "ports/MediaComponent.h"
#include "ports/PictureBands.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace discforge {

enum class MmPurpose { PrimaryVideo, PrimaryAudio };

// The answer of Update and CompletionStatus.
enum class MmAnswer { Done, Pending, Failed };

struct MmVideoFormat {
    int width = 0;
    int height = 0;
    // One pixel's width over its height as players show it, from the codec or the
    // container; square when neither says.
    Ratio pixelShape;
};

// The delivered PCM format, as a WAVEFORMATEX carries it (format tag 1 = PCM).
struct MmWaveFormat {
    std::uint16_t formatTag = 1;
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t avgBytesPerSec = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
};

// A locked frame surface: rows top-down, `pitch` bytes apart, 4 bytes per
// pixel (blue, green, red, unused).
struct MmSurfaceLock {
    const std::uint8_t* pixels = nullptr;
    int pitch = 0;
    int width = 0;
    int height = 0;
};

// Counters for tests and diagnostics.
struct MmStatistics {
    std::uint64_t framesDecoded = 0; // video frames out of the decoder
    std::uint64_t framesDelivered = 0; // video frames handed to the surface
    std::uint64_t framesSkipped = 0; // decoded but passed over to reach a target
    std::uint64_t samplesDecoded = 0; // audio sample frames out of the decoder
    std::uint64_t realSeeks = 0; // demuxer seeks actually performed
};

class MmStream {
public:
    // Opens `path` and the decoder of its first stream of the purpose's kind.
    // Null on failure, with `error` filled (a script that cannot be evaluated gives
    // MediaFailure::ScriptFailed). Each component
    // takes the values `settings` holds under its name; a value it refuses is
    // skipped with a line in OptionNotes, never a failed open.
    // The sound is that of `soundTrack` (from 1; defaultSoundTrack: the file's choice).
    static std::unique_ptr<MmStream> Open(const std::string& path, MmPurpose purpose, MediaError& error,
        const ComponentSettings& settings = {}, int soundTrack = defaultSoundTrack);
    // Open again, going on from where `previous` stands. When `previous` reads the
    // same, unchanged file for the same purpose with the same settings and its
    // decoding has not failed, it is taken over with its demuxer, its decoder and
    // what it decoded ahead, and looks as after Open (no sample; Run must be
    // called; the counters go on). Otherwise it is closed and the file opened
    // anew. A null `previous` is a plain Open.
    static std::unique_ptr<MmStream> Reopen(std::unique_ptr<MmStream> previous, const std::string& path,
        MmPurpose purpose, MediaError& error, const ComponentSettings& settings = {},
        int soundTrack = defaultSoundTrack);
    ~MmStream();
    MmStream(const MmStream&) = delete;
    MmStream& operator=(const MmStream&) = delete;

    MmPurpose Purpose() const;
    // Source first, then the decoder, then (video) the picture converter.
    const std::vector<MediaComponent>& Components() const;
    // The options of the component of that name, their current values those this
    // open applied.
    OptionsLookup ComponentOptions(const std::string& component, std::vector<ComponentOption>& options) const;
    // Empty when the component of this stream takes the value; otherwise its reason.
    std::string CheckComponentOption(
        const std::string& component, const std::string& name, const std::string& value) const;
    // A line for each chosen value the open skipped, for the run log.
    const std::vector<std::string>& OptionNotes() const;
    bool CanSeek() const;
    // Length of the stream in 100-ns units; 0 when unknown.
    std::int64_t Duration() const;

    // Video only. 100-ns units, rounded down to a whole unit; 0 when the
    // stream has no frame timing.
    std::int64_t TimePerFrame() const;
    // Video only. Frames per second, exact (30000/1001 stays that, where the
    // time per frame is rounded); 0 when the stream has no frame timing.
    double FrameRate() const;
    MmVideoFormat VideoFormat() const;

    // Audio only.
    MmWaveFormat WaveFormat() const;

    // Every sound track of the file, whatever the purpose, and the number of the
    // one the sound comes from (0 when the file has none).
    const std::vector<SoundTrack>& SoundTracks() const;
    int PlayedTrack() const;

    // The sample. Video: the frame surface of VideoFormat's size. Audio: the
    // caller's buffer of `bytes` (a whole number of blocks of the wave format),
    // written only inside Update and CompletionStatus; it must stay valid until
    // ReleaseSample or the stream's destruction.
    bool CreateVideoSample(MediaError& error);
    bool CreateAudioSample(std::uint8_t* buffer, std::size_t bytes, MediaError& error);
    // Drops the sample (and any pending update); the audio buffer is no longer touched.
    void ReleaseSample();

    // Starts decoding. Update answers Failed before Run.
    bool Run(MediaError& error);

    // Moves the stream so that the next update delivers the frame that starts
    // at `time` (100-ns units; the nearest frame start), or the audio from the
    // sample at `time`. False for a negative time. The seek itself runs on the
    // worker: when the demuxer cannot seek, the next update answers Failed.
    bool Seek(std::int64_t time);

    // Asks for the next frame (or block) into the sample. Done: it is there.
    // Pending: the worker is decoding; wait with CompletionStatus. Failed: the
    // stream cannot deliver (LastError says why). At the end of the stream a
    // video update leaves the surface as it was and an audio update fills the
    // rest of the block with silence; both answer Done.
    MmAnswer Update();
    // Waits up to `waitMilliseconds` for the pending update.
    MmAnswer CompletionStatus(int waitMilliseconds);
    // True when the last Done update found the end of the stream.
    bool AtEndOfStream() const;

    // Video only. Fails while an update is pending or without a sample; Update
    // answers Failed while the surface is locked.
    bool LockSurface(MmSurfaceLock& lock);
    // The frame as bands instead, where the video decoder's pictures allow it: see
    // MmVideoPipe::LockBands. UnlockSurface ends either lock.
    bool LockBands(const PictureBands*& bands);
    void UnlockSurface();

    MmStatistics Statistics() const;
    std::string LastError() const;

    class Impl;

private:
    explicit MmStream(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace discforge
