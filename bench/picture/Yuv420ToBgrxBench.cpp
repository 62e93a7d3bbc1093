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

// A picture's three planes in one buffer, luma first, with gradients and a
// pattern so that every step of the conversion sees changing values.
std::vector<std::uint8_t> PlanesOf(int width, int height)
{
    const std::size_t lumaBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::vector<std::uint8_t> planes(lumaBytes + lumaBytes / 2);
    for (std::size_t i = 0; i < lumaBytes; ++i) {
        const std::size_t x = i % static_cast<std::size_t>(width);
        const std::size_t y = i / static_cast<std::size_t>(width);
        planes[i] = static_cast<std::uint8_t>(16 + (x + y) % 220 + (x ^ y) % 7);
    }
    for (std::size_t i = lumaBytes; i < planes.size(); ++i) {
        planes[i] = static_cast<std::uint8_t>(i * 7);
    }
    return planes;
}

// The planes of PlanesOf as the conversion takes them.
discforge::Yuv420Planes Yuv420Of(const std::vector<std::uint8_t>& planes, int width, int height)
{
    const std::uint8_t* luma = planes.data();
    const std::uint8_t* blue = luma + static_cast<std::ptrdiff_t>(width) * height;
    const std::uint8_t* red = blue + static_cast<std::ptrdiff_t>(width / 2) * (height / 2);
    return {luma, blue, red, width, width / 2, width / 2};
}

void DiscforgeYuv420ToBgrx(benchmark::State& state)
{
    const int width = sizes[state.range(0)][0];
    const int height = sizes[state.range(0)][1];
    const std::vector<std::uint8_t> source = PlanesOf(width, height);
    const discforge::Yuv420Planes planes = Yuv420Of(source, width, height);
    std::vector<std::uint8_t> rows(source.size() / 3 * 8);
    for (auto _ : state) {
        discforge::Yuv420ToBgrx(planes, width, height, rows.data(), std::ptrdiff_t{width} * 4, 0);
        benchmark::DoNotOptimize(rows.data());
    }
}

void SwscaleYuv420ToBgrx(benchmark::State& state)
{
    const int width = sizes[state.range(0)][0];
    const int height = sizes[state.range(0)][1];
    const std::vector<std::uint8_t> source = PlanesOf(width, height);
    const discforge::Yuv420Planes planes = Yuv420Of(source, width, height);
    std::vector<std::uint8_t> rows(source.size() / 3 * 8);
    SwsContext* context = sws_getContext(
        width, height, AV_PIX_FMT_YUV420P, width, height, AV_PIX_FMT_BGR0, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!context) {
        state.SkipWithError("sws_getContext failed");
        return;
    }
    const std::uint8_t* from[4] = {planes.luma, planes.blue, planes.red, nullptr};
    const int fromStrides[4] = {width, width / 2, width / 2, 0};
    std::uint8_t* to[4] = {rows.data(), nullptr, nullptr, nullptr};
    const int toStrides[4] = {width * 4, 0, 0, 0};
    for (auto _ : state) {
        sws_scale(context, from, fromStrides, 0, height, to, toStrides);
        benchmark::DoNotOptimize(rows.data());
    }
    sws_freeContext(context);
}

BENCHMARK(DiscforgeYuv420ToBgrx)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(SwscaleYuv420ToBgrx)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

} // namespace
