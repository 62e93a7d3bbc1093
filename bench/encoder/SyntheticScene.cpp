#include "SyntheticScene.h"

#include <algorithm>
#include <cmath>

namespace discforge::bench {
namespace {

uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed)
{
    uint32_t h = x * 374761393u + y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

uint8_t Clamp(double value) { return static_cast<uint8_t>(std::clamp(value, 0.0, 255.0)); }

} // namespace

std::vector<uint8_t> PaintScene(int width, int height, int frame)
{
    std::vector<uint8_t> picture(static_cast<std::size_t>(width) * height * 4);
    // The camera pans right and a little down.
    const double panX = frame * 2.5;
    const double panY = frame * 0.75;
    // A ball crossing the picture and a bar moving up and down.
    const double ballX = 80 + frame * 4.0;
    const double ballY = height / 2.0 + 120 * std::sin(frame * 0.08);
    const double ballRadius = 60;
    const double barY = height / 2.0 + 180 * std::sin(frame * 0.05);
    for (int y = 0; y < height; ++y) {
        uint8_t* out = picture.data() + static_cast<std::size_t>(y) * width * 4;
        for (int x = 0; x < width; ++x) {
            const double sx = x + panX;
            const double sy = y + panY;
            // Background: broad shading, finer waves and a fixed texture that moves with the pan.
            const auto texture = static_cast<double>(Hash(static_cast<uint32_t>(sx) / 2, static_cast<uint32_t>(sy) / 2, 7) & 63);
            double r = 110 + 60 * std::sin(sx * 0.011) + 25 * std::sin(sy * 0.05 + sx * 0.02) + texture * 0.5;
            double g = 100 + 50 * std::cos(sy * 0.013) + 20 * std::sin(sx * 0.07) + texture * 0.4;
            double b = 90 + 40 * std::sin((sx + sy) * 0.009) + texture * 0.6;
            const double dx = x - ballX;
            const double dy = y - ballY;
            if (dx * dx + dy * dy < ballRadius * ballRadius) {
                const double shade = 1.0 - std::sqrt(dx * dx + dy * dy) / ballRadius;
                r = 200 + 55 * shade;
                g = 60 + 120 * shade;
                b = 40;
            }
            if (std::abs(y - barY) < 12 && x > width / 4 && x < width * 3 / 4) {
                r = g = b = 235;
            }
            // Grain that changes every picture.
            const double grain = static_cast<double>(Hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y),
                                                          static_cast<uint32_t>(frame) + 11) % 7) - 3.0;
            out[0] = Clamp(b + grain);
            out[1] = Clamp(g + grain);
            out[2] = Clamp(r + grain);
            out[3] = 0;
            out += 4;
        }
    }
    return picture;
}

} // namespace discforge::bench
