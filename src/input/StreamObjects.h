// The decoding objects of an active video input: its video stream with the
// frame surface and its audio stream with one video frame's worth of PCM.
// Held by the entry (InputEntry::streams) from OpenStreams to ReleaseStreams.
#pragma once

#include "platform/MmStream.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace discforge {

// The sample operations the fetch and the frame supply use. MmSampleStream
// forwards them to an MmStream; tests put doubles in its place.
class SampleStream {
public:
    virtual ~SampleStream() = default;
    virtual bool Seek(std::int64_t time) = 0;
    virtual MmAnswer Update() = 0;
    virtual MmAnswer CompletionStatus(int waitMilliseconds) = 0;
    virtual bool LockSurface(MmSurfaceLock& lock) = 0;
    // The frame as bands, where the stream keeps it so; false where LockSurface serves.
    virtual bool LockBands(const PictureBands*& bands)
    {
        static_cast<void>(bands);
        return false;
    }
    virtual void UnlockSurface() = 0;
};

class MmSampleStream final : public SampleStream {
public:
    explicit MmSampleStream(std::unique_ptr<MmStream> stream)
        : stream_(std::move(stream))
    {
    }
    bool Seek(std::int64_t time) override { return stream_->Seek(time); }
    MmAnswer Update() override { return stream_->Update(); }
    MmAnswer CompletionStatus(int waitMilliseconds) override { return stream_->CompletionStatus(waitMilliseconds); }
    bool LockSurface(MmSurfaceLock& lock) override { return stream_->LockSurface(lock); }
    bool LockBands(const PictureBands*& bands) override { return stream_->LockBands(bands); }
    void UnlockSurface() override { stream_->UnlockSurface(); }
    MmStream& Stream() { return *stream_; }
    // The stream itself, for reopening; this object is left without one.
    std::unique_ptr<MmStream> TakeStream() { return std::move(stream_); }

private:
    std::unique_ptr<MmStream> stream_;
};

struct StreamObjects {
    // Written by the audio stream's sample; declared first so that it outlives the streams.
    std::vector<std::uint8_t> audioBlock;
    std::unique_ptr<SampleStream> videoStream;
    std::unique_ptr<SampleStream> audioStream; // null when the file has no audio that runs
};

} // namespace discforge
