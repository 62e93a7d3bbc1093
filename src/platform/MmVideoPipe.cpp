#include "platform/MmVideoPipe.h"

#include "platform/FfmpegError.h"
#include "platform/MediaMessages.h"

#include <chrono>
#include <new>

namespace discforge {

namespace {

// Frames decoded ahead of the caller: enough to overlap decoding with the
// caller's work, few enough that memory stays small for any picture size.
constexpr std::size_t readyDepth = 2;
// Forward jumps up to this many frames are decoded through without asking
// the demuxer's index.
constexpr std::int64_t smallJump = 8;

} // namespace

MmVideoPipe::MmVideoPipe(std::unique_ptr<VideoCursor> cursor)
    : cursor_(std::move(cursor))
    , width_(cursor_->Width())
    , height_(cursor_->Height())
    , frameBytes_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 4)
{
}

MmVideoPipe::~MmVideoPipe() { StopWorker(); }

bool MmVideoPipe::CreateSample(MediaError&)
{
    std::lock_guard lock(mutex_);
    // The surface takes the memory of the first frame delivered; a stream that
    // never delivers one (the AVI reader decodes such inputs) holds none.
    surface_ = {};
    surfaceBands_.reset();
    sampleExists_ = true;
    surfaceIndex_ = -1;
    return true;
}

void MmVideoPipe::ReleaseSample()
{
    std::lock_guard lock(mutex_);
    sampleExists_ = false;
    updatePending_ = false;
    locked_ = false;
    redeliver_ = false;
    surfaceIndex_ = -1;
    surface_ = {};
    surfaceBands_.reset();
}

void MmVideoPipe::Restart()
{
    ReleaseSample();
    std::lock_guard lock(mutex_);
    atEnd_ = false;
    lastAnswer_ = MmAnswer::Done;
}

bool MmVideoPipe::Start(MediaError& error)
{
    return StartWorker("video pipe", [this] { Work(); }, error);
}

bool MmVideoPipe::WorkWanted() const
{
    return stop_ || planPending_ || (running_ && demanded_ && !endOfStream_ && !failed_ && ready_.size() < readyDepth);
}

std::vector<std::uint8_t> MmVideoPipe::TakeSpare()
{
    if (spare_.empty()) {
        return {};
    }
    std::vector<std::uint8_t> pixels = std::move(spare_.back());
    spare_.pop_back();
    return pixels;
}

void MmVideoPipe::Recycle(std::vector<std::uint8_t>&& pixels)
{
    if (pixels.capacity() >= frameBytes_ && spare_.size() < readyDepth + 1) {
        spare_.push_back(std::move(pixels));
    }
}

void MmVideoPipe::Work()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        workWanted_.wait(lock, [this] { return WorkWanted(); });
        if (stop_) {
            return;
        }
        if (planPending_) {
            // Without a seek the frames before the plan are dropped by skipBefore_.
            FollowPlan(*cursor_, lock);
            continue;
        }
        std::vector<std::uint8_t> pixels = TakeSpare();
        const std::int64_t wanted = skipBefore_;
        lock.unlock();
        CursorStep step = cursor_->DecodeToward(wanted);
        lock.lock();
        if (step == CursorStep::Frame) {
            ++framesDecoded_;
        }
        if (stop_ || planPending_) {
            Recycle(std::move(pixels));
            continue;
        }
        if (step != CursorStep::Frame) {
            Recycle(std::move(pixels));
            endOfStream_ = step == CursorStep::End;
            failed_ = step == CursorStep::Failed;
            if (failed_) {
                error_ = cursor_->LastError();
            }
            workDone_.notify_all();
            continue;
        }
        std::int64_t index = cursor_->FrameIndex();
        if (index < skipBefore_) {
            ++framesSkipped_;
            Recycle(std::move(pixels));
            continue;
        }
        const bool keepDecoded = bandsWanted_;
        lock.unlock();
        std::unique_ptr<Yuv420Bands> bands = keepDecoded ? cursor_->HoldBands() : nullptr;
        bool converted = bands != nullptr;
        try {
            if (!converted) {
                pixels.resize(frameBytes_);
                converted = cursor_->Convert(pixels.data(), width_ * 4, false);
            }
        } catch (const std::bad_alloc&) {
            converted = false;
        }
        lock.lock();
        if (stop_ || planPending_ || index < skipBefore_) {
            ++framesSkipped_;
            Recycle(std::move(pixels));
            continue;
        }
        if (!converted) {
            failed_ = true;
            error_ = cursor_->LastError().empty() ? MediaText(media_messages::outOfMemory, "a frame")
                                                  : cursor_->LastError();
            workDone_.notify_all();
            continue;
        }
        if (bands != nullptr) {
            Recycle(std::move(pixels));
            ready_.push_back(ReadyFrame{index, {}, std::move(bands)});
        } else {
            ready_.push_back(ReadyFrame{index, std::move(pixels), nullptr});
        }
        tailIndex_ = index;
        workDone_.notify_all();
    }
}

void MmVideoPipe::DropReadyBefore(std::int64_t target)
{
    while (!ready_.empty() && ready_.front().index < target) {
        ++framesSkipped_;
        Recycle(std::move(ready_.front().pixels));
        ready_.pop_front();
    }
}

void MmVideoPipe::Plan(std::int64_t target)
{
    while (!ready_.empty()) {
        Recycle(std::move(ready_.front().pixels));
        ready_.pop_front();
    }
    planPending_ = true;
    plan_ = target;
    skipBefore_ = target;
    tailIndex_ = target - 1;
    endOfStream_ = false;
    failed_ = false;
    workWanted_.notify_all();
}

void MmVideoPipe::Seek(std::int64_t target)
{
    std::lock_guard lock(mutex_);
    demanded_ = true;
    workWanted_.notify_all();
    atEnd_ = false;
    redeliver_ = false;
    if (surfaceIndex_ >= 0 && target == surfaceIndex_) {
        // The surface holds it already; the frames after it must still follow.
        redeliver_ = true;
        std::int64_t following = surfaceIndex_ + 1;
        bool follows = planPending_ ? plan_ == following : skipBefore_ <= following;
        if (!follows) {
            Plan(following);
        }
        return;
    }
    if (target > surfaceIndex_) {
        DropReadyBefore(target);
        if (!ready_.empty()) {
            return;
        }
        std::int64_t expected = planPending_ ? plan_ : std::max(tailIndex_ + 1, skipBefore_);
        if (target >= expected && target - expected <= smallJump && !failed_) {
            if (planPending_) {
                plan_ = target;
            }
            skipBefore_ = target;
            tailIndex_ = std::max(tailIndex_, target - 1);
            return;
        }
    }
    Plan(target);
}

MmAnswer MmVideoPipe::Resolve()
{
    if (!ready_.empty()) {
        ReadyFrame& frame = ready_.front();
        if (frame.bands != nullptr) {
            surfaceBands_ = std::move(frame.bands);
        } else {
            surface_.swap(frame.pixels);
            surfaceBands_.reset();
            Recycle(std::move(frame.pixels));
        }
        surfaceIndex_ = frame.index;
        ready_.pop_front();
        ++framesDelivered_;
        updatePending_ = false;
        workWanted_.notify_all();
        return lastAnswer_ = MmAnswer::Done;
    }
    if (failed_) {
        updatePending_ = false;
        return lastAnswer_ = MmAnswer::Failed;
    }
    if (endOfStream_ && !planPending_) {
        updatePending_ = false;
        atEnd_ = true;
        return lastAnswer_ = MmAnswer::Done;
    }
    return MmAnswer::Pending;
}

MmAnswer MmVideoPipe::Update()
{
    std::lock_guard lock(mutex_);
    demanded_ = true;
    workWanted_.notify_all();
    const char* refusal = !sampleExists_ ? media_messages::noSample
        : !running_                      ? media_messages::notRunning
        : locked_                        ? media_messages::surfaceLocked
                                         : nullptr;
    if (refusal != nullptr) {
        error_ = refusal;
        return lastAnswer_ = MmAnswer::Failed;
    }
    if (updatePending_) {
        return MmAnswer::Pending;
    }
    atEnd_ = false;
    if (redeliver_) {
        redeliver_ = false;
        return lastAnswer_ = MmAnswer::Done;
    }
    updatePending_ = true;
    return Resolve();
}

MmAnswer MmVideoPipe::CompletionStatus(int waitMilliseconds)
{
    std::unique_lock lock(mutex_);
    if (!updatePending_) {
        return lastAnswer_;
    }
    workDone_.wait_for(lock, std::chrono::milliseconds(std::max(0, waitMilliseconds)),
        [this] { return !ready_.empty() || failed_ || (endOfStream_ && !planPending_) || !updatePending_; });
    if (!updatePending_) {
        return lastAnswer_;
    }
    return Resolve();
}

bool MmVideoPipe::AtEnd() const
{
    std::lock_guard lock(mutex_);
    return atEnd_;
}

bool MmVideoPipe::Lockable()
{
    if (!sampleExists_ || updatePending_) {
        error_ = !sampleExists_ ? media_messages::noSample : media_messages::updatePending;
        return false;
    }
    return true;
}

bool MmVideoPipe::Lock(MmSurfaceLock& lock)
{
    std::lock_guard guard(mutex_);
    if (!Lockable()) {
        return false;
    }
    try {
        if (surfaceBands_ != nullptr) {
            // Pixels asked of a frame kept as decoded: the frames after it are
            // converted by the worker again. This one is given as the worker
            // would have converted it, the fourth byte 255.
            bandsWanted_ = false;
            surface_.resize(frameBytes_);
            surfaceBands_->Unfold(surface_.data(), std::ptrdiff_t{width_} * 4, 255);
            surfaceBands_.reset();
        } else if (surface_.empty()) {
            // Locked before any frame arrived: a black surface.
            surface_.assign(frameBytes_, 0);
        }
    } catch (const std::bad_alloc&) {
        error_ = MediaText(media_messages::outOfMemory, "the frame surface");
        return false;
    }
    locked_ = true;
    lock = MmSurfaceLock{surface_.data(), width_ * 4, width_, height_};
    return true;
}

bool MmVideoPipe::LockBands(const PictureBands*& bands)
{
    std::lock_guard guard(mutex_);
    if (!Lockable()) {
        return false;
    }
    bandsWanted_ = true;
    if (surfaceBands_ == nullptr) {
        return false;
    }
    locked_ = true;
    bands = surfaceBands_.get();
    return true;
}

void MmVideoPipe::Unlock()
{
    std::lock_guard lock(mutex_);
    locked_ = false;
}

void MmVideoPipe::AddStatistics(MmStatistics& statistics) const
{
    std::lock_guard lock(mutex_);
    statistics.framesDecoded += framesDecoded_;
    statistics.framesDelivered += framesDelivered_;
    statistics.framesSkipped += framesSkipped_;
    statistics.realSeeks += realSeeks_;
}

} // namespace discforge
