// Copies of the caller's pictures on their way to the encoding thread. The caller's
// picture is only valid until its next call, so each one is copied into a buffer of
// this pool; the encoding thread gives the buffer back once it converted the picture.
// A fixed number of buffers, made on first need and then reused: the memory stays the
// same however long the input is.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace discforge::convert {

class PicturePool {
public:
    // Buffers of `pixels` 32-bit pixels each, at most `buffers` of them.
    PicturePool(std::size_t pixels, std::size_t buffers);
    PicturePool(const PicturePool&) = delete;
    PicturePool& operator=(const PicturePool&) = delete;

    // One buffer, handed back to the pool when the lease ends. The pool must outlive it.
    class Lease {
    public:
        Lease() = default;
        Lease(Lease&& other) noexcept;
        Lease& operator=(Lease&& other) noexcept;
        ~Lease();
        explicit operator bool() const { return buffer_ != nullptr; }
        uint32_t* Pixels() const { return buffer_; }
        // Hands the buffer back now.
        void Release();

    private:
        friend class PicturePool;
        Lease(PicturePool* pool, uint32_t* buffer) : pool_(pool), buffer_(buffer) {}
        PicturePool* pool_ = nullptr;
        uint32_t* buffer_ = nullptr;
    };

    enum class Outcome { Leased, TimedOut, OutOfMemory };
    // Leases a free buffer, waiting at most `wait` for one to come back when all are out.
    Outcome Acquire(std::chrono::milliseconds wait, Lease& lease);
    std::size_t PixelsPerBuffer() const { return pixels_; }

private:
    void GiveBack(uint32_t* buffer);

    const std::size_t pixels_;
    const std::size_t capacity_;
    std::mutex mutex_;
    std::condition_variable returned_;
    std::vector<std::unique_ptr<uint32_t[]>> made_;
    std::vector<uint32_t*> free_;
};

} // namespace discforge::convert
