#include "PicturePool.h"

#include <new>
#include <utility>

namespace discforge::convert {

PicturePool::PicturePool(std::size_t pixels, std::size_t buffers) : pixels_(pixels), capacity_(buffers)
{
    made_.reserve(capacity_);
    free_.reserve(capacity_);
}

PicturePool::Outcome PicturePool::Acquire(std::chrono::milliseconds wait, Lease& lease)
{
    std::unique_lock lock(mutex_);
    if (free_.empty() && made_.size() < capacity_) {
        // Not value-initialised: every pixel is written by the copy before it is read.
        std::unique_ptr<uint32_t[]> buffer(new (std::nothrow) uint32_t[pixels_]);
        if (!buffer) {
            return Outcome::OutOfMemory;
        }
        free_.push_back(buffer.get());
        made_.push_back(std::move(buffer));
    }
    if (!returned_.wait_for(lock, wait, [this] { return !free_.empty(); })) {
        return Outcome::TimedOut;
    }
    lease = Lease(this, free_.back());
    free_.pop_back();
    return Outcome::Leased;
}

void PicturePool::GiveBack(uint32_t* buffer)
{
    {
        std::lock_guard lock(mutex_);
        free_.push_back(buffer);
    }
    returned_.notify_one();
}

PicturePool::Lease::Lease(Lease&& other) noexcept
    : pool_(std::exchange(other.pool_, nullptr)), buffer_(std::exchange(other.buffer_, nullptr))
{
}

PicturePool::Lease& PicturePool::Lease::operator=(Lease&& other) noexcept
{
    if (this != &other) {
        Release();
        pool_ = std::exchange(other.pool_, nullptr);
        buffer_ = std::exchange(other.buffer_, nullptr);
    }
    return *this;
}

PicturePool::Lease::~Lease() { Release(); }

void PicturePool::Lease::Release()
{
    if (buffer_ != nullptr) {
        pool_->GiveBack(std::exchange(buffer_, nullptr));
        pool_ = nullptr;
    }
}

} // namespace discforge::convert
