#include "picture/PictureBlock.h"

#include <cstdlib>
#include <cstring>

namespace discforge {

bool PictureBlock::Allocate(std::size_t size, Contents contents)
{
    if (data_ && size <= capacity_) {
        size_ = size;
        if (contents == Contents::black) {
            std::memset(data_.get(), 0, size);
        }
        return true;
    }
    Release();
    const std::size_t bytes = size == 0 ? 1 : size;
    // calloc: large blocks come as fresh zero pages that cost nothing until written.
    data_.reset(static_cast<std::uint8_t*>(contents == Contents::black ? std::calloc(bytes, 1) : std::malloc(bytes)));
    if (!data_) {
        return false;
    }
    size_ = size;
    capacity_ = bytes;
    return true;
}

void PictureBlock::Free::operator()(std::uint8_t* p) const { std::free(p); }

void PictureBlock::Release()
{
    data_.reset();
    size_ = 0;
    capacity_ = 0;
}

} // namespace discforge
