// The video side of MmStream: a worker thread decodes and converts frames
// ahead of the caller into a short queue, or keeps them as decoded while the
// caller takes them as bands; the caller's thread takes them into the surface.
// The worker touches only the cursor and the queue; the surface belongs to the
// caller's thread.
#pragma once

#include "platform/MmStream.h"
#include "platform/PipeWorker.h"
#include "platform/VideoCursor.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

namespace discforge {

class MmVideoPipe : private PipeWorker {
public:
    explicit MmVideoPipe(std::unique_ptr<VideoCursor> cursor);
    ~MmVideoPipe();
    MmVideoPipe(const MmVideoPipe&) = delete;
    MmVideoPipe& operator=(const MmVideoPipe&) = delete;

    bool CreateSample(MediaError& error);
    void ReleaseSample();
    // Drops the sample and every answer given, as a new pipe has none; the decoding,
    // the frames decoded ahead and the counters go on.
    void Restart();
    using PipeWorker::Failed;
    bool Start(MediaError& error);
    // `target` is a frame number.
    void Seek(std::int64_t target);
    MmAnswer Update();
    MmAnswer CompletionStatus(int waitMilliseconds);
    bool AtEnd() const;
    bool Lock(MmSurfaceLock& lock);
    // The delivered frame as bands, where the decoder's pictures allow it; from
    // then on the frames ahead are kept as decoded, until Lock asks for the pixels
    // of one of them. False, with nothing locked, where the frame is not held that
    // way: Lock serves.
    bool LockBands(const PictureBands*& bands);
    void Unlock();
    void AddStatistics(MmStatistics& statistics) const;
    using PipeWorker::LastError;

private:
    struct ReadyFrame {
        std::int64_t index;
        std::vector<std::uint8_t> pixels;
        std::unique_ptr<Yuv420Bands> bands; // in place of the pixels, as decoded
    };

    void Work();
    bool WorkWanted() const;
    void Plan(std::int64_t target);
    void DropReadyBefore(std::int64_t target);
    MmAnswer Resolve();
    // Whether the surface may be locked now; sets the error where not. Under mutex_.
    bool Lockable();
    std::vector<std::uint8_t> TakeSpare();
    void Recycle(std::vector<std::uint8_t>&& pixels);

    std::unique_ptr<VideoCursor> cursor_; // the worker's once it runs
    const int width_;
    const int height_;
    const std::size_t frameBytes_;

    // Everything below is guarded by mutex_.
    std::int64_t skipBefore_ = 0; // the worker drops frames numbered below
    std::int64_t tailIndex_ = -1; // last frame queued or delivered in the current run
    std::deque<ReadyFrame> ready_;
    std::vector<std::vector<std::uint8_t>> spare_;

    bool sampleExists_ = false;
    std::vector<std::uint8_t> surface_;
    std::unique_ptr<Yuv420Bands> surfaceBands_; // the surface's frame until Lock converts it
    std::int64_t surfaceIndex_ = -1;
    bool bandsWanted_ = false; // the caller locks bands: the worker keeps frames as decoded
    bool locked_ = false;
    bool redeliver_ = false;
    bool updatePending_ = false;
    bool atEnd_ = false;
    MmAnswer lastAnswer_ = MmAnswer::Done;

    std::uint64_t framesDecoded_ = 0;
    std::uint64_t framesDelivered_ = 0;
    std::uint64_t framesSkipped_ = 0;
};

} // namespace discforge
