#include "picture/PictureBlock.h"

#include <new>

namespace discforge {

bool PictureBlock::Allocate(std::size_t size)
{
    Release();
    // Value-initialised: the whole block starts zero, so new rows are black.
    data_.reset(new (std::nothrow) std::uint8_t[size == 0 ? 1 : size]());
    if (!data_) {
        return false;
    }
    size_ = size;
    return true;
}

void PictureBlock::Release()
{
    data_.reset();
    size_ = 0;
}

} // namespace discforge
