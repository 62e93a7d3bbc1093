#include "platform/Yuv420ToBgrx.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace discforge {
namespace {

struct Picture {
    int width;
    int height;
    std::vector<std::uint8_t> luma;
    std::vector<std::uint8_t> cb;
    std::vector<std::uint8_t> cr;

    Picture(int w, int h)
        : width(w)
        , height(h)
        , luma(static_cast<std::size_t>(w) * static_cast<std::size_t>(h))
        , cb(static_cast<std::size_t>(ChromaWidth()) * static_cast<std::size_t>((h + 1) / 2))
        , cr(cb.size())
    {
    }
    int ChromaWidth() const { return (width + 1) / 2; }
    Yuv420Planes Planes() const { return {luma.data(), cb.data(), cr.data(), width, ChromaWidth(), ChromaWidth()}; }
};

// What the picture converter makes of it, the rows padded so that its blocks
// fit, cut back to the picture's width.
std::vector<std::uint8_t> ConverterBgrx(const Picture& picture)
{
    SwsContext* converter = sws_alloc_context();
    av_opt_set_int(converter, "srcw", picture.width, 0);
    av_opt_set_int(converter, "srch", picture.height, 0);
    av_opt_set_int(converter, "src_format", AV_PIX_FMT_YUV420P, 0);
    av_opt_set_int(converter, "dstw", picture.width, 0);
    av_opt_set_int(converter, "dsth", picture.height, 0);
    av_opt_set_int(converter, "dst_format", AV_PIX_FMT_BGR0, 0);
    av_opt_set_int(converter, "sws_flags", SWS_BILINEAR, 0);
    EXPECT_GE(sws_init_context(converter, nullptr, nullptr), 0);
    const int rowBytes = picture.width * 4;
    const int paddedPitch = (rowBytes + 63) / 64 * 64;
    std::vector<std::uint8_t> padded(static_cast<std::size_t>(paddedPitch) * static_cast<std::size_t>(picture.height));
    const std::uint8_t* source[4] = {picture.luma.data(), picture.cb.data(), picture.cr.data(), nullptr};
    const int sourcePitches[4] = {picture.width, picture.ChromaWidth(), picture.ChromaWidth(), 0};
    std::uint8_t* target[4] = {padded.data(), nullptr, nullptr, nullptr};
    const int targetPitches[4] = {paddedPitch, 0, 0, 0};
    EXPECT_EQ(sws_scale(converter, source, sourcePitches, 0, picture.height, target, targetPitches), picture.height);
    sws_freeContext(converter);
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(picture.height));
    for (int y = 0; y < picture.height; ++y) {
        std::memcpy(rows.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(rowBytes),
            padded.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(paddedPitch),
            static_cast<std::size_t>(rowBytes));
    }
    return rows;
}

std::vector<std::uint8_t> OursBgrx(const Picture& picture, std::uint8_t fourth)
{
    const int rowBytes = picture.width * 4;
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(picture.height));
    Yuv420ToBgrx(picture.Planes(), picture.width, picture.height, rows.data(), rowBytes, fourth);
    return rows;
}

// Index of the first differing byte, or -1.
std::ptrdiff_t FirstDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b)
{
    const auto [left, right] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    return left == a.end() && right == b.end() ? -1 : left - a.begin();
}

// Every luma value meets every chroma pair: 2x2 blocks of four luma values,
// each pair in 64 blocks; as wide as the wide kernel likes, and as narrow as
// only the pixel-by-pixel one takes.
TEST(Yuv420ToBgrx, GivesTheConvertersBytesForEveryColour)
{
    if (!Yuv420ToBgrxAvailable()) {
        GTEST_SKIP() << "no AVX2";
    }
    constexpr int everyCombination = 256 * 256 * 256;
    for (int width : {4096, 16}) {
        Picture picture(width, everyCombination / width);
        const int chromaWidth = picture.ChromaWidth();
        for (int cy = 0; cy < picture.height / 2; ++cy) {
            for (int cx = 0; cx < chromaWidth; ++cx) {
                const int block = cy * chromaWidth + cx;
                picture.cb[static_cast<std::size_t>(block)] = static_cast<std::uint8_t>(block & 0xFF);
                picture.cr[static_cast<std::size_t>(block)] = static_cast<std::uint8_t>((block >> 8) & 0xFF);
                for (int corner = 0; corner < 4; ++corner) {
                    const int x = 2 * cx + (corner & 1);
                    const int y = 2 * cy + (corner >> 1);
                    picture.luma[static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width)
                        + static_cast<std::size_t>(x)]
                        = static_cast<std::uint8_t>(4 * (block >> 16) + corner);
                }
            }
        }
        EXPECT_EQ(FirstDifference(OursBgrx(picture, 255), ConverterBgrx(picture)), -1) << width << " wide";
    }
}

// Widths that end in part of a block, odd ones among them, bottom-up rows, a
// zero fourth byte, and an odd height (compared with the rows of one taller).
TEST(Yuv420ToBgrx, MatchesTheConverterAtAnySizeAndRowOrder)
{
    if (!Yuv420ToBgrxAvailable()) {
        GTEST_SKIP() << "no AVX2";
    }
    std::mt19937 random(7);
    for (const auto& [width, height] :
        std::vector<std::pair<int, int>>{{1, 2}, {31, 2}, {33, 4}, {95, 6}, {318, 238}, {642, 362}}) {
        Picture picture(width, height);
        for (auto* plane : {&picture.luma, &picture.cb, &picture.cr}) {
            for (std::uint8_t& sample : *plane) {
                sample = static_cast<std::uint8_t>(random());
            }
        }
        std::vector<std::uint8_t> expected = ConverterBgrx(picture);
        for (std::size_t i = 3; i < expected.size(); i += 4) {
            expected[i] = 0;
        }
        EXPECT_EQ(FirstDifference(OursBgrx(picture, 0), expected), -1) << width << "x" << height;

        const int rowBytes = width * 4;
        std::vector<std::uint8_t> upwards(expected.size());
        std::uint8_t* lastRow = upwards.data() + static_cast<std::ptrdiff_t>(height - 1) * rowBytes;
        Yuv420ToBgrx(picture.Planes(), width, height, lastRow, -rowBytes, 0);
        for (int y = 0; y < height; ++y) {
            EXPECT_EQ(
                std::memcmp(lastRow - static_cast<std::ptrdiff_t>(y) * rowBytes,
                    expected.data() + static_cast<std::ptrdiff_t>(y) * rowBytes, static_cast<std::size_t>(rowBytes)),
                0)
                << width << "x" << height << " upwards, row " << y;
        }

        std::vector<std::uint8_t> shorter(expected.size() - static_cast<std::size_t>(rowBytes));
        Yuv420ToBgrx(picture.Planes(), width, height - 1, shorter.data(), rowBytes, 0);
        EXPECT_TRUE(std::equal(shorter.begin(), shorter.end(), expected.begin())) << width << "x" << height - 1;
    }
}

} // namespace
} // namespace discforge
