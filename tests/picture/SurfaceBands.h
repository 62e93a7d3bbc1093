// Bands served from a surface held in memory, as a decoder's bands make them
// from its planes: each request is checked against what bands promise to be
// asked, and the rows made are counted.
#pragma once

#include <gtest/gtest.h>

#include <cstring>

#include "picture/TBaseDib.h"
#include "ports/PictureBands.h"

namespace discforge::test {

class SurfaceBands final : public PictureBands {
public:
    explicit SurfaceBands(const SurfaceRows& surface)
        : surface_(surface)
    {
    }

    int Width() const override { return surface_.width; }
    int Height() const override { return surface_.height; }
    void MakeRows(int top, int count, std::uint8_t* into, std::ptrdiff_t pitch) const override
    {
        ASSERT_EQ(top % 2, 0);
        ASSERT_EQ(count % 2, 0);
        ASSERT_GE(top, 0);
        ASSERT_LE(top + count, surface_.height);
        for (int i = 0; i < count; ++i) {
            std::uint8_t* row = into + i * pitch;
            std::memcpy(row, surface_.rows + static_cast<std::ptrdiff_t>(top + i) * surface_.pitch,
                static_cast<std::size_t>(surface_.width) * 4);
            for (int x = 0; x < surface_.width; ++x) {
                row[4 * x + 3] = 0;
            }
        }
        rowsMade += count;
    }

    mutable int rowsMade = 0;

private:
    SurfaceRows surface_;
};

} // namespace discforge::test
