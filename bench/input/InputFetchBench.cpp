// Fetching every frame of a 60-second 640 x 480 MPEG-4 AVI through
// FetchVideoFrame, against a plain libavcodec loop that decodes each frame and
// converts it to BGRX. The machine is shared, so the two alternate three
// times in the one run and the best time of each counts; prints both and the ratio.
#include "core/ConversionSettings.h"
#include "core/RunLog.h"
#include "core/headless/HeadlessFilterDialog.h"
#include "core/headless/HeadlessInputHost.h"
#include "core/headless/HeadlessWindowPort.h"
#include "core/headless/MemoryControlSurface.h"
#include "core/headless/StderrMessagePort.h"
#include "input/FrameFetch.h"
#include "input/InputTable.h"
#include "input/StreamObjects.h"
#include "input/StreamReader.h"
#include "mediagen/MediaGen.h"
#include "pattern/FramePattern.h"
#include "picture/TFullDib.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <vector>

namespace {

using namespace discforge;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Processor time of all the process's threads: the work done, whatever else the machine runs.
double CpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct Timing {
    double wall = 1e9;
    double cpu = 1e9;
};

// The reference: demux, decode, convert to BGRX, nothing else.
bool PlainDecode(const std::string& path, int& frames, Timing& timing)
{
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0
        || avformat_find_stream_info(format, nullptr) < 0) {
        return false;
    }
    const AVCodec* decoder = nullptr;
    int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (index < 0) {
        return false;
    }
    AVCodecContext* codec = avcodec_alloc_context3(decoder);
    avcodec_parameters_to_context(codec, format->streams[index]->codecpar);
    codec->thread_count = 0;
    avcodec_open2(codec, decoder, nullptr);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    SwsContext* scaler = nullptr;
    std::vector<std::uint8_t> bgrx(static_cast<std::size_t>(codec->width) * codec->height * 4);
    frames = 0;
    const Clock::time_point start = Clock::now();
    const double cpuStart = CpuSeconds();
    auto drain = [&] {
        while (avcodec_receive_frame(codec, frame) == 0) {
            scaler
                = sws_getCachedContext(scaler, frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                    codec->width, codec->height, AV_PIX_FMT_BGR0, SWS_BILINEAR, nullptr, nullptr, nullptr);
            std::uint8_t* planes[4] = {bgrx.data(), nullptr, nullptr, nullptr};
            int pitches[4] = {codec->width * 4, 0, 0, 0};
            sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, planes, pitches);
            ++frames;
        }
    };
    while (av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == index) {
            avcodec_send_packet(codec, packet);
            drain();
        }
        av_packet_unref(packet);
    }
    avcodec_send_packet(codec, nullptr);
    drain();
    timing.wall = std::min(timing.wall, Seconds(start));
    timing.cpu = std::min(timing.cpu, CpuSeconds() - cpuStart);
    sws_freeContext(scaler);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&codec);
    avformat_close_input(&format);
    return true;
}

bool FetchEveryFrame(const std::string& path, int& frames, int& wrongFrames, Timing& timing)
{
    ConversionSettings settings;
    RunLog runLog;
    InputTableState inputs;
    MediaInputState media;
    StderrMessagePort messages;
    MemoryControlSurface controls;
    HeadlessWindowPort window;
    HeadlessInputHost host;
    HeadlessFilterDialog filterDialog;
    MediaInputContext context{inputs, settings, runLog, media, {messages, controls, window, host, filterDialog}};
    StreamReader reader(context);
    FrameFetch fetch(context, reader);
    TFullDib picture;
    InputTable table(inputs, settings, runLog, {messages, controls, host, reader, picture, media.run.batchStop});
    if (!table.OpenVideoInput(path)) {
        return false;
    }
    inputs.inputCount = 1;
    const InputEntry& entry = inputs.inputTable[0];
    settings.tvStandard = standardPal;
    settings.videoSettingsChanged = true;
    frames = 0;
    wrongFrames = 0;
    const Clock::time_point start = Clock::now();
    const double cpuStart = CpuSeconds();
    for (unsigned n = 0; n < entry.totalFrames; ++n) {
        if (fetch.FetchVideoFrame(0, static_cast<int>(n)) != fetchOk) {
            return false;
        }
        settings.videoSettingsChanged = false;
        MmSurfaceLock lock;
        SampleStream& video = *inputs.inputTable[0].streams->videoStream;
        if (!video.LockSurface(lock)) {
            return false;
        }
        // One pixel per frame is enough to prove the frame arrived without adding work.
        wrongFrames += lock.pixels[0] == 0 && lock.pixels[1] == 0 && lock.pixels[2] == 0 ? 1 : 0;
        video.UnlockSurface();
        ++frames;
    }
    timing.wall = std::min(timing.wall, Seconds(start));
    timing.cpu = std::min(timing.cpu, CpuSeconds() - cpuStart);
    return true;
}

// Measures one file; false when a fetch fails or a frame is missing.
bool Compare(const std::string& path, const char* label)
{
    constexpr int rounds = 3;
    int plainFrames = 0;
    int fetchFrames = 0;
    int wrongFrames = 0;
    Timing plain;
    Timing fetched;
    for (int round = 0; round < rounds; ++round) {
        if (!PlainDecode(path, plainFrames, plain)) {
            std::fprintf(stderr, "the plain decode failed\n");
            return false;
        }
        if (!FetchEveryFrame(path, fetchFrames, wrongFrames, fetched)) {
            std::fprintf(stderr, "FetchVideoFrame failed\n");
            return false;
        }
    }
    std::printf("%s: best of %d alternating rounds, %d frames each\n", label, rounds, fetchFrames);
    std::printf("  plain libavcodec decode + BGRX: %.3f s elapsed, %.3f s processor\n", plain.wall, plain.cpu);
    std::printf("  FetchVideoFrame:                %.3f s elapsed, %.3f s processor\n", fetched.wall, fetched.cpu);
    std::printf("  ratio (fetch / plain): %.3f elapsed (goal <= 1.1), %.3f processor\n", fetched.wall / plain.wall,
        fetched.cpu / plain.cpu);
    return fetchFrames == plainFrames && wrongFrames == 0;
}

} // namespace

int main(int argc, char** argv)
{
    av_log_set_level(AV_LOG_ERROR);
    const std::string folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
    // MPEG-4 inputs are fetched sequentially and their streams are rebuilt
    // every tenth key frame: a short key-frame interval is the costly case,
    // a long one (as encoders make by default) the usual one.
    bool allPassed = true;
    for (int keyFrameInterval : {12, 250}) {
        mediagen::AviRecipe recipe;
        recipe.path = folder + "/bench-input-640x480-60s-gop" + std::to_string(keyFrameInterval) + ".avi";
        recipe.video = mediagen::VideoCodec::Mpeg4;
        recipe.audio = mediagen::AudioForm::Stereo16At44100;
        recipe.rate = mediagen::FrameRate::Pal25;
        recipe.width = 640;
        recipe.height = 480;
        recipe.frames = 60 * 25;
        recipe.keyFrameInterval = keyFrameInterval;
        std::string error;
        if (!std::filesystem::exists(recipe.path) && !mediagen::WriteAvi(recipe, error)) {
            std::fprintf(stderr, "cannot write the sample: %s\n", error.c_str());
            return 1;
        }
        const std::string label
            = "640x480 MPEG-4, 60 s, key frame every " + std::to_string(keyFrameInterval) + " frames";
        allPassed = Compare(recipe.path, label.c_str()) && allPassed;
    }
    return allPassed ? 0 : 1;
}
