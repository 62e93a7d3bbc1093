// The decoder's 4:2:0 pictures to the 32-bit rows the rescale takes, at the
// sizes everyday inputs come in, against libswscale's conversion of the same.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

extern "C" {
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}

#include "platform/Yuv420ToBgrx.h"

namespace {

constexpr int sizes[][2] = {{640, 480}, {720, 576}, {1280, 720}};

// Planes with gradients and a pattern, so that every step of the conversion sees
// changing values.
struct Planes {
    int width;
    int height;
    std::vector<std::uint8_t> luma;
    std::vector<std::uint8_t> cb;
    std::vector<std::uint8_t> cr;

    Planes(int w, int h)
        : width(w)
        , height(h)
        , luma(static_cast<std::size_t>(w) * static_cast<std::size_t>(h))
        , cb(static_cast<std::size_t>(w / 2) * static_cast<std::size_t>(h / 2))
        , cr(cb.size())
    {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                luma[static_cast<std::size_t>(y * w + x)] = static_cast<std::uint8_t>(16 + (x + y) % 220 + (x ^ y) % 7);
            }
        }
        for (std::size_t i = 0; i < cb.size(); ++i) {
            cb[i] = static_cast<std::uint8_t>(i * 7);
            cr[i] = static_cast<std::uint8_t>(255 - i * 3);
        }
    }
};

void DiscforgeYuv420ToBgrx(benchmark::State& state)
{
    const Planes p(sizes[state.range(0)][0], sizes[state.range(0)][1]);
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height) * 4);
    const discforge::Yuv420Planes planes{p.luma.data(), p.cb.data(), p.cr.data(), p.width, p.width / 2, p.width / 2};
    for (auto _ : state) {
        discforge::Yuv420ToBgrx(planes, p.width, p.height, rows.data(), p.width * 4, 0);
        benchmark::DoNotOptimize(rows.data());
    }
}

void SwscaleYuv420ToBgrx(benchmark::State& state)
{
    const Planes p(sizes[state.range(0)][0], sizes[state.range(0)][1]);
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height) * 4);
    SwsContext* context = sws_getContext(p.width, p.height, AV_PIX_FMT_YUV420P, p.width, p.height, AV_PIX_FMT_BGR0,
        SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!context) {
        state.SkipWithError("sws_getContext failed");
        return;
    }
    const std::uint8_t* source[4] = {p.luma.data(), p.cb.data(), p.cr.data(), nullptr};
    const int sourceStrides[4] = {p.width, p.width / 2, p.width / 2, 0};
    std::uint8_t* target[4] = {rows.data(), nullptr, nullptr, nullptr};
    const int targetStrides[4] = {p.width * 4, 0, 0, 0};
    for (auto _ : state) {
        sws_scale(context, source, sourceStrides, 0, p.height, target, targetStrides);
        benchmark::DoNotOptimize(rows.data());
    }
    sws_freeContext(context);
}

BENCHMARK(DiscforgeYuv420ToBgrx)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(SwscaleYuv420ToBgrx)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

} // namespace
