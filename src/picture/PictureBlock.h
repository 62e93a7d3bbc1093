// One owned, zero-filled memory block: what the picture and its work copy live in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace discforge {

class PictureBlock {
public:
    PictureBlock() = default;

    // Replaces the contents with `size` zero bytes; false (and empty) when the
    // memory cannot be had.
    bool Allocate(std::size_t size);
    void Release();

    std::uint8_t* Data() { return data_.get(); }
    const std::uint8_t* Data() const { return data_.get(); }
    std::size_t Size() const { return size_; }
    bool Empty() const { return !data_; }

private:
    struct Free {
        void operator()(std::uint8_t* p) const;
    };
    std::unique_ptr<std::uint8_t[], Free> data_;
    std::size_t size_ = 0;
};

} // namespace discforge
