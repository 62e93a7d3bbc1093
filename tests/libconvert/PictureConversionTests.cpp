// The encoder's own BGRX to 4:2:0 conversion against swscale's, which the library used
// before: the same BT.601 matrix in the MPEG range, chroma as the mean of 2 x 2 pixels.
#include "BgrxToYuv420.h"
#include "pattern/FramePattern.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

extern "C" {
#include <libswscale/swscale.h>
}

namespace discforge::test {
namespace {

using convert::ConvertBgrxToYuv420;
using convert::Yuv420Planes;

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> topDown; // blue in the lowest byte
};

struct Planes {
    std::vector<uint8_t> y, u, v;
    int chromaWidth = 0;
};

// Ours, fed bottom row first as the library receives pictures.
Planes Ours(const Picture& picture)
{
    const int w = picture.width;
    const int h = picture.height;
    std::vector<uint32_t> bottomUp(picture.topDown.size());
    for (int row = 0; row < h; ++row) {
        std::copy_n(picture.topDown.begin() + static_cast<std::ptrdiff_t>(row) * w, w,
                    bottomUp.begin() + static_cast<std::ptrdiff_t>(h - 1 - row) * w);
    }
    // Strides wider than the picture, as the encoder's frames have.
    const int lumaStride = w + 32;
    const int chromaStride = w / 2 + 16;
    std::vector<uint8_t> y(static_cast<std::size_t>(lumaStride) * h), u(static_cast<std::size_t>(chromaStride) * h / 2),
        v(u.size());
    ConvertBgrxToYuv420(bottomUp.data() + static_cast<std::ptrdiff_t>(h - 1) * w, -w, w, h,
                        Yuv420Planes{y.data(), u.data(), v.data(), lumaStride, chromaStride});
    Planes planes;
    planes.chromaWidth = w / 2;
    for (int row = 0; row < h; ++row) {
        planes.y.insert(planes.y.end(), y.begin() + row * lumaStride, y.begin() + row * lumaStride + w);
    }
    for (int row = 0; row < h / 2; ++row) {
        planes.u.insert(planes.u.end(), u.begin() + row * chromaStride, u.begin() + row * chromaStride + w / 2);
        planes.v.insert(planes.v.end(), v.begin() + row * chromaStride, v.begin() + row * chromaStride + w / 2);
    }
    return planes;
}

// swscale's conversion of the whole picture to `format` (4:4:4 or 4:2:0).
Planes Swscale(const Picture& picture, AVPixelFormat format, int flags)
{
    const int w = picture.width;
    const int h = picture.height;
    const bool full = format == AV_PIX_FMT_YUV444P;
    Planes planes;
    planes.chromaWidth = full ? w : w / 2;
    const int chromaHeight = full ? h : h / 2;
    planes.y.resize(static_cast<std::size_t>(w) * h);
    planes.u.resize(static_cast<std::size_t>(planes.chromaWidth) * chromaHeight);
    planes.v.resize(planes.u.size());
    SwsContext* scaler = sws_getContext(w, h, AV_PIX_FMT_BGR0, w, h, format, flags, nullptr, nullptr, nullptr);
    EXPECT_NE(scaler, nullptr);
    const uint8_t* const source[4] = {reinterpret_cast<const uint8_t*>(picture.topDown.data()), nullptr, nullptr,
                                      nullptr};
    const int sourceStride[4] = {w * 4, 0, 0, 0};
    uint8_t* const target[4] = {planes.y.data(), planes.u.data(), planes.v.data(), nullptr};
    const int targetStride[4] = {w, planes.chromaWidth, planes.chromaWidth, 0};
    EXPECT_EQ(sws_scale(scaler, source, sourceStride, 0, h, target, targetStride), h);
    sws_freeContext(scaler);
    return planes;
}

int LargestDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    int largest = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        largest = std::max(largest, std::abs(a[i] - b[i]));
    }
    return largest;
}

// The largest distance of our chroma from the exact mean of swscale's full chroma.
double LargestDistanceFromMean(const std::vector<uint8_t>& ours, const std::vector<uint8_t>& full, int width)
{
    const int chromaWidth = width / 2;
    const auto rows = static_cast<int>(ours.size()) / chromaWidth;
    double largest = 0;
    for (int row = 0; row < rows; ++row) {
        for (int x = 0; x < chromaWidth; ++x) {
            const auto at = [&](int dy, int dx) {
                return full[static_cast<std::size_t>(2 * row + dy) * width + 2 * x + dx];
            };
            const double mean = (at(0, 0) + at(0, 1) + at(1, 0) + at(1, 1)) / 4.0;
            largest = std::max(largest, std::abs(ours[static_cast<std::size_t>(row) * chromaWidth + x] - mean));
        }
    }
    return largest;
}

double Psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    double squares = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const double difference = a[i] - b[i];
        squares += difference * difference;
    }
    return squares == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 * static_cast<double>(a.size()) / squares);
}

Picture RandomPicture(int width, int height, uint32_t seed)
{
    Picture picture{width, height, std::vector<uint32_t>(static_cast<std::size_t>(width) * height)};
    std::mt19937 random(seed);
    // The fourth byte is noise too: it must not matter.
    std::generate(picture.topDown.begin(), picture.topDown.end(), [&] { return static_cast<uint32_t>(random()); });
    return picture;
}

// The program's test picture: colour bars, a moving bar, digits and black and white cells.
Picture PatternPicture(int width, int height, int frame)
{
    Picture picture{width, height, std::vector<uint32_t>(static_cast<std::size_t>(width) * height)};
    pattern::PatternImage image{reinterpret_cast<uint8_t*>(picture.topDown.data()), width, height, width * 4, 4, false};
    pattern::DrawFramePattern(image, frame);
    return picture;
}

void ExpectCloseToSwscale(const Picture& picture)
{
    const Planes ours = Ours(picture);
    const Planes full = Swscale(picture, AV_PIX_FMT_YUV444P, SWS_BICUBIC);
    const Planes subsampled = Swscale(picture, AV_PIX_FMT_YUV420P, SWS_BICUBIC);
    // Luma is not resampled: only the rounding may differ.
    EXPECT_LE(LargestDifference(ours.y, full.y), 1);
    EXPECT_LE(LargestDifference(ours.y, subsampled.y), 1);
    // swscale rounds each of the four chroma values before we would average them.
    EXPECT_LE(LargestDistanceFromMean(ours.u, full.u, picture.width), 1.0);
    EXPECT_LE(LargestDistanceFromMean(ours.v, full.v, picture.width), 1.0);
}

TEST(PictureConversion, RandomPicturesMatchSwscale)
{
    ExpectCloseToSwscale(RandomPicture(720, 576, 1));
    ExpectCloseToSwscale(RandomPicture(352, 240, 2));
    ExpectCloseToSwscale(RandomPicture(2, 2, 3));
}

TEST(PictureConversion, TestPicturesMatchSwscaleAndItsSubsampledChroma)
{
    for (const int frame : {0, 77}) {
        const Picture picture = PatternPicture(720, 576, frame);
        ExpectCloseToSwscale(picture);
        // Against the chroma the encoder used to get (a bicubic reduction): the mean of
        // 2 x 2 differs only at sharp colour edges.
        const Planes ours = Ours(picture);
        const Planes before = Swscale(picture, AV_PIX_FMT_YUV420P, SWS_BICUBIC);
        EXPECT_GT(Psnr(ours.u, before.u), 35.0);
        EXPECT_GT(Psnr(ours.v, before.v), 35.0);
    }
}

TEST(PictureConversion, PrimariesGetTheirBt601Values)
{
    struct Case {
        uint32_t pixel;
        uint8_t y, u, v;
    };
    // Y' Cb Cr of the MPEG range for black, white and the full primaries.
    const Case cases[] = {{0x000000, 16, 128, 128},   {0xFFFFFF, 235, 128, 128}, {0xFF0000, 81, 90, 240},
                          {0x00FF00, 145, 54, 34},    {0x0000FF, 41, 240, 110},  {0xFF808080, 126, 128, 128},
                          {0x00FFFFFF, 235, 128, 128}};
    for (const Case& c : cases) {
        Picture picture{4, 2, std::vector<uint32_t>(8, c.pixel)};
        const Planes ours = Ours(picture);
        EXPECT_EQ(ours.y, std::vector<uint8_t>(8, c.y)) << std::hex << c.pixel;
        EXPECT_EQ(ours.u, std::vector<uint8_t>(2, c.u)) << std::hex << c.pixel;
        EXPECT_EQ(ours.v, std::vector<uint8_t>(2, c.v)) << std::hex << c.pixel;
    }
}

TEST(PictureConversion, BottomRowFirstInputGivesTheTopRowFirst)
{
    // White above black; each chroma sample from its own 2 x 2 block.
    Picture picture{4, 4, std::vector<uint32_t>(16, 0)};
    std::fill_n(picture.topDown.begin(), 8, 0xFFFFFF);
    picture.topDown[10] = 0xFF0000; // third row, third pixel: red
    const Planes ours = Ours(picture);
    EXPECT_EQ(ours.y, (std::vector<uint8_t>{235, 235, 235, 235, 235, 235, 235, 235, 16, 16, 81, 16, 16, 16, 16, 16}));
    // A quarter of red's colour difference in the lower right block only.
    EXPECT_EQ(ours.u, (std::vector<uint8_t>{128, 128, 128, 119}));
    EXPECT_EQ(ours.v, (std::vector<uint8_t>{128, 128, 128, 156}));
}

} // namespace
} // namespace discforge::test
