// One owned memory block that the picture and its work copy live in. A block
// keeps its memory for any later size that fits, so a conversion that makes a
// picture of the same sizes every frame allocates nothing after the first ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace discforge {

class PictureBlock {
public:
    // What the block holds after Allocate.
    enum class Contents {
        black, // every byte zero
        unset, // whatever the memory held: only for a caller that writes every byte
    };

    PictureBlock() = default;

    // Makes the block `size` bytes; false (and empty) when the memory cannot be had.
    bool Allocate(std::size_t size, Contents contents);
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
    std::size_t capacity_ = 0;
};

} // namespace discforge
