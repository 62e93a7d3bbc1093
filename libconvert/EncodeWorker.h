// The encoding thread: takes the caller's pictures, already in the disc's format, and
// their sound, already encoded on the caller's thread, encodes the pictures and writes the
// program stream, while the caller fetches and converts the next picture.
#pragma once

#include "DiscProfile.h"
#include "EncodeStatus.h"
#include "FfmpegHandles.h"
#include "OutputFiles.h"
#include "ProgramWriter.h"
#include "SoundEncoder.h"
#include "TrackSource.h"
#include "VideoEncoder.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace discforge::convert {

// One step of input: the sound that plays up to the end of a picture, then the picture.
// A job without a picture ends the input.
struct EncodeJob {
    std::vector<PacketHandle> sound; // made by EncodeSound, of every sound stream
    std::vector<int> soundEnded; // sound streams that have no more packets
    FrameHandle picture; // the caller's picture in the disc's size and 4:2:0 format
    int64_t pictureNumber = 0; // counted from 0
};

// What the caller's thread delivers.
struct InputShape {
    int sampleRate = 0;
    int64_t pictures = 0; // in the input; its sound lasts as long as they do
};

class EncodeWorker {
public:
    // Jobs waiting for the thread: enough to keep it busy while the caller is slow for a
    // moment, few enough to keep the memory small.
    static constexpr std::size_t queueLength = 4;

    EncodeWorker(const DiscProfile& profile, OutputFiles& files, int64_t partLimitBytes);
    ~EncodeWorker();
    EncodeWorker(const EncodeWorker&) = delete;
    EncodeWorker& operator=(const EncodeWorker&) = delete;

    // Opens the encoders, the tracks read from files and the first output part on the
    // caller's thread, then starts the thread.
    EncodeStatus Start(const InputShape& input, const TrackPlan& tracks = {});
    // Encodes `samples` (whole 16-bit stereo sample frames at the input's rate) into the
    // job's sound, on the caller's thread: where decoding is cheap, the conversion waits on
    // the thread that encodes the pictures, and the sound would lengthen its work. The
    // tracks read from files are read on until they cover `pictures` pictures. With
    // `last`, the sound encoders' tails follow.
    EncodeStatus EncodeSound(const std::vector<uint8_t>& samples, bool last, int64_t pictures, EncodeJob& job);
    // Hands over a job, waiting at most `wait` for room. False when there was no room;
    // the job is then left with the caller. Jobs after a failure are dropped.
    bool Submit(EncodeJob& job, std::chrono::milliseconds wait);
    // True once the thread has ended, by finishing or failing.
    bool Stopped() const { return stopped_.load(); }
    // Waits at most `wait` for the thread to end.
    bool WaitForEnd(std::chrono::milliseconds wait);
    // Stops without finishing the output.
    void Abort();
    // The thread's outcome, after it ended.
    EncodeStatus Result();
    int64_t PicturesEncoded() const { return picturesEncoded_.load(); }

private:
    void Run();
    // Sample frames at the disc's rate that play with the first `pictures` pictures.
    int64_t SamplesFor(int64_t pictures) const;
    static DiscProfile PeakLeftBySound(const DiscProfile& profile, const std::vector<SoundStreamSetup>& sounds);
    EncodeStatus WriteSound(EncodeJob& job);
    // Where the encoded pictures go: to the writer, through the pulldown's marks for film.
    PacketSink ToWriterVideo();
    EncodeStatus Process(EncodeJob& job);
    EncodeStatus Finish(EncodeJob& job);

    DiscProfile profile_;
    VideoEncoder video_;
    SoundEncoder sound_; // used by the caller's thread only, as are the tracks
    bool supplyWritten_ = true;
    std::vector<std::unique_ptr<TrackSource>> tracks_;
    std::vector<bool> trackEndTold_;
    ProgramWriter writer_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<EncodeJob> queue_;
    bool abort_ = false;
    EncodeStatus result_;
    std::atomic<bool> stopped_{false};
    std::atomic<int64_t> picturesEncoded_{0};
    std::thread thread_;
};

} // namespace discforge::convert
