// Rescale of a video frame into the output frame against libswscale's bilinear
// scaling of the same 32-bit picture into the same place of the same frame.
#include <benchmark/benchmark.h>

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}

#include "picture/TFullDib.h"

namespace {

struct Case {
    int width;
    int height;
    int newWidth;
    int newHeight;
    int frameWidth;
    int frameHeight;
};

// DVD (PAL) from 640 x 480, DVD from full HD, VCD (PAL and NTSC) from 640 x 480.
constexpr Case cases[] = {
    {640, 480, 720, 540, 720, 576},
    {1920, 1080, 720, 405, 720, 576},
    {640, 480, 352, 264, 352, 288},
    {640, 480, 320, 240, 352, 240},
};

std::string Label(const Case& c)
{
    return std::to_string(c.width) + "x" + std::to_string(c.height) + " to " + std::to_string(c.newWidth) + "x" +
           std::to_string(c.newHeight) + " in " + std::to_string(c.frameWidth) + "x" + std::to_string(c.frameHeight);
}

// A picture with smooth areas and edges, rows top first, 4 bytes a pixel.
std::vector<std::uint8_t> SourceFrame(int width, int height)
{
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = frame.data() + (static_cast<std::size_t>(y) * width + x) * 4;
            p[0] = static_cast<std::uint8_t>(x * 255 / width);
            p[1] = static_cast<std::uint8_t>(y * 255 / height);
            p[2] = static_cast<std::uint8_t>(((x / 16 + y / 16) % 2) * 200 + (x ^ y) % 50);
            p[3] = 0;
        }
    }
    return frame;
}

void DiscforgeRescale(benchmark::State& state)
{
    const Case& c = cases[state.range(0)];
    const std::vector<std::uint8_t> source = SourceFrame(c.width, c.height);
    discforge::TFullDib picture;
    for (auto _ : state) {
        state.PauseTiming();
        picture.CopyFromSurface(c.width, c.height, c.width * 4, source.data());
        state.ResumeTiming();
        if (!picture.Rescale(c.newWidth, c.newHeight, c.frameWidth, c.frameHeight)) {
            state.SkipWithError("Rescale failed");
            break;
        }
        benchmark::DoNotOptimize(picture.Pixels());
    }
    state.SetLabel(Label(c));
}

// What the frame supply does: the frame scaled straight from the decoder's
// surface (rows top first), with no copy of it first.
void DiscforgeRescaleFromSurface(benchmark::State& state)
{
    const Case& c = cases[state.range(0)];
    const std::vector<std::uint8_t> source = SourceFrame(c.width, c.height);
    const discforge::SurfaceRows surface{c.width, c.height, c.width * 4, source.data()};
    discforge::TFullDib picture;
    for (auto _ : state) {
        if (!picture.RescaleFromSurface(surface, c.newWidth, c.newHeight, c.frameWidth, c.frameHeight)) {
            state.SkipWithError("RescaleFromSurface failed");
            break;
        }
        benchmark::DoNotOptimize(picture.Pixels());
    }
    state.SetLabel(Label(c));
}

// The same with a new frame every time, from frames that together exceed the
// processor's caches, as frames come from the decoder during a conversion.
void DiscforgeRescaleFromColdSurface(benchmark::State& state)
{
    const Case& c = cases[state.range(0)];
    constexpr std::size_t coldBytes = std::size_t{96} << 20;
    const std::size_t frameBytes = static_cast<std::size_t>(c.width) * c.height * 4;
    std::vector<std::vector<std::uint8_t>> frames(coldBytes / frameBytes + 1, SourceFrame(c.width, c.height));
    discforge::TFullDib picture;
    std::size_t next = 0;
    for (auto _ : state) {
        const discforge::SurfaceRows surface{c.width, c.height, c.width * 4, frames[next].data()};
        next = (next + 1) % frames.size();
        if (!picture.RescaleFromSurface(surface, c.newWidth, c.newHeight, c.frameWidth, c.frameHeight)) {
            state.SkipWithError("RescaleFromSurface failed");
            break;
        }
        benchmark::DoNotOptimize(picture.Pixels());
    }
    state.SetLabel(Label(c));
}

void SwscaleBilinear(benchmark::State& state)
{
    const Case& c = cases[state.range(0)];
    const std::vector<std::uint8_t> source = SourceFrame(c.width, c.height);
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(c.frameWidth) * c.frameHeight * 4, 0);
    SwsContext* context = sws_getContext(c.width, c.height, AV_PIX_FMT_BGR0, c.newWidth, c.newHeight,
                                         AV_PIX_FMT_BGR0, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!context) {
        state.SkipWithError("sws_getContext failed");
        return;
    }
    const int top = (c.frameHeight - c.newHeight) / 2;
    const int left = (c.frameWidth - c.newWidth) / 2;
    const std::uint8_t* sourcePlanes[4] = {source.data(), nullptr, nullptr, nullptr};
    const int sourceStrides[4] = {c.width * 4, 0, 0, 0};
    std::uint8_t* targetPlanes[4] = {frame.data() + (static_cast<std::size_t>(top) * c.frameWidth + left) * 4,
                                     nullptr, nullptr, nullptr};
    const int targetStrides[4] = {c.frameWidth * 4, 0, 0, 0};
    for (auto _ : state) {
        sws_scale(context, sourcePlanes, sourceStrides, 0, c.height, targetPlanes, targetStrides);
        benchmark::DoNotOptimize(frame.data());
    }
    sws_freeContext(context);
    state.SetLabel(Label(c));
}

BENCHMARK(DiscforgeRescale)->DenseRange(0, std::size(cases) - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(DiscforgeRescaleFromSurface)->DenseRange(0, std::size(cases) - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(DiscforgeRescaleFromColdSurface)->DenseRange(0, std::size(cases) - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(SwscaleBilinear)->DenseRange(0, std::size(cases) - 1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
