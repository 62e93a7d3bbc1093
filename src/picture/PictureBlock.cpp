#include "picture/PictureBlock.h"

#include <cstdlib>

namespace discforge {

bool PictureBlock::Allocate(std::size_t size)
{
    Release();
    // calloc: the whole block starts zero, so new rows are black; large blocks
    // come as fresh pages that cost nothing until written.
    data_.reset(static_cast<std::uint8_t*>(std::calloc(size == 0 ? 1 : size, 1)));
    if (!data_) {
        return false;
    }
    size_ = size;
    return true;
}

void PictureBlock::Free::operator()(std::uint8_t* p) const
{
    std::free(p);
}

void PictureBlock::Release()
{
    data_.reset();
    size_ = 0;
}

} // namespace discforge
