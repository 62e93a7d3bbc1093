// A 32-bit BGRX picture whose rows are made on request, a few at a time: a
// decoded frame that is scaled down as it is converted never has its whole
// converted picture written out, and the rows it does make stay in the cache.
#pragma once

#include <cstddef>
#include <cstdint>

namespace discforge {

class PictureBands {
public:
    virtual ~PictureBands() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Rows `top` .. `top` + `count` - 1 (row 0 at the top) as Width() pixels each,
    // the fourth byte 0, row `top` at `into` and each next one `pitch` bytes on
    // (negative stores upwards). `top` and `count` are even: the rows share their
    // colour in pairs.
    virtual void MakeRows(int top, int count, std::uint8_t* into, std::ptrdiff_t pitch) const = 0;
};

} // namespace discforge
