#include "picture/Rescaler.h"
#include "platform/Yuv420Bands.h"
#include "platform/Yuv420ToColumns.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace discforge {
namespace {

constexpr int strip = PictureBands::columnRows;
constexpr int columnBytes = 4 * strip;

struct FrameDeleter {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
using FramePointer = std::unique_ptr<AVFrame, FrameDeleter>;

// A 4:2:0 frame of noise, its rows padded as a decoder pads them.
FramePointer NoiseFrame(int width, int height, unsigned seed)
{
    FramePointer frame(av_frame_alloc());
    frame->width = width;
    frame->height = height;
    frame->format = AV_PIX_FMT_YUV420P;
    EXPECT_GE(av_frame_get_buffer(frame.get(), 64), 0);
    std::mt19937 random(seed);
    for (int plane = 0; plane < 3; ++plane) {
        const int rows = plane == 0 ? height : (height + 1) / 2;
        for (int y = 0; y < rows; ++y) {
            std::uint8_t* row = frame->data[plane] + static_cast<std::ptrdiff_t>(y) * frame->linesize[plane];
            for (int x = 0; x < frame->linesize[plane]; ++x) {
                row[x] = static_cast<std::uint8_t>(random());
            }
        }
    }
    return frame;
}

// The columns of rows top .. top + 7 as they come from the rows the bands make.
std::vector<std::uint8_t> ColumnsFromRows(const PictureBands& bands, int top)
{
    const int width = bands.Width();
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(width) * 4 * strip);
    bands.MakeRows(top, strip, rows.data(), std::ptrdiff_t{4} * width);
    const int padded = (width + strip - 1) / strip * strip;
    std::vector<std::uint8_t> columns(static_cast<std::size_t>(padded) * columnBytes, 0);
    for (int x = 0; x < width; ++x) {
        for (int slot = 0; slot < strip; ++slot) {
            const int row = strip - 1 - slot;
            std::memcpy(columns.data() + std::ptrdiff_t{columnBytes} * x + 4 * slot,
                rows.data() + (std::ptrdiff_t{row} * width + x) * 4, 4);
        }
    }
    return columns;
}

// Widths that end in part of a block of 32 pixels and in part of a column
// block of 8, at the top of a frame and below it (where the rows above are read
// ahead), each against the rows the same bands make.
TEST(Yuv420Columns, HoldTheRowsConvertedPixelsBottomRowFirst)
{
    if (!Yuv420ToBgrxAvailable()) {
        GTEST_SKIP() << "no AVX2";
    }
    for (int width : {32, 34, 62, 100, 720, 1282}) {
        const FramePointer frame = NoiseFrame(width, 3 * strip, static_cast<unsigned>(width));
        const std::unique_ptr<Yuv420Bands> bands = Yuv420Bands::Hold(*frame);
        for (int top : {0, 2, strip, 2 * strip}) {
            const std::vector<std::uint8_t> expected = ColumnsFromRows(*bands, top);
            std::vector<std::uint8_t> columns(expected.size(), 0xA5);
            ASSERT_TRUE(bands->MakeColumns(top, columns.data())) << width;
            EXPECT_EQ(columns, expected) << width << " wide, from row " << top;
        }
    }
}

// Where the columns cannot be made the caller's buffer stays as it was: it then
// makes rows.
TEST(Yuv420Columns, RefusedForNarrowAndOddWidthsAndRowsPastTheEnd)
{
    const FramePointer narrow = NoiseFrame(30, 16, 1);
    const FramePointer odd = NoiseFrame(65, 16, 2);
    const FramePointer wide = NoiseFrame(64, 16, 3);
    std::vector<std::uint8_t> columns(72 * columnBytes, 0xA5);
    const std::vector<std::uint8_t> untouched = columns;
    EXPECT_FALSE(Yuv420Bands::Hold(*narrow)->MakeColumns(0, columns.data()));
    EXPECT_FALSE(Yuv420Bands::Hold(*odd)->MakeColumns(0, columns.data()));
    EXPECT_FALSE(Yuv420Bands::Hold(*wide)->MakeColumns(10, columns.data()));
    EXPECT_FALSE(Yuv420Bands::Hold(*wide)->MakeColumns(1, columns.data()));
    EXPECT_EQ(columns, untouched);
}

// The same bands, but making rows only, as bands did before they made columns.
class RowsOnly final : public PictureBands {
public:
    explicit RowsOnly(const PictureBands& bands)
        : bands_(bands)
    {
    }
    int Width() const override { return bands_.Width(); }
    int Height() const override { return bands_.Height(); }
    void MakeRows(int top, int count, std::uint8_t* into, std::ptrdiff_t pitch) const override
    {
        bands_.MakeRows(top, count, into, pitch);
    }

private:
    const PictureBands& bands_;
};

std::vector<std::uint8_t> Reduced(const PictureBands& bands, int newWidth, int newHeight)
{
    Rescaler rescaler;
    rescaler.Prepare(bands.Width(), bands.Height(), newWidth, newHeight);
    std::vector<std::uint8_t> target(static_cast<std::size_t>(newWidth) * newHeight * 4, 0xA5);
    EXPECT_TRUE(rescaler.ScaleBands(bands, TargetRows{target.data(), std::ptrdiff_t{4} * newWidth}, nullptr));
    return target;
}

// A decoded frame reduced from its columns gives the bytes of its reduction from
// rows: the reductions of the disc sizes, with a last strip of fewer rows and
// widths the columns refuse among them.
TEST(Yuv420Columns, ReduceAFrameToTheBytesOfItsRows)
{
    struct Sizes {
        int width;
        int height;
        int newWidth;
        int newHeight;
    };
    for (const Sizes& sizes : {Sizes{1280, 720, 470, 432}, Sizes{1280, 720, 352, 198}, Sizes{720, 576, 352, 288},
             Sizes{1920, 1080, 720, 405}, Sizes{100, 50, 37, 21}, Sizes{66, 36, 64, 20}, Sizes{33, 24, 20, 10}}) {
        const FramePointer frame = NoiseFrame(sizes.width, sizes.height, 11);
        const std::unique_ptr<Yuv420Bands> bands = Yuv420Bands::Hold(*frame);
        EXPECT_EQ(Reduced(*bands, sizes.newWidth, sizes.newHeight),
            Reduced(RowsOnly(*bands), sizes.newWidth, sizes.newHeight))
            << sizes.width << "x" << sizes.height << " to " << sizes.newWidth << "x" << sizes.newHeight;
    }
}

} // namespace
} // namespace discforge
