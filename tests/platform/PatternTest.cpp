#include "pattern/ClickTrack.h"
#include "pattern/FramePattern.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace discforge::pattern {
namespace {

TEST(FramePattern, NumbersReadBackInEveryPixelLayout)
{
    for (int bytesPerPixel : {3, 4}) {
        for (bool bottomUp : {false, true}) {
            const int width = 176;
            const int height = 144;
            const int stride = width * bytesPerPixel + 4;
            std::vector<std::uint8_t> pixels(static_cast<std::size_t>(stride * height));
            for (std::int64_t number : std::initializer_list<std::int64_t>{0, 1, 37, 1499, 65536, maxFrameNumber}) {
                DrawFramePattern(PatternImage{pixels.data(), width, height, stride, bytesPerPixel, bottomUp}, number);
                EXPECT_EQ(ReadFrameNumber(ConstPatternImage{pixels.data(), width, height, stride, bytesPerPixel,
                                                            bottomUp}),
                          number)
                    << bytesPerPixel << " bytes, bottom-up " << bottomUp;
            }
        }
    }
}

TEST(FramePattern, ReadsInsideALetterboxAndRefusesTheWrongOrientation)
{
    const int width = 352;
    const int height = 240;
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(width * height * 4), 0);
    // A 4:3 picture fitted into the middle of a wider frame.
    const int innerWidth = 320;
    const int left = (width - innerWidth) / 2;
    PatternImage inner{frame.data() + left * 4, innerWidth, height, width * 4, 4, false};
    DrawFramePattern(inner, 4242);
    ConstPatternImage whole{frame.data(), width, height, width * 4, 4, false};
    EXPECT_EQ(ReadFrameNumber(whole, PatternRegion{left, 0, innerWidth, height}), 4242);
    ConstPatternImage upsideDown{frame.data(), width, height, width * 4, 4, true};
    EXPECT_EQ(ReadFrameNumber(upsideDown, PatternRegion{left, 0, innerWidth, height}), -1);
    EXPECT_EQ(ReadFrameNumber(whole, PatternRegion{left, 0, width, height}), -1) << "region outside the image";
}

TEST(FramePattern, AFlatOrDamagedBandIsNotANumber)
{
    const int width = 160;
    const int height = 120;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width * height * 3), 128);
    ConstPatternImage image{pixels.data(), width, height, width * 3, 3, false};
    EXPECT_EQ(ReadFrameNumber(image), -1);

    DrawFramePattern(PatternImage{pixels.data(), width, height, width * 3, 3, false}, 5);
    // Turn the cell of bit value 2 white: without the parity cell 5 would read as 7.
    const int cellLeft = 20 * width / 24;
    const int cellRight = 21 * width / 24;
    for (int y = 0; y < height / 6; ++y) {
        for (int x = cellLeft; x < cellRight; ++x) {
            std::uint8_t* pixel = pixels.data() + (y * width + x) * 3;
            pixel[0] = pixel[1] = pixel[2] = 235;
        }
    }
    EXPECT_EQ(ReadFrameNumber(image), -1) << "parity must catch a single flipped bit";
}

TEST(ClickTrack, ClicksStartOnEverySecondAndAreFoundThere)
{
    for (int rate : {11025, 22050, 44100, 48000}) {
        const std::int64_t length = 3 * static_cast<std::int64_t>(rate) + rate / 2;
        std::vector<std::uint8_t> wide(static_cast<std::size_t>(length) * 4);
        std::vector<std::uint8_t> narrow(static_cast<std::size_t>(length));
        for (std::int64_t i = 0; i < length; ++i) {
            double value = ClickTrackValue(i, rate);
            ASSERT_LE(std::fabs(value), 0.9);
            auto word = static_cast<std::int16_t>(std::lround(value * 32767));
            for (int channel = 0; channel < 2; ++channel) {
                wide[static_cast<std::size_t>(i * 4 + channel * 2)] = static_cast<std::uint8_t>(word & 0xFF);
                wide[static_cast<std::size_t>(i * 4 + channel * 2 + 1)] = static_cast<std::uint8_t>(word >> 8);
            }
            narrow[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(128 + std::lround(value * 127));
        }
        const std::vector<std::int64_t> seconds{0, rate, 2LL * rate, 3LL * rate};
        EXPECT_EQ(FindClicks(wide.data(), wide.size(), 2, 16), seconds) << rate;
        EXPECT_EQ(FindClicks(narrow.data(), narrow.size(), 1, 8), seconds) << rate;
        // Positions count from where the caller's piece starts.
        const std::size_t half = static_cast<std::size_t>(rate / 2);
        EXPECT_EQ(FindClicks(wide.data() + 4 * half, wide.size() - 4 * half, 2, 16, rate / 2),
                  (std::vector<std::int64_t>{rate, 2LL * rate, 3LL * rate}));

    }
}

} // namespace
} // namespace discforge::pattern
