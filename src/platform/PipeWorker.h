// The worker-thread half shared by MmAudioPipe and MmVideoPipe: the thread,
// the lock and condition variables it shares with the caller's thread, the
// state flags both pipes keep, and the step that follows a planned seek.
// A pipe derives from it privately and runs its own decoding loop on the
// thread.
#pragma once

#include "platform/MediaError.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace discforge {

class PipeWorker {
public:
    PipeWorker(const PipeWorker&) = delete;
    PipeWorker& operator=(const PipeWorker&) = delete;

    std::string LastError() const;
    // True once decoding failed for good; such a pipe is not taken over by a reopen.
    bool Failed() const;

protected:
    PipeWorker() = default;
    ~PipeWorker();

    // Runs `work` on the worker thread unless it runs already.
    // `name` (at most 15 characters) tells the thread apart in a profiler or /proc.
    bool StartWorker(const char* name, std::function<void()> work, MediaError& error);
    // Asks the worker to stop and waits for it. The pipe's destructor calls it
    // first, while the state the worker touches still exists.
    void StopWorker();
    // Called by the worker with `lock` held and a plan pending; takes the plan.
    // When a demuxer seek reaches the planned position cheaper, seeks there with
    // the lock released and returns nothing; otherwise returns the position for
    // the pipe to decode on to.
    template <typename Cursor>
    std::optional<std::int64_t> FollowPlan(Cursor& cursor, std::unique_lock<std::mutex>& lock);

    mutable std::mutex mutex_;
    std::condition_variable workWanted_;
    std::condition_variable workDone_;

    // Everything below is guarded by mutex_.
    bool stop_ = false;
    bool running_ = false;
    bool demanded_ = false; // decoding waits for the first seek or update, which says where to start
    bool planPending_ = false;
    std::int64_t plan_ = 0;
    bool endOfStream_ = false;
    bool failed_ = false;
    std::string error_;
    std::uint64_t realSeeks_ = 0;

private:
    std::thread worker_;
};

template <typename Cursor>
std::optional<std::int64_t> PipeWorker::FollowPlan(Cursor& cursor, std::unique_lock<std::mutex>& lock)
{
    std::int64_t target = plan_;
    planPending_ = false;
    if (!cursor.ShouldSeekFor(target)) {
        return target;
    }
    ++realSeeks_;
    lock.unlock();
    bool sought = cursor.SeekTo(target);
    lock.lock();
    if (!sought && !planPending_) {
        failed_ = true;
        error_ = cursor.LastError();
        workDone_.notify_all();
    }
    return std::nullopt;
}

} // namespace discforge
