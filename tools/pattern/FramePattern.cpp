#include "pattern/FramePattern.h"

#include <algorithm>
#include <array>

namespace discforge::pattern {

namespace {

constexpr int cellCount = 24;
constexpr int bitCount = 20;
constexpr int firstBitCell = 2;
constexpr int parityCell = firstBitCell + bitCount;

struct Colour {
    std::uint8_t blue;
    std::uint8_t green;
    std::uint8_t red;
};

constexpr Colour white{235, 235, 235};
constexpr Colour black{16, 16, 16};
constexpr std::array<Colour, 7> bars{{
    {180, 180, 180}, {16, 180, 180}, {180, 180, 16}, {16, 180, 16},
    {180, 16, 180}, {16, 16, 180}, {180, 16, 16},
}};

// 5 x 7 digits, one row per byte, the highest of the five bits on the left.
constexpr std::array<std::array<std::uint8_t, 7>, 10> digitRows{{
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},
}};

int BandHeight(int height) { return std::max(1, height / 6); }

bool CellIsWhite(std::int64_t number, int cell)
{
    if (cell == 0) {
        return true;
    }
    if (cell >= firstBitCell && cell < parityCell) {
        return ((number >> (bitCount - 1 - (cell - firstBitCell))) & 1) != 0;
    }
    if (cell == parityCell) {
        return (__builtin_popcountll(static_cast<unsigned long long>(number)) & 1) != 0;
    }
    return false;
}

std::uint8_t* RowOf(const PatternImage& image, int y)
{
    int stored = image.bottomUp ? image.height - 1 - y : y;
    return image.pixels + static_cast<std::ptrdiff_t>(stored) * image.stride;
}

const std::uint8_t* RowOf(const ConstPatternImage& image, int y)
{
    int stored = image.bottomUp ? image.height - 1 - y : y;
    return image.pixels + static_cast<std::ptrdiff_t>(stored) * image.stride;
}

void Put(const PatternImage& image, int x, int y, Colour colour)
{
    std::uint8_t* pixel = RowOf(image, y) + static_cast<std::ptrdiff_t>(x) * image.bytesPerPixel;
    pixel[0] = colour.blue;
    pixel[1] = colour.green;
    pixel[2] = colour.red;
    if (image.bytesPerPixel == 4) {
        pixel[3] = 0;
    }
}

void FillRect(const PatternImage& image, int x0, int y0, int x1, int y1, Colour colour)
{
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, image.width);
    y1 = std::min(y1, image.height);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            Put(image, x, y, colour);
        }
    }
}

void DrawDigits(const PatternImage& image, std::int64_t number, int top, int bottom)
{
    std::array<int, 8> digits{};
    int count = 0;
    do {
        digits[static_cast<std::size_t>(count++)] = static_cast<int>(number % 10);
        number /= 10;
    } while (number > 0 && count < 8);
    int scale = std::max(1, std::min((bottom - top) / 9, image.width / (count * 6 + 2)));
    int textWidth = count * 6 * scale;
    int left = (image.width - textWidth) / 2;
    int y0 = top + ((bottom - top) - 7 * scale) / 2;
    FillRect(image, left - scale, y0 - scale, left + textWidth + scale, y0 + 8 * scale, black);
    for (int i = 0; i < count; ++i) {
        const auto& rows = digitRows[static_cast<std::size_t>(digits[static_cast<std::size_t>(count - 1 - i)])];
        int x0 = left + i * 6 * scale;
        for (int row = 0; row < 7; ++row) {
            for (int column = 0; column < 5; ++column) {
                if ((rows[static_cast<std::size_t>(row)] >> (4 - column) & 1) != 0) {
                    FillRect(image, x0 + column * scale, y0 + row * scale, x0 + (column + 1) * scale,
                             y0 + (row + 1) * scale, white);
                }
            }
        }
    }
}

} // namespace

void DrawFramePattern(const PatternImage& image, std::int64_t frameNumber)
{
    const int band = BandHeight(image.height);
    const int barWidth = std::max(1, image.width / static_cast<int>(bars.size()));
    for (std::size_t i = 0; i < bars.size(); ++i) {
        int x0 = static_cast<int>(i) * barWidth;
        int x1 = i + 1 == bars.size() ? image.width : x0 + barWidth;
        FillRect(image, x0, band, x1, image.height, bars[i]);
    }
    for (int cell = 0; cell < cellCount; ++cell) {
        int x0 = cell * image.width / cellCount;
        int x1 = (cell + 1) * image.width / cellCount;
        FillRect(image, x0, 0, x1, band, CellIsWhite(frameNumber, cell) ? white : black);
    }
    const int moverWidth = std::max(2, image.width / 32);
    const int moverX = static_cast<int>((frameNumber * 4) % std::max(1, image.width - moverWidth));
    FillRect(image, moverX, image.height * 2 / 3, moverX + moverWidth, image.height, black);
    DrawDigits(image, frameNumber, band + band / 4, image.height * 2 / 3 - band / 4);
}

std::int64_t ReadFrameNumber(const ConstPatternImage& image, PatternRegion region)
{
    if (region.width <= 0 || region.height <= 0) {
        region = PatternRegion{0, 0, image.width, image.height};
    }
    if (region.x < 0 || region.y < 0 || region.x + region.width > image.width ||
        region.y + region.height > image.height || region.width < cellCount || region.height < 6) {
        return -1;
    }
    const int band = BandHeight(region.height);
    const int y0 = region.y + band / 4;
    const int y1 = std::max(y0 + 1, region.y + band * 3 / 4);
    std::array<double, cellCount> level{};
    for (int cell = 0; cell < cellCount; ++cell) {
        int cellLeft = region.x + cell * region.width / cellCount;
        int cellRight = region.x + (cell + 1) * region.width / cellCount;
        int x0 = cellLeft + (cellRight - cellLeft) / 4;
        int x1 = std::max(x0 + 1, cellRight - (cellRight - cellLeft) / 4);
        double sum = 0;
        for (int y = y0; y < y1; ++y) {
            const std::uint8_t* row = RowOf(image, y);
            for (int x = x0; x < x1; ++x) {
                const std::uint8_t* pixel = row + static_cast<std::ptrdiff_t>(x) * image.bytesPerPixel;
                sum += 0.114 * pixel[0] + 0.587 * pixel[1] + 0.299 * pixel[2];
            }
        }
        level[static_cast<std::size_t>(cell)] = sum / ((y1 - y0) * (x1 - x0));
    }
    const double high = level[0];
    const double low = level[1];
    if (high - low < 64) {
        return -1;
    }
    const double threshold = (high + low) / 2;
    std::int64_t number = 0;
    for (int bit = 0; bit < bitCount; ++bit) {
        number = number << 1 | (level[static_cast<std::size_t>(firstBitCell + bit)] > threshold ? 1 : 0);
    }
    bool parityWhite = level[parityCell] > threshold;
    bool closingBlack = level[cellCount - 1] <= threshold;
    if (parityWhite != CellIsWhite(number, parityCell) || !closingBlack) {
        return -1;
    }
    return number;
}

} // namespace discforge::pattern
