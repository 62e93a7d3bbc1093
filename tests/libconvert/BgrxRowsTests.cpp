// The AVX2 rows of the 4:2:0 conversion against the plain ones: the same bytes for
// every pixel, whatever the width; the plain luma row is left exactly the pixels the
// AVX2 one does not fill registers with, and the plain chroma row only rows too
// short for one register.
#include "BgrxRows.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace discforge::test {
namespace {

using namespace convert;

struct Rows {
    std::vector<uint32_t> upper;
    std::vector<uint32_t> lower;
};

Rows RandomRows(int width, uint32_t seed)
{
    std::mt19937 random(seed);
    Rows rows{std::vector<uint32_t>(static_cast<std::size_t>(width)), std::vector<uint32_t>(static_cast<std::size_t>(width))};
    for (std::size_t i = 0; i < rows.upper.size(); ++i) {
        rows.upper[i] = static_cast<uint32_t>(random());
        rows.lower[i] = static_cast<uint32_t>(random());
    }
    return rows;
}

// Rows of the extremes: every byte 0 or 255 in every combination across four pixels.
Rows ExtremeRows(int width)
{
    Rows rows{std::vector<uint32_t>(static_cast<std::size_t>(width)), std::vector<uint32_t>(static_cast<std::size_t>(width))};
    for (int i = 0; i < width; ++i) {
        const auto bits = static_cast<uint32_t>(i * 37 + 11);
        const auto spread = [](uint32_t b) {
            return ((b & 1) ? 0xFFu : 0u) | ((b & 2) ? 0xFF00u : 0u) | ((b & 4) ? 0xFF0000u : 0u) |
                   ((b & 8) ? 0xFF000000u : 0u);
        };
        rows.upper[static_cast<std::size_t>(i)] = spread(bits);
        rows.lower[static_cast<std::size_t>(i)] = spread(bits >> 4);
    }
    return rows;
}

void ExpectSameAsPlain(const Rows& rows, int width)
{
    SCOPED_TRACE(width);
    std::vector<uint8_t> plain(static_cast<std::size_t>(width) + 1, 0xA5);
    std::vector<uint8_t> fast(plain);
    LumaRowPlain(rows.upper.data(), plain.data(), width);
    const int done = LumaRowAvx2(rows.upper.data(), fast.data(), width);
    EXPECT_EQ(done, width - width % 8);
    LumaRowPlain(rows.upper.data() + done, fast.data() + done, width - done);
    EXPECT_EQ(fast, plain);

    const int chromaWidth = width / 2;
    std::vector<uint8_t> plainU(static_cast<std::size_t>(chromaWidth) + 1, 0x5A), plainV(plainU);
    std::vector<uint8_t> fastU(plainU), fastV(plainV);
    ChromaRowPlain(rows.upper.data(), rows.lower.data(), plainU.data(), plainV.data(), chromaWidth);
    const int chromaDone = ChromaRowAvx2(rows.upper.data(), rows.lower.data(), fastU.data(), fastV.data(), chromaWidth);
    EXPECT_EQ(chromaDone, chromaWidth < 16 ? 0 : chromaWidth);
    ChromaRowPlain(rows.upper.data() + 2 * chromaDone, rows.lower.data() + 2 * chromaDone, fastU.data() + chromaDone,
                   fastV.data() + chromaDone, chromaWidth - chromaDone);
    EXPECT_EQ(fastU, plainU);
    EXPECT_EQ(fastV, plainV);
}

TEST(BgrxRows, Avx2RowsGiveThePlainBytesAtEveryWidth)
{
    if (!RowsHaveAvx2()) {
        GTEST_SKIP() << "no AVX2 on this processor";
    }
    for (int width = 0; width <= 100; ++width) {
        ExpectSameAsPlain(RandomRows(width, static_cast<uint32_t>(width)), width);
    }
    for (const int width : {352, 426, 480, 704, 720, 1280}) {
        ExpectSameAsPlain(RandomRows(width, 7), width);
        ExpectSameAsPlain(ExtremeRows(width), width);
    }
}

TEST(BgrxRows, Avx2RowsMatchThePlainOnesOnGreyRamps)
{
    if (!RowsHaveAvx2()) {
        GTEST_SKIP() << "no AVX2 on this processor";
    }
    // Every grey level and every level of one colour at a time, where rounding steps lie.
    for (const int shift : {0, 8, 16}) {
        Rows rows{std::vector<uint32_t>(256), std::vector<uint32_t>(256)};
        for (uint32_t level = 0; level < 256; ++level) {
            rows.upper[level] = level << shift;
            rows.lower[level] = (level * 0x010101u) | 0xFF000000u;
        }
        ExpectSameAsPlain(rows, 256);
    }
}

} // namespace
} // namespace discforge::test
