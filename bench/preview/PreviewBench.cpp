// Render time per frame of the input and output previews, frame after frame as
// playback asks for them, against the input's frame period. Each render is
// timed whole (the previews' own code), and its three parts again on their own:
// the fetch of the decoded frame, the picture pipeline (copy, options and the
// fitting to the DVD picture for the output preview) and the panel (reduction
// into a 432 x 324 panel, the default skin's, with every row copied out as a
// window's painter does). Prints one row per clip and preview.
#include "app/AppParts.h"
#include "core/ControlIds.h"
#include "core/ConversionSettings.h"
#include "core/headless/HeadlessFilterDialog.h"
#include "core/headless/HeadlessInputHost.h"
#include "core/headless/HeadlessPower.h"
#include "core/headless/HeadlessShell.h"
#include "core/headless/HeadlessWindowPort.h"
#include "core/headless/MemoryControlSurface.h"
#include "core/headless/RecordingMessagePort.h"
#include "input/StreamGraph.h"
#include "input/StreamObjects.h"
#include "picture/PictureFitting.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

using namespace discforge;
using Clock = std::chrono::steady_clock;

constexpr PanelRect panelRect{0, 0, 432, 324};

// Copies each painted row out of the panel, as the window's backing store takes it.
class CopyingPainter final : public PanelPainter {
public:
    void PaintPanelRows(const TPreviewDib& panel, int firstRow, int rowCount) override
    {
        screen_.resize(static_cast<std::size_t>(panel.Stride()) * panel.Height());
        std::memcpy(screen_.data() + static_cast<std::size_t>(firstRow) * panel.Stride(), panel.Row(firstRow),
            static_cast<std::size_t>(panel.Stride()) * rowCount);
    }

private:
    std::vector<std::uint8_t> screen_;
};

struct Ports {
    RecordingMessagePort messages; // an input without sound is told so; the table stays clean
    HeadlessWindowPort window;
    MemoryControlSurface controls;
    HeadlessInputHost host;
    HeadlessPower power;
    HeadlessShell shell;
    HeadlessFilterDialog filterDialog;

    AppPorts Get() { return {messages, window, controls, host, power, shell, filterDialog}; }
};

double Milliseconds(const std::function<void()>& work)
{
    const Clock::time_point start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values)
{
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct StageTimes {
    std::vector<double> fetch, pipeline, panel, render;
};

void PrintRow(const char* clip, const char* preview, const StageTimes& t, double period)
{
    const double render = Median(t.render);
    const double slowest = t.render.empty() ? 0 : *std::max_element(t.render.begin(), t.render.end());
    std::printf("%-28s %-7s %7.2f %9.2f %7.2f %8.2f %8.2f %7.1f %6.0f%%  %s\n", clip, preview, Median(t.fetch),
        Median(t.pipeline), Median(t.panel), render, slowest, period, 100 * render / period,
        render < period ? "keeps the period" : "TOO SLOW");
}

// One clip: the whole render of every frame, then its parts.
bool BenchClip(const char* path)
{
    Ports ports;
    AppParts core(ports.Get());
    CopyingPainter painter;
    Previews& previews = core.previews;
    if (!previews.CreatePreviewPictures(&painter, panelRect, &painter, panelRect)
        || !core.inputCommands.OpenInput(path)) {
        std::fprintf(stderr, "cannot open %s\n", path);
        return false;
    }
    core.settings.outputFormat = formatDvd;
    ShowFormatSize(core.settings);
    InputEntry& entry = core.inputs.inputTable[0];
    entry.pictureOptions.outputWidth = core.settings.frameWidth;
    entry.pictureOptions.outputHeight = core.settings.frameHeight;
    core.windowRefresh.RefreshWindow();
    const int frames = static_cast<int>(entry.selectedFrames);
    const double inputPeriod = Previews::FramePeriod(entry.frameRate);
    // The output preview steps through output frames.
    const double outputPeriod = Previews::FramePeriod(StandardFrameRate(core.settings.tvStandard));
    const bool aviReader = core.inputs.decoderKind == kindAviReader;
    const char* name = std::strrchr(path, '/') ? std::strrchr(path, '/') + 1 : path;

    StageTimes input;
    StageTimes output;
    for (int frame = 0; frame < frames; ++frame) {
        ports.controls.SetScrollPosition(control::inputPosition, frame);
        input.render.push_back(Milliseconds([&] { previews.RenderInputPreview(); }));
    }
    const int outputFrames = static_cast<int>(core.videoSupply.OutputFrames());
    for (int frame = 0; frame < outputFrames; ++frame) {
        core.inputs.framePosition = frame;
        previews.ClampOutputPosition();
        output.render.push_back(Milliseconds([&] { previews.RenderOutputPreview(); }));
    }

    // The parts, on work pictures and panels of their own.
    TFullDib work;
    TPreviewDib panel(&painter, panelRect);
    FitRequest fit;
    fit.targetWidth = entry.pictureOptions.outputWidth;
    fit.targetHeight = entry.pictureOptions.outputHeight;
    fit.rounding = FitRounding::down;
    const AviReaderEntry& reader = core.media.avi.aviReaderTable[0];
    // Through the AVI reader the fetch hands out the packed frame; the streams leave it in their surface.
    const auto fetchFrame = [&](int source) {
        if (aviReader) {
            const std::uint8_t* packed = nullptr;
            const double ms
                = Milliseconds([&] { packed = reader.getFrame ? reader.getFrame->GetFrame(source) : nullptr; });
            return std::pair{ms, packed};
        }
        const double ms = Milliseconds([&] { core.frameFetch.FetchPreviewFrame(0, source); });
        return std::pair{ms, static_cast<const std::uint8_t*>(nullptr)};
    };
    const auto copyFrame = [&](const std::uint8_t* packed) {
        if (aviReader) {
            return packed != nullptr && work.LoadPackedBitmap(packed, reader.getFrame->FrameBytes());
        }
        MmSurfaceLock lock;
        SampleStream* stream = entry.streams ? entry.streams->videoStream.get() : nullptr;
        if (stream == nullptr || !stream->LockSurface(lock)) {
            return false;
        }
        const bool copied = work.CopyFromSurface(lock.width, lock.height, lock.pitch, lock.pixels);
        stream->UnlockSurface();
        return copied;
    };
    for (int frame = 0; frame < frames; ++frame) {
        const auto [fetchMs, packed] = fetchFrame(frame);
        input.fetch.push_back(fetchMs);
        if (aviReader) {
            // Through the AVI reader the input preview shows the decoded frame as it is.
            input.pipeline.push_back(0);
            input.panel.push_back(Milliseconds([&] { panel.ShowFrame(packed, reader.getFrame->FrameBytes()); }));
        } else {
            input.pipeline.push_back(Milliseconds([&] { copyFrame(packed); }));
            input.panel.push_back(Milliseconds([&] { panel.ShowPicture(work); }));
        }
    }
    for (int frame = 0; frame < outputFrames; ++frame) {
        core.inputs.framePosition = frame;
        previews.ClampOutputPosition();
        const int source = aviReader ? core.videoSupply.AviReaderFrameOf(frame)
                                     : FrameFetch::SourceFrame(frame, entry.frameRate, core.settings.tvStandard);
        const auto [fetchMs, packed] = fetchFrame(source);
        output.fetch.push_back(fetchMs);
        output.pipeline.push_back(Milliseconds([&] {
            copyFrame(packed);
            FitPicture(work, fit);
        }));
        output.panel.push_back(Milliseconds([&] {
            panel.ShowPicture(work);
            panel.DrawFrameLine();
            panel.PaintRows(0, panel.Height());
        }));
    }
    PrintRow(name, "input", input, inputPeriod);
    PrintRow(name, "output", output, outputPeriod);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    std::printf("Preview render time per frame, milliseconds (medians; 'slowest' is the slowest whole render)\n");
    std::printf("%-28s %-7s %7s %9s %7s %8s %8s %7s %7s\n", "clip", "preview", "fetch", "pipeline", "panel", "render",
        "slowest", "period", "share");
    for (int i = 1; i < argc; ++i) {
        if (!BenchClip(argv[i])) {
            return 1;
        }
    }
    return 0;
}
