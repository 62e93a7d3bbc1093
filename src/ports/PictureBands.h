// A 32-bit BGRX picture whose rows are made on request, a few at a time: a
// decoded frame that is scaled down as it is converted never has its whole
// converted picture written out, and the rows it does make stay in the cache.
#pragma once

#include <cstddef>
#include <cstdint>

namespace discforge {

class PictureBands {
public:
    // The rows of a strip that MakeColumns makes at once.
    static constexpr int columnRows = 8;

    virtual ~PictureBands() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Rows `top` .. `top` + `count` - 1 (row 0 at the top) as Width() pixels each,
    // the fourth byte 0, row `top` at `into` and each next one `pitch` bytes on
    // (negative stores upwards). `top` and `count` are even: the rows share their
    // colour in pairs.
    virtual void MakeRows(int top, int count, std::uint8_t* into, std::ptrdiff_t pitch) const = 0;
    // Rows `top` (even) .. `top` + columnRows - 1 as columns, the form in which an
    // area reduction sums a strip of rows at once: pixel x of every row at `into`
    // + 4 x columnRows x, the bottom row's first, each with the fourth byte 0;
    // the columns from Width() up to the next multiple of columnRows are 0.
    // False, with nothing written, where these bands make rows only.
    virtual bool MakeColumns(int top, std::uint8_t* into) const
    {
        static_cast<void>(top);
        static_cast<void>(into);
        return false;
    }
};

} // namespace discforge
