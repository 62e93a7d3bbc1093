// The audio side of MmStream: a worker thread decodes PCM ahead of the caller
// into a bounded queue of bytes; the caller's thread copies whole blocks out
// of it into the caller's buffer.
#pragma once

#include "platform/AudioCursor.h"
#include "platform/MmStream.h"
#include "platform/PipeWorker.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace discforge {

class MmAudioPipe : private PipeWorker {
public:
    explicit MmAudioPipe(std::unique_ptr<AudioCursor> cursor);
    ~MmAudioPipe();
    MmAudioPipe(const MmAudioPipe&) = delete;
    MmAudioPipe& operator=(const MmAudioPipe&) = delete;

    bool CreateSample(std::uint8_t* buffer, std::size_t bytes, MediaError& error);
    void ReleaseSample();
    // Drops the sample and every answer given, as a new pipe has none; the decoding,
    // the sound decoded ahead and the counters go on.
    void Restart();
    using PipeWorker::Failed;
    bool Start(MediaError& error);
    // `position` is a sample-frame number.
    void Seek(std::int64_t position);
    MmAnswer Update();
    MmAnswer CompletionStatus(int waitMilliseconds);
    bool AtEnd() const;
    void AddStatistics(MmStatistics& statistics) const;
    using PipeWorker::LastError;

private:
    void Work();
    bool WorkWanted() const;
    std::size_t QueuedBytes() const { return queue_.size() - queueRead_; }
    std::size_t QueueCapacity() const;
    void Consume(std::size_t bytes);
    MmAnswer Resolve();

    std::unique_ptr<AudioCursor> cursor_; // the worker's once it runs
    const std::size_t blockAlign_;
    const int sampleRate_;
    const std::uint8_t silence_;

    // Everything below is guarded by mutex_.
    std::vector<std::uint8_t> queue_;
    std::size_t queueRead_ = 0;
    std::int64_t queueStart_ = 0; // sample position of the first unread byte

    std::uint8_t* buffer_ = nullptr;
    std::size_t bufferBytes_ = 0;
    bool updatePending_ = false;
    bool atEnd_ = false;
    MmAnswer lastAnswer_ = MmAnswer::Done;

    std::uint64_t samplesDecoded_ = 0;
};

} // namespace discforge
