#include "platform/ScriptSoundPeak.h"

#include "platform/FfmpegError.h"

#include "platform/FilterLibrary.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/opt.h>
}

#include <cmath>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <vector>

namespace discforge {
namespace {

struct GraphFree {
    const FilterLibrary* library;
    void operator()(AVFilterGraph* graph) const { library->graphFree(&graph); }
};
struct FrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct InOutFree {
    const FilterLibrary* library;
    void operator()(AVFilterInOut* list) const { library->inOutFree(&list); }
};

bool Failed(const char* call, int code, std::string& reason)
{
    reason = std::string(call) + " failed: " + AvErrorText(code);
    return false;
}

// Packed doubles, so one loop covers every channel of a frame.
double FramePeak(const AVFrame& frame)
{
    const auto* samples = reinterpret_cast<const double*>(frame.data[0]);
    const std::size_t count = static_cast<std::size_t>(frame.nb_samples) * frame.ch_layout.nb_channels;
    double peak = 0;
    for (std::size_t i = 0; i < count; ++i) {
        peak = std::fmax(peak, std::fabs(samples[i]));
    }
    return peak;
}

// The files' sizes and times of last change, so that a file changed since
// a measure is measured again.
std::string Stamps(const std::vector<std::string>& files)
{
    std::string stamps;
    for (const std::string& file : files) {
        std::error_code code;
        const auto size = std::filesystem::file_size(file, code);
        const auto changed = std::filesystem::last_write_time(file, code);
        stamps += file;
        stamps += '\n';
        stamps += std::to_string(size);
        stamps += ' ';
        stamps += std::to_string(changed.time_since_epoch().count());
        stamps += '\n';
    }
    return stamps;
}

// A script is opened many times in one conversion (facts, previews, picture
// and sound), and each open would read the whole sound again: the last few
// measures are remembered for the process.
class RememberedPeaks {
public:
    bool Find(const std::string& key, double& peak)
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& [known, value] : peaks_) {
            if (known == key) {
                peak = value;
                return true;
            }
        }
        return false;
    }
    void Keep(std::string key, double peak)
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (peaks_.size() == capacity) {
            peaks_.pop_front();
        }
        peaks_.emplace_back(std::move(key), peak);
    }

private:
    static constexpr std::size_t capacity = 16;
    std::mutex mutex_;
    std::deque<std::pair<std::string, double>> peaks_;
};

RememberedPeaks& Remembered()
{
    static RememberedPeaks peaks;
    return peaks;
}

bool Measure(const std::string& description, double& peak, std::string& reason)
{
    const FilterLibrary* filters = FilterLibrary::Load(reason);
    if (filters == nullptr) {
        return false;
    }
    const std::unique_ptr<AVFilterGraph, GraphFree> graph(filters->graphAlloc(), GraphFree{filters});
    const std::unique_ptr<AVFrame, FrameFree> frame(av_frame_alloc());
    if (!graph || !frame) {
        return Failed("avfilter_graph_alloc()", AVERROR(ENOMEM), reason);
    }
    AVFilterContext* sink = nullptr;
    int result
        = filters->graphCreateFilter(&sink, filters->getByName("abuffersink"), "peak", nullptr, nullptr, graph.get());
    if (result < 0) {
        return Failed("avfilter_graph_create_filter(abuffersink)", result, reason);
    }
    constexpr AVSampleFormat packedDouble[] = {AV_SAMPLE_FMT_DBL, AV_SAMPLE_FMT_NONE};
    result = av_opt_set_int_list(sink, "sample_fmts", packedDouble, AV_SAMPLE_FMT_NONE, AV_OPT_SEARCH_CHILDREN);
    if (result < 0) {
        return Failed("av_opt_set_int_list(sample_fmts)", result, reason);
    }
    // The sink is the open input that the description's "out1" feeds.
    std::unique_ptr<AVFilterInOut, InOutFree> inputs(filters->inOutAlloc(), InOutFree{filters});
    if (!inputs) {
        return Failed("avfilter_inout_alloc()", AVERROR(ENOMEM), reason);
    }
    inputs->name = av_strdup("out1");
    inputs->filter_ctx = sink;
    inputs->pad_idx = 0;
    AVFilterInOut* open = inputs.release();
    AVFilterInOut* outputs = nullptr;
    result = filters->graphParse(graph.get(), description.c_str(), &open, &outputs, nullptr);
    filters->inOutFree(&open);
    filters->inOutFree(&outputs);
    if (result < 0) {
        return Failed("avfilter_graph_parse_ptr()", result, reason);
    }
    result = filters->graphConfig(graph.get(), nullptr);
    if (result < 0) {
        return Failed("avfilter_graph_config()", result, reason);
    }
    peak = 0;
    while ((result = filters->sinkGetFrame(sink, frame.get())) >= 0) {
        peak = std::fmax(peak, FramePeak(*frame));
        av_frame_unref(frame.get());
    }
    return result == AVERROR_EOF || Failed("av_buffersink_get_frame()", result, reason);
}

} // namespace

bool MeasureSoundPeak(
    const std::string& graph, const std::vector<std::string>& files, double& peak, std::string& reason)
{
    std::string key = graph;
    key += '\0';
    key += Stamps(files);
    if (Remembered().Find(key, peak)) {
        return true;
    }
    if (!Measure(graph, peak, reason)) {
        return false;
    }
    Remembered().Keep(std::move(key), peak);
    return true;
}

} // namespace discforge
