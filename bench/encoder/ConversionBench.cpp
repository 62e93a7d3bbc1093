// The encoder's conversion of one 720 x 576 bottom-up BGRX picture to 4:2:0 against
// swscale with the flags it was used with (bicubic) and its fastest (point).
#include "BgrxToYuv420.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

extern "C" {
#include <libswscale/swscale.h>
}

namespace {

constexpr int width = 720;
constexpr int height = 576;

struct Buffers {
    Buffers() : pixels(static_cast<std::size_t>(width) * height), y(pixels.size()), u(pixels.size() / 4), v(u.size())
    {
        std::mt19937 random(5);
        for (uint32_t& pixel : pixels) {
            pixel = static_cast<uint32_t>(random());
        }
    }
    const uint32_t* TopRow() const { return pixels.data() + static_cast<std::size_t>(height - 1) * width; }

    std::vector<uint32_t> pixels; // bottom row first
    std::vector<uint8_t> y, u, v;
};

void OwnConversion(benchmark::State& state)
{
    Buffers buffers;
    const discforge::convert::Yuv420Planes planes{buffers.y.data(), buffers.u.data(), buffers.v.data(), width,
                                                  width / 2};
    for (auto _ : state) {
        discforge::convert::ConvertBgrxToYuv420(buffers.TopRow(), -width, width, height, planes);
        benchmark::DoNotOptimize(buffers.y.data());
    }
}

void Swscale(benchmark::State& state, int flags)
{
    Buffers buffers;
    SwsContext* scaler = sws_getContext(width, height, AV_PIX_FMT_BGR0, width, height, AV_PIX_FMT_YUV420P, flags,
                                        nullptr, nullptr, nullptr);
    const uint8_t* const source[4] = {reinterpret_cast<const uint8_t*>(buffers.TopRow()), nullptr, nullptr, nullptr};
    const int sourceStride[4] = {-width * 4, 0, 0, 0};
    uint8_t* const target[4] = {buffers.y.data(), buffers.u.data(), buffers.v.data(), nullptr};
    const int targetStride[4] = {width, width / 2, width / 2, 0};
    for (auto _ : state) {
        sws_scale(scaler, source, sourceStride, 0, height, target, targetStride);
        benchmark::DoNotOptimize(buffers.y.data());
    }
    sws_freeContext(scaler);
}

} // namespace

BENCHMARK(OwnConversion)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Swscale, Bicubic, SWS_BICUBIC)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Swscale, Point, SWS_POINT)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
