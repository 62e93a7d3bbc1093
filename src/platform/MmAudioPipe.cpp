#include "platform/MmAudioPipe.h"

#include "platform/FfmpegError.h"
#include "platform/MediaMessages.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <new>

namespace discforge {

namespace {

// The caller's block may hold at most this much audio.
constexpr std::size_t maxBlockSeconds = 10;

} // namespace

MmAudioPipe::MmAudioPipe(std::unique_ptr<AudioCursor> cursor)
    : cursor_(std::move(cursor))
    , blockAlign_(static_cast<std::size_t>(cursor_->BlockAlign()))
    , sampleRate_(cursor_->SampleRate())
    , silence_(cursor_->SilenceByte())
{
}

MmAudioPipe::~MmAudioPipe() { StopWorker(); }

bool MmAudioPipe::CreateSample(std::uint8_t* buffer, std::size_t bytes, MediaError& error)
{
    std::lock_guard lock(mutex_);
    std::size_t limit = maxBlockSeconds * static_cast<std::size_t>(sampleRate_) * blockAlign_;
    if (buffer == nullptr || bytes == 0 || bytes % blockAlign_ != 0 || bytes > limit) {
        error = PlainFailure(
            MediaFailure::WrongState, MediaText(media_messages::badBlockSize, bytes, static_cast<int>(blockAlign_)));
        return false;
    }
    buffer_ = buffer;
    bufferBytes_ = bytes;
    updatePending_ = false;
    workWanted_.notify_all();
    return true;
}

void MmAudioPipe::ReleaseSample()
{
    std::lock_guard lock(mutex_);
    buffer_ = nullptr;
    bufferBytes_ = 0;
    updatePending_ = false;
}

void MmAudioPipe::Restart()
{
    ReleaseSample();
    std::lock_guard lock(mutex_);
    atEnd_ = false;
    lastAnswer_ = MmAnswer::Done;
}

bool MmAudioPipe::Start(MediaError& error)
{
    return StartWorker("audio pipe", [this] { Work(); }, error);
}

std::size_t MmAudioPipe::QueueCapacity() const
{
    // Two blocks, or half a second when that is more.
    return std::max(2 * bufferBytes_, static_cast<std::size_t>(sampleRate_ / 2) * blockAlign_);
}

bool MmAudioPipe::WorkWanted() const
{
    return stop_ || planPending_
        || (running_ && demanded_ && !endOfStream_ && !failed_ && QueuedBytes() < QueueCapacity());
}

void MmAudioPipe::Work()
{
    std::vector<std::uint8_t> chunk;
    std::unique_lock lock(mutex_);
    for (;;) {
        workWanted_.wait(lock, [this] { return WorkWanted(); });
        if (stop_) {
            return;
        }
        if (planPending_) {
            if (std::optional<std::int64_t> onward = FollowPlan(*cursor_, lock)) {
                cursor_->SkipTo(*onward);
            }
            continue;
        }
        chunk.clear();
        lock.unlock();
        CursorStep step = CursorStep::Failed;
        try {
            step = cursor_->ReadChunk(chunk);
        } catch (const std::bad_alloc&) {
            step = CursorStep::Failed;
        }
        lock.lock();
        samplesDecoded_ = cursor_->SamplesDecoded();
        if (stop_ || planPending_) {
            continue;
        }
        if (step != CursorStep::Frame) {
            endOfStream_ = step == CursorStep::End;
            failed_ = step == CursorStep::Failed;
            if (failed_) {
                error_ = cursor_->LastError().empty() ? MediaText(media_messages::outOfMemory, "audio")
                                                      : cursor_->LastError();
            }
            workDone_.notify_all();
            continue;
        }
        if (queueRead_ > 0 && queueRead_ >= queue_.size() / 2) {
            queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(queueRead_));
            queueRead_ = 0;
        }
        try {
            queue_.insert(queue_.end(), chunk.begin(), chunk.end());
        } catch (const std::bad_alloc&) {
            failed_ = true;
            error_ = MediaText(media_messages::outOfMemory, "audio");
        }
        workDone_.notify_all();
    }
}

void MmAudioPipe::Consume(std::size_t bytes)
{
    queueRead_ += bytes;
    queueStart_ += static_cast<std::int64_t>(bytes / blockAlign_);
    if (queueRead_ == queue_.size()) {
        queue_.clear();
        queueRead_ = 0;
    }
    workWanted_.notify_all();
}

void MmAudioPipe::Seek(std::int64_t position)
{
    std::lock_guard lock(mutex_);
    demanded_ = true;
    workWanted_.notify_all();
    atEnd_ = false;
    if (position == queueStart_) {
        return;
    }
    std::int64_t queueEnd = queueStart_ + static_cast<std::int64_t>(QueuedBytes() / blockAlign_);
    if (position > queueStart_ && position <= queueEnd && !planPending_) {
        Consume(static_cast<std::size_t>(position - queueStart_) * blockAlign_);
        return;
    }
    queue_.clear();
    queueRead_ = 0;
    queueStart_ = position;
    planPending_ = true;
    plan_ = position;
    endOfStream_ = false;
    failed_ = false;
    workWanted_.notify_all();
}

MmAnswer MmAudioPipe::Resolve()
{
    std::size_t queued = QueuedBytes();
    if (queued >= bufferBytes_) {
        std::memcpy(buffer_, queue_.data() + queueRead_, bufferBytes_);
        Consume(bufferBytes_);
        updatePending_ = false;
        return lastAnswer_ = MmAnswer::Done;
    }
    if (failed_) {
        updatePending_ = false;
        return lastAnswer_ = MmAnswer::Failed;
    }
    if (endOfStream_ && !planPending_) {
        // The stream ended inside the block: the rest of it is silence.
        std::memcpy(buffer_, queue_.data() + queueRead_, queued);
        std::memset(buffer_ + queued, silence_, bufferBytes_ - queued);
        Consume(queued);
        queueStart_ += static_cast<std::int64_t>((bufferBytes_ - queued) / blockAlign_);
        updatePending_ = false;
        atEnd_ = true;
        return lastAnswer_ = MmAnswer::Done;
    }
    return MmAnswer::Pending;
}

MmAnswer MmAudioPipe::Update()
{
    std::lock_guard lock(mutex_);
    demanded_ = true;
    workWanted_.notify_all();
    const char* refusal = buffer_ == nullptr ? media_messages::noSample
        : !running_                          ? media_messages::notRunning
                                             : nullptr;
    if (refusal != nullptr) {
        error_ = refusal;
        return lastAnswer_ = MmAnswer::Failed;
    }
    if (updatePending_) {
        return MmAnswer::Pending;
    }
    atEnd_ = false;
    updatePending_ = true;
    return Resolve();
}

MmAnswer MmAudioPipe::CompletionStatus(int waitMilliseconds)
{
    std::unique_lock lock(mutex_);
    if (!updatePending_) {
        return lastAnswer_;
    }
    workDone_.wait_for(lock, std::chrono::milliseconds(std::max(0, waitMilliseconds)), [this] {
        return !updatePending_ || QueuedBytes() >= bufferBytes_ || failed_ || (endOfStream_ && !planPending_);
    });
    if (!updatePending_) {
        return lastAnswer_;
    }
    return Resolve();
}

bool MmAudioPipe::AtEnd() const
{
    std::lock_guard lock(mutex_);
    return atEnd_;
}

void MmAudioPipe::AddStatistics(MmStatistics& statistics) const
{
    std::lock_guard lock(mutex_);
    statistics.samplesDecoded += samplesDecoded_;
    statistics.realSeeks += realSeeks_;
}

} // namespace discforge
