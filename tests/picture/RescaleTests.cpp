// Rescale and ResampleRow against a plain implementation that follows the
// accumulators step by step, with true divisions.
#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "SurfaceBands.h"
#include "picture/Resampler.h"
#include "picture/TFullDib.h"

namespace discforge {
namespace {

using Row = std::vector<std::uint8_t>;

// --- The plain implementation ----------------------------------------------

Row PlainResampleRow(const std::uint8_t* source, int n, int m)
{
    Row out(static_cast<std::size_t>(m) * 4, 0);
    if (n == m) {
        std::memcpy(out.data(), source, out.size());
        return out;
    }
    if (n == 0) {
        return out;
    }
    if (n < m) {
        const std::uint8_t* a = source;
        const std::uint8_t* b = source + (n > 1 ? 4 : 0);
        int next = 2;
        int t = 0;
        for (int k = 0; k < m; ++k) {
            for (int c = 0; c < 3; ++c) {
                out[4 * k + c] = static_cast<std::uint8_t>(a[c] + (b[c] - a[c]) * t / m);
            }
            t += n;
            if (t >= m) {
                t -= m;
                a = b;
                if (next < n) {
                    b = source + 4 * next++;
                }
            }
        }
        return out;
    }
    int sums[3] = {0, 0, 0};
    int t = 0;
    int k = 0;
    for (int p = 0; p < n; ++p) {
        const std::uint8_t* pixel = source + 4 * p;
        t += m;
        if (t < n) {
            for (int c = 0; c < 3; ++c) {
                sums[c] += pixel[c];
            }
            continue;
        }
        t -= n;
        for (int c = 0; c < 3; ++c) {
            const int part = (m - t) * pixel[c] / m;
            out[4 * k + c] = static_cast<std::uint8_t>((part + sums[c]) * m / n);
            sums[c] = pixel[c] * t / m;
        }
        ++k;
    }
    return out;
}

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Row> rows; // memory rows, bottom first, 4 x width bytes
};

Picture PlainRescale(const Picture& in, int newWidth, int newHeight)
{
    Picture out{newWidth, newHeight, std::vector<Row>(newHeight, Row(static_cast<std::size_t>(newWidth) * 4, 0))};
    auto resample = [&](int r) { return PlainResampleRow(in.rows[r].data(), in.width, newWidth); };
    const int bytes = 4 * newWidth;
    if (in.height == newHeight) {
        for (int r = 0; r < in.height; ++r) {
            out.rows[r] = resample(r);
        }
    } else if (in.height < newHeight) {
        Row a = resample(0);
        Row b = resample(in.height > 1 ? 1 : 0);
        int next = 2;
        int t = 0;
        for (int y = 0; y < newHeight; ++y) {
            for (int i = 0; i < bytes; ++i) {
                out.rows[y][i] = i % 4 == 3 ? 0 : static_cast<std::uint8_t>(a[i] + (b[i] - a[i]) * t / newHeight);
            }
            t += in.height;
            if (t >= newHeight) {
                t -= newHeight;
                a = b;
                b = next < in.height ? resample(next++) : a;
            }
        }
    } else {
        std::vector<long long> sums(bytes, 0);
        int t = 0;
        int o = 0;
        for (int r = 0; r < in.height; ++r) {
            const Row row = resample(r);
            t += newHeight;
            if (t < in.height) {
                for (int i = 0; i < bytes; ++i) {
                    sums[i] += row[i];
                }
                continue;
            }
            t -= in.height;
            for (int i = 0; i < bytes; ++i) {
                sums[i] += static_cast<long long>(newHeight - t) * row[i] / newHeight;
                out.rows[o][i] = i % 4 == 3 ? 0 : static_cast<std::uint8_t>(newHeight * sums[i] / in.height);
                sums[i] = static_cast<long long>(row[i]) * t / newHeight;
            }
            ++o;
        }
    }
    return out;
}

Picture PlainCentre(const Picture& in, int frameWidth, int frameHeight)
{
    Picture out{frameWidth, frameHeight, std::vector<Row>(frameHeight, Row(static_cast<std::size_t>(frameWidth) * 4, 0))};
    const int bottom = (frameHeight - in.height) >> 1;
    const int left = (frameWidth - in.width) >> 1;
    for (int r = 0; r < in.height; ++r) {
        for (int x = 0; x < in.width; ++x) {
            for (int c = 0; c < 3; ++c) {
                out.rows[bottom + r][4 * (left + x) + c] = in.rows[r][4 * x + c];
            }
        }
    }
    return out;
}

// --- Helpers ------------------------------------------------------------------

Picture RandomPicture(std::mt19937& random, int width, int height)
{
    std::uniform_int_distribution<int> byte(0, 255);
    Picture picture{width, height, std::vector<Row>(height, Row(static_cast<std::size_t>(width) * 4))};
    for (auto& row : picture.rows) {
        for (auto& b : row) {
            b = static_cast<std::uint8_t>(byte(random));
        }
    }
    return picture;
}

void Fill(TFullDib& dib, const Picture& picture)
{
    ASSERT_TRUE(dib.CreateBlank(picture.width, picture.height));
    for (int r = 0; r < picture.height; ++r) {
        std::memcpy(dib.Row(r), picture.rows[r].data(), picture.rows[r].size());
    }
}

void ExpectSame(const TFullDib& dib, const Picture& expected, const char* what)
{
    ASSERT_EQ(dib.Width(), expected.width) << what;
    ASSERT_EQ(dib.Height(), expected.height) << what;
    ASSERT_EQ(dib.Depth(), 32) << what;
    for (int r = 0; r < expected.height; ++r) {
        ASSERT_EQ(0, std::memcmp(dib.Row(r), expected.rows[r].data(), expected.rows[r].size()))
            << what << ": memory row " << r;
    }
}

void CheckRescale(const Picture& source, int newWidth, int newHeight, int frameWidth, int frameHeight)
{
    TFullDib dib;
    Fill(dib, source);
    ASSERT_TRUE(dib.Rescale(newWidth, newHeight, frameWidth, frameHeight));
    Picture expected = PlainRescale(source, newWidth, newHeight);
    if (frameWidth != newWidth || frameHeight != newHeight) {
        expected = PlainCentre(expected, frameWidth, frameHeight);
    }
    const std::string what = std::to_string(source.width) + "x" + std::to_string(source.height) + " to " +
                             std::to_string(newWidth) + "x" + std::to_string(newHeight) + " in " +
                             std::to_string(frameWidth) + "x" + std::to_string(frameHeight);
    ExpectSame(dib, expected, what.c_str());
}

// --- Tests ----------------------------------------------------------------------

TEST(ResampleRow, WorkedExamples)
{
    const std::uint8_t enlarge[8] = {0, 0, 0, 0, 100, 0, 0, 0};
    std::uint8_t out[5 * 4];
    TBaseDib::ResampleRow(enlarge, out, 2, 5);
    const int expectedEnlarged[5] = {0, 40, 80, 100, 100};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(out[4 * k], expectedEnlarged[k]) << k;
    }

    const std::uint8_t reduce[12] = {90, 0, 0, 0, 30, 0, 0, 0, 60, 0, 0, 0};
    TBaseDib::ResampleRow(reduce, out, 3, 2);
    EXPECT_EQ(out[0], 70);
    EXPECT_EQ(out[4], 50);
}

TEST(ResampleRow, EqualCountsCopyXAndOtherCountsClearIt)
{
    const std::uint8_t source[8] = {1, 2, 3, 200, 4, 5, 6, 201};
    std::uint8_t out[12];
    TBaseDib::ResampleRow(source, out, 2, 2);
    EXPECT_EQ(0, std::memcmp(out, source, 8));
    TBaseDib::ResampleRow(source, out, 2, 3);
    EXPECT_EQ(out[3], 0);
    EXPECT_EQ(out[7], 0);
    EXPECT_EQ(out[11], 0);
}

TEST(ResampleRow, OnePixelIsRepeatedWithoutReadingPastIt)
{
    const std::uint8_t source[4] = {10, 20, 30, 0};
    std::uint8_t out[7 * 4];
    TBaseDib::ResampleRow(source, out, 1, 7);
    for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(out[4 * k], 10);
        EXPECT_EQ(out[4 * k + 1], 20);
        EXPECT_EQ(out[4 * k + 2], 30);
    }
}

TEST(ResampleRow, MatchesThePlainFormOnRandomRows)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> count(1, 300);
    for (int trial = 0; trial < 3000; ++trial) {
        const int n = count(random);
        const int m = count(random);
        const Picture row = RandomPicture(random, n, 1);
        Row out(static_cast<std::size_t>(m) * 4);
        TBaseDib::ResampleRow(row.rows[0].data(), out.data(), n, m);
        ASSERT_EQ(out, PlainResampleRow(row.rows[0].data(), n, m)) << n << " to " << m;
    }
}

TEST(ResampleRow, ReductionsUpToFourToOneMatchThePlainFormAtEveryWidth)
{
    // Every ratio that the window kernel takes, with row ends inside and outside
    // the last window and outputs that do not fill the last block of 8.
    std::mt19937 random(19);
    for (int trial = 0; trial < 1500; ++trial) {
        const int m = 1 + static_cast<int>(random() % (trial % 10 == 0 ? 2000 : 120));
        const int n = m + 1 + static_cast<int>(random() % (7 * m / 2 + 2));
        const Picture row = RandomPicture(random, n, 1);
        Row out(static_cast<std::size_t>(m) * 4);
        TBaseDib::ResampleRow(row.rows[0].data(), out.data(), n, m);
        ASSERT_EQ(out, PlainResampleRow(row.rows[0].data(), n, m)) << n << " to " << m;
    }
}

TEST(ExactScale, AgreesWithDivisionIncludingWhereItMustDivide)
{
    std::mt19937_64 random(11);
    for (int trial = 0; trial < 20000; ++trial) {
        const std::uint64_t divisor = 1 + random() % (trial % 2 ? 5000 : 3000000000ull);
        const std::uint64_t numerator = random() % (divisor + 1);
        const std::uint64_t maxA = 1 + random() % (trial % 3 ? 256 : (std::uint64_t{1} << 40));
        const ExactScale scale(numerator, divisor, maxA);
        for (std::uint64_t a : {std::uint64_t{0}, std::uint64_t{1}, maxA, maxA - 1, random() % (maxA + 1)}) {
            const auto expected = static_cast<std::uint64_t>(
                static_cast<unsigned __int128>(a) * numerator / divisor);
            ASSERT_EQ(scale.Apply(a), expected) << a << " * " << numerator << " / " << divisor;
            if (scale.Fits32()) {
                ASSERT_EQ((static_cast<std::uint32_t>(a) * scale.Multiplier32()) >> scale.Shift(), expected);
            }
        }
    }
}

TEST(ExactScale, EveryByteForEveryFractionOfSmallDivisors)
{
    for (std::uint64_t divisor = 1; divisor <= 700; ++divisor) {
        for (std::uint64_t t = 0; t <= divisor; ++t) {
            const ExactScale scale(t, divisor, 255);
            ASSERT_TRUE(scale.Fits32());
            for (std::uint32_t a = 0; a < 256; ++a) {
                ASSERT_EQ((a * scale.Multiplier32()) >> scale.Shift(), a * t / divisor);
            }
        }
    }
}

TEST(Multiplier16, ExactForEveryByteWheneverFound)
{
    std::uint16_t multiplier = 0;
    for (std::uint64_t divisor = 1; divisor <= 400; ++divisor) {
        for (std::uint64_t t = 0; t < divisor; ++t) {
            const bool found = Multiplier16(t, divisor, 255, multiplier);
            // Up to 257 (after reducing) the rounding error never reaches a byte.
            if (divisor / std::gcd(t, divisor) <= 257) {
                ASSERT_TRUE(found) << t << " / " << divisor;
            }
            if (!found) {
                continue;
            }
            for (std::uint32_t a = 0; a < 256; ++a) {
                ASSERT_EQ((a * multiplier) >> 16, a * t / divisor) << a << " * " << t << " / " << divisor;
            }
        }
    }
    // Fractions of 1 or more, and values past 16 bits, have none.
    EXPECT_FALSE(Multiplier16(5, 5, 255, multiplier));
    EXPECT_FALSE(Multiplier16(1, 2, 70000, multiplier));
}

TEST(Multiplier16, AveragesOverLargeSumsAreCheckedValueByValue)
{
    std::uint16_t multiplier = 0;
    std::mt19937 random(17);
    int found = 0;
    for (int trial = 0; trial < 200; ++trial) {
        const std::uint64_t divisor = 2 + random() % 400;
        const std::uint64_t numerator = 1 + random() % (divisor - 1);
        const std::uint32_t maxA = 255 * (1 + random() % 8);
        if (!Multiplier16(numerator, divisor, maxA, multiplier)) {
            continue;
        }
        ++found;
        for (std::uint32_t a = 0; a <= maxA; ++a) {
            ASSERT_EQ((a * multiplier) >> 16, a * numerator / divisor) << numerator << " / " << divisor;
        }
    }
    EXPECT_GT(found, 50);
}

TEST(Rescale, MatchesThePlainFormOnRandomPicturesAndSizes)
{
    std::mt19937 random(3);
    std::uniform_int_distribution<int> side(1, 40);
    for (int trial = 0; trial < 600; ++trial) {
        const Picture source = RandomPicture(random, side(random), side(random));
        const int newWidth = side(random);
        const int newHeight = side(random);
        const int extraWidth = trial % 3 == 0 ? 0 : side(random) / 3;
        const int extraHeight = trial % 4 == 0 ? 0 : side(random) / 3;
        CheckRescale(source, newWidth, newHeight, newWidth + extraWidth, newHeight + extraHeight);
    }
}

TEST(Rescale, MatchesThePlainFormAtVideoSizes)
{
    std::mt19937 random(5);
    CheckRescale(RandomPicture(random, 640, 480), 720, 540, 720, 576);
    CheckRescale(RandomPicture(random, 1920, 1080), 720, 405, 720, 576);
    CheckRescale(RandomPicture(random, 352, 288), 720, 576, 720, 576);
    CheckRescale(RandomPicture(random, 720, 480), 720, 576, 720, 576);
    CheckRescale(RandomPicture(random, 720, 576), 704, 480, 720, 480);
    // The reductions and the enlargement the disc targets need from everyday inputs.
    CheckRescale(RandomPicture(random, 640, 480), 352, 240, 352, 240);
    CheckRescale(RandomPicture(random, 640, 480), 320, 240, 352, 240);
    CheckRescale(RandomPicture(random, 640, 480), 426, 480, 480, 480);
    CheckRescale(RandomPicture(random, 720, 576), 352, 288, 352, 288);
    CheckRescale(RandomPicture(random, 720, 576), 480, 576, 480, 576);
    CheckRescale(RandomPicture(random, 1280, 720), 720, 405, 720, 480);
    CheckRescale(RandomPicture(random, 1280, 720), 480, 270, 480, 480);
    CheckRescale(RandomPicture(random, 1280, 720), 352, 198, 352, 240);
    // No 16-bit multiplier averages 720 rows into 199 exactly.
    CheckRescale(RandomPicture(random, 1280, 720), 352, 199, 352, 240);
    CheckRescale(RandomPicture(random, 640, 480), 720, 576, 720, 576);
}

TEST(Rescale, WideReductionsOfTallPicturesMatchThePlainForm)
{
    // Rows reduced several at a time, at ratios past what one window of pixels
    // holds, with rows left over after the last whole strip; and so many pixels
    // per output that their sums pass 16 bits.
    std::mt19937 random(29);
    CheckRescale(RandomPicture(random, 1920, 1083), 100, 61, 104, 64);
    CheckRescale(RandomPicture(random, 999, 17), 23, 17, 23, 17);
    CheckRescale(RandomPicture(random, 3000, 21), 11, 9, 11, 9);
}

TEST(Rescale, FractionsBeyondSixteenBitsUseWiderLanes)
{
    // Among the steps t / 997 of the columns and t / 1009 of the rows are some
    // that no 16-bit multiplier gives exactly.
    std::uint16_t multiplier = 0;
    EXPECT_FALSE(Multiplier16(6, 997, 255, multiplier));
    EXPECT_FALSE(Multiplier16(17, 1009, 255, multiplier));
    std::mt19937 random(19);
    CheckRescale(RandomPicture(random, 263, 7), 997, 9, 997, 9);
    CheckRescale(RandomPicture(random, 9, 263), 7, 1009, 7, 1009);
    CheckRescale(RandomPicture(random, 1009, 997), 263, 271, 300, 280);
}

TEST(Rescale, StripsWithSharesBeyondSixteenBitsMatchThePlainForm)
{
    // Widths reduced to 299, where some shares of a pixel need the split
    // multipliers, with one, two and three whole pixels at most per output and
    // with and without an exact 16-bit average; 299 leaves a part block of outputs.
    std::uint16_t multiplier = 0;
    EXPECT_FALSE(Multiplier16(6, 299, 255, multiplier));
    std::mt19937 random(31);
    for (const int width : {398, 597, 700, 898}) {
        SCOPED_TRACE(width);
        CheckRescale(RandomPicture(random, width, 21), 299, 16, 299, 16);
    }
}

TEST(Rescale, ReusedBlocksGiveTheSameBytes)
{
    // One picture through many sizes: its blocks keep their memory and hold the
    // last picture's bytes, which must not show anywhere.
    std::mt19937 random(23);
    std::uniform_int_distribution<int> side(1, 60);
    TFullDib dib;
    for (int trial = 0; trial < 300; ++trial) {
        const Picture source = RandomPicture(random, side(random), side(random));
        const int newWidth = side(random);
        const int newHeight = side(random);
        const int frameWidth = newWidth + (trial % 3 == 0 ? 0 : side(random) / 4);
        const int frameHeight = newHeight + (trial % 5 == 0 ? 0 : side(random) / 4);
        Fill(dib, source);
        ASSERT_TRUE(dib.Rescale(newWidth, newHeight, frameWidth, frameHeight));
        Picture expected = PlainRescale(source, newWidth, newHeight);
        if (frameWidth != newWidth || frameHeight != newHeight) {
            expected = PlainCentre(expected, frameWidth, frameHeight);
        }
        ExpectSame(dib, expected, ("trial " + std::to_string(trial)).c_str());
    }
}

// The surface a decoder hands out: rows top first, `pitch` bytes apart.
std::vector<std::uint8_t> SurfaceOf(const Picture& picture, int pitch)
{
    std::vector<std::uint8_t> surface(static_cast<std::size_t>(pitch) * picture.height, 0xEE);
    for (int r = 0; r < picture.height; ++r) {
        std::memcpy(surface.data() + static_cast<std::size_t>(picture.height - 1 - r) * pitch,
                    picture.rows[r].data(), picture.rows[r].size());
    }
    return surface;
}

TEST(RescaleFromSurface, GivesWhatTheCopyAndRescaleGive)
{
    struct Case {
        int width, height, newWidth, newHeight, frameWidth, frameHeight;
    };
    const Case cases[] = {
        {64, 48, 72, 54, 72, 58},  // enlarged into a frame
        {64, 48, 35, 26, 35, 29},  // reduced into a frame
        {30, 20, 30, 20, 36, 24},  // same size into a frame
        {30, 20, 30, 20, 30, 20},  // nothing to do: a copy
        {30, 20, 40, 30, 36, 24},  // frame smaller than the new size
        {30, 20, 0, 0, 16, 16},    // nothing to scale: black
        {1, 1, 9, 5, 9, 5},        // one pixel
    };
    std::mt19937 random(29);
    TFullDib direct;
    TFullDib twoSteps;
    for (const Case& c : cases) {
        const Picture source = RandomPicture(random, c.width, c.height);
        const int pitch = c.width * 4 + 12;
        const std::vector<std::uint8_t> surface = SurfaceOf(source, pitch);
        ASSERT_TRUE(twoSteps.CopyFromSurface(c.width, c.height, pitch, surface.data()));
        ASSERT_TRUE(twoSteps.Rescale(c.newWidth, c.newHeight, c.frameWidth, c.frameHeight));
        ASSERT_TRUE(direct.RescaleFromSurface(SurfaceRows{c.width, c.height, pitch, surface.data()}, c.newWidth,
                                              c.newHeight, c.frameWidth, c.frameHeight));
        ASSERT_EQ(direct.Width(), twoSteps.Width());
        ASSERT_EQ(direct.Height(), twoSteps.Height());
        ASSERT_EQ(direct.BlockSize(), twoSteps.BlockSize());
        EXPECT_EQ(0, std::memcmp(direct.Header(), twoSteps.Header(), twoSteps.BlockSize()))
            << c.width << "x" << c.height << " to " << c.newWidth << "x" << c.newHeight;
        EXPECT_EQ(direct.DeclaredWidth(), c.width);
        EXPECT_EQ(direct.DeclaredHeight(), c.height);
    }
}

TEST(RescaleFromSurface, RefusesWhatTheCopyRefusesAndAStopLeavesTheCopy)
{
    TFullDib dib;
    const std::vector<std::uint8_t> rows(64, 9);
    EXPECT_FALSE(dib.RescaleFromSurface(SurfaceRows{4, 2, 8, rows.data()}, 8, 4, 8, 4));
    EXPECT_FALSE(dib.RescaleFromSurface(SurfaceRows{4, 2, 16, nullptr}, 8, 4, 8, 4));

    bool stop = true;
    dib.SetStopFlag(&stop);
    EXPECT_FALSE(dib.RescaleFromSurface(SurfaceRows{4, 2, 16, rows.data()}, 8, 4, 8, 4));
    EXPECT_EQ(dib.Width(), 4);
    EXPECT_EQ(dib.Height(), 2);
    EXPECT_EQ(dib.Row(0)[0], 9);
}

TEST(RescaleFromBands, GivesWhatTheSurfaceGivesMakingEachRowOnce)
{
    struct Case {
        int width, height, newWidth, newHeight, frameWidth, frameHeight;
    };
    const Case cases[] = {
        {1280, 720, 352, 198, 352, 240}, // a video frame to VCD, in strips of eight rows
        {1280, 720, 720, 405, 720, 480},
        {64, 50, 35, 26, 35, 29}, // two rows after the last strip
        {66, 14, 90, 6, 90, 6}, // wider: no strips, row by row
        {30, 2, 30, 1, 30, 4}, // frame smaller than a strip
        {30, 20, 40, 10, 36, 8}, // frame smaller than the new size
    };
    std::mt19937 random(31);
    TFullDib fromBands;
    TFullDib fromSurface;
    for (const Case& c : cases) {
        const Picture source = RandomPicture(random, c.width, c.height);
        const int pitch = c.width * 4 + 12;
        const std::vector<std::uint8_t> surface = SurfaceOf(source, pitch);
        const SurfaceRows rows{c.width, c.height, pitch, surface.data()};
        test::SurfaceBands bands(rows);
        ASSERT_TRUE(fromSurface.RescaleFromSurface(rows, c.newWidth, c.newHeight, c.frameWidth, c.frameHeight));
        ASSERT_TRUE(fromBands.RescaleFromBands(bands, c.newWidth, c.newHeight, c.frameWidth, c.frameHeight));
        ASSERT_EQ(fromBands.BlockSize(), fromSurface.BlockSize());
        EXPECT_EQ(0, std::memcmp(fromBands.Header(), fromSurface.Header(), fromSurface.BlockSize()))
            << c.width << "x" << c.height << " to " << c.newWidth << "x" << c.newHeight;
        EXPECT_EQ(bands.rowsMade, c.height);
        EXPECT_EQ(fromBands.DeclaredWidth(), c.width);
        EXPECT_EQ(fromBands.DeclaredHeight(), c.height);
    }
}

TEST(RescaleFromBands, RefusesAllButReductionsInHeightAndAStopLeavesThePicture)
{
    std::mt19937 random(37);
    const Picture source = RandomPicture(random, 16, 10);
    const std::vector<std::uint8_t> surface = SurfaceOf(source, 64);
    const SurfaceRows rows{16, 10, 64, surface.data()};
    test::SurfaceBands bands(rows);
    TFullDib dib;
    ASSERT_TRUE(dib.AllocatePicture(3, 5, 32));
    EXPECT_FALSE(dib.RescaleFromBands(bands, 20, 12, 20, 12));
    EXPECT_FALSE(dib.RescaleFromBands(bands, 8, 10, 8, 10));
    const SurfaceRows odd{16, 9, 64, surface.data()};
    test::SurfaceBands oddBands(odd);
    EXPECT_FALSE(dib.RescaleFromBands(oddBands, 8, 4, 8, 4));
    EXPECT_EQ(bands.rowsMade + oddBands.rowsMade, 0);
    bool stop = true;
    dib.SetStopFlag(&stop);
    EXPECT_FALSE(dib.RescaleFromBands(bands, 8, 4, 8, 4));
    EXPECT_EQ(dib.Width(), 3);
    EXPECT_EQ(dib.Height(), 5);
}

TEST(Rescale, EveryFrameOfAVideoReusesTheSameTwoBlocks)
{
    std::mt19937 random(31);
    const Picture frame = RandomPicture(random, 64, 48);
    const std::vector<std::uint8_t> surface = SurfaceOf(frame, 64 * 4);
    TFullDib dib;
    std::vector<const std::uint8_t*> blocks;
    for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE(dib.CopyFromSurface(64, 48, 64 * 4, surface.data()));
        ASSERT_TRUE(dib.Rescale(72, 54, 72, 58));
        if (i >= 2) {
            blocks.push_back(dib.Header());
        }
    }
    // The picture and the work block trade places: two blocks, in turn.
    for (std::size_t i = 2; i < blocks.size(); ++i) {
        EXPECT_EQ(blocks[i], blocks[i - 2]);
        EXPECT_NE(blocks[i], blocks[i - 1]);
    }
}

TEST(Rescale, ExtremeRatiosUseTheDividingPath)
{
    std::mt19937 random(9);
    CheckRescale(RandomPicture(random, 70000, 1), 3, 2, 3, 2);
    CheckRescale(RandomPicture(random, 2, 3), 66000, 1, 66000, 1);
    CheckRescale(RandomPicture(random, 1, 40000), 2, 3, 2, 3);
}

TEST(Rescale, FrameSmallerThanTheNewSizeKeepsTheMiddle)
{
    std::mt19937 random(13);
    const Picture source = RandomPicture(random, 10, 10);
    TFullDib dib;
    Fill(dib, source);
    ASSERT_TRUE(dib.Rescale(20, 20, 16, 24));
    const Picture scaled = PlainRescale(source, 20, 20);
    ASSERT_EQ(dib.Width(), 16);
    ASSERT_EQ(dib.Height(), 24);
    // Columns 2 .. 17 of the scaled picture, rows 0 .. 19 two rows up.
    for (int r = 0; r < 20; ++r) {
        for (int x = 0; x < 16; ++x) {
            for (int c = 0; c < 3; ++c) {
                ASSERT_EQ(dib.Row(r + 2)[4 * x + c], scaled.rows[r][4 * (x + 2) + c]);
            }
        }
    }
    EXPECT_EQ(dib.Row(0)[0], 0);
    EXPECT_EQ(dib.Row(23)[0], 0);
}

TEST(Rescale, ConvertsOtherDepthsFirst)
{
    TFullDib dib;
    ASSERT_TRUE(dib.AllocatePicture(2, 1, 24));
    std::uint8_t* row = dib.Row(0);
    const std::uint8_t pixels[6] = {10, 20, 30, 40, 50, 60};
    std::memcpy(row, pixels, 6);
    ASSERT_TRUE(dib.Rescale(2, 1, 2, 1));
    EXPECT_EQ(dib.Depth(), 32);
    const std::uint8_t expected[8] = {10, 20, 30, 0, 40, 50, 60, 0};
    EXPECT_EQ(0, std::memcmp(dib.Row(0), expected, 8));
}

TEST(Rescale, AStopRequestLeavesThePictureAtItsOldSize)
{
    TFullDib dib;
    ASSERT_TRUE(dib.AllocatePicture(8, 8, 24));
    bool stop = true;
    dib.SetStopFlag(&stop);
    EXPECT_FALSE(dib.Rescale(16, 16, 16, 16));
    EXPECT_EQ(dib.Width(), 8);
    EXPECT_EQ(dib.Height(), 8);
    // The depth conversion itself is stopped; a 32-bit picture stops in the scaling.
    stop = false;
    ASSERT_TRUE(dib.ConvertDepth(32));
    stop = true;
    EXPECT_FALSE(dib.Rescale(16, 16, 16, 16));
    EXPECT_EQ(dib.Width(), 8);
    EXPECT_EQ(dib.Depth(), 32);
}

} // namespace
} // namespace discforge
