#include "platform/PipeWorker.h"

#include "platform/FfmpegError.h"
#include "platform/MediaMessages.h"

#include <pthread.h>
#include <system_error>

namespace discforge {

PipeWorker::~PipeWorker() { StopWorker(); }

void PipeWorker::StopWorker()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    workWanted_.notify_all();
    if (worker_.joinable()) {
        worker_.join();
    }
}

bool PipeWorker::StartWorker(const char* name, std::function<void()> work, MediaError& error)
{
    std::lock_guard lock(mutex_);
    if (running_) {
        return true;
    }
    try {
        worker_ = std::thread([name, work = std::move(work)] {
            pthread_setname_np(pthread_self(), name);
            work();
        });
    } catch (const std::system_error&) {
        error = PlainFailure(MediaFailure::ResourceFailed, media_messages::threadFailed);
        return false;
    }
    running_ = true;
    return true;
}

bool PipeWorker::Failed() const
{
    std::lock_guard lock(mutex_);
    return failed_;
}

std::string PipeWorker::LastError() const
{
    std::lock_guard lock(mutex_);
    return error_;
}

} // namespace discforge
