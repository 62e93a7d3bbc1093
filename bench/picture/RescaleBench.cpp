// Rescale of a video frame against libswscale scaling the same 32-bit picture to
// the same size: its area filter for reductions, its bilinear filter for
// enlargements. The sizes are those the disc targets need from everyday inputs.
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
};

// VCD NTSC, SVCD NTSC (426 wide in a 480-wide frame), VCD PAL and SVCD PAL from
// DVD-sized frames, DVD and smaller from 720p, DVD from full HD, DVD PAL from 640 x 480,
// and 720p letterboxed in a PAL VCD frame.
constexpr Case cases[] = {
    {640, 480, 352, 240},
    {640, 480, 426, 480},
    {720, 576, 352, 288},
    {720, 576, 480, 576},
    {1280, 720, 720, 405},
    {1280, 720, 480, 270},
    {1920, 1080, 720, 405},
    {640, 480, 720, 576},
    {1280, 720, 352, 216},
};

bool Enlarges(const Case& c) { return c.newWidth * c.newHeight > c.width * c.height; }

std::string Label(const Case& c)
{
    return std::to_string(c.width) + "x" + std::to_string(c.height) + " to " + std::to_string(c.newWidth) + "x"
        + std::to_string(c.newHeight);
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

// Rescale of a picture copied in first (the copy is not timed).
void DiscforgeRescale(benchmark::State& state)
{
    const Case& c = cases[state.range(0)];
    const std::vector<std::uint8_t> source = SourceFrame(c.width, c.height);
    discforge::TFullDib picture;
    for (auto _ : state) {
        state.PauseTiming();
        picture.CopyFromSurface(c.width, c.height, c.width * 4, source.data());
        state.ResumeTiming();
        if (!picture.Rescale(c.newWidth, c.newHeight, c.newWidth, c.newHeight)) {
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
        if (!picture.RescaleFromSurface(surface, c.newWidth, c.newHeight, c.newWidth, c.newHeight)) {
            state.SkipWithError("RescaleFromSurface failed");
            break;
        }
        benchmark::DoNotOptimize(picture.Pixels());
    }
    state.SetLabel(Label(c));
}

// libswscale from and to the same 32-bit layout: area filter when reducing,
// bilinear when enlarging.
void Swscale(benchmark::State& state)
{
    const Case& c = cases[state.range(0)];
    const std::vector<std::uint8_t> source = SourceFrame(c.width, c.height);
    std::vector<std::uint8_t> target(static_cast<std::size_t>(c.newWidth) * c.newHeight * 4, 0);
    const int filter = Enlarges(c) ? SWS_BILINEAR : SWS_AREA;
    SwsContext* context = sws_getContext(c.width, c.height, AV_PIX_FMT_BGR0, c.newWidth, c.newHeight, AV_PIX_FMT_BGR0,
        filter, nullptr, nullptr, nullptr);
    if (!context) {
        state.SkipWithError("sws_getContext failed");
        return;
    }
    const std::uint8_t* sourcePlanes[4] = {source.data(), nullptr, nullptr, nullptr};
    const int sourceStrides[4] = {c.width * 4, 0, 0, 0};
    std::uint8_t* targetPlanes[4] = {target.data(), nullptr, nullptr, nullptr};
    const int targetStrides[4] = {c.newWidth * 4, 0, 0, 0};
    for (auto _ : state) {
        sws_scale(context, sourcePlanes, sourceStrides, 0, c.height, targetPlanes, targetStrides);
        benchmark::DoNotOptimize(target.data());
    }
    sws_freeContext(context);
    state.SetLabel(Label(c) + (Enlarges(c) ? " bilinear" : " area"));
}

BENCHMARK(DiscforgeRescale)->DenseRange(0, std::size(cases) - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(DiscforgeRescaleFromSurface)->DenseRange(0, std::size(cases) - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(Swscale)->DenseRange(0, std::size(cases) - 1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
