// Our encoder library against the ffmpeg tool's "-target pal-dvd" on the same synthetic
// 720 x 576 pictures and tone: wall time of each, file size and luma PSNR.
//
//   encoder_bench <folder of libconvert.so> <work folder> [pictures] [rounds]
#include "LumaCompare.h"
#include "SyntheticScene.h"
#include "encoder/EncodeParameters.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

using discforge::bench::LumaScore;

constexpr int width = 720;
constexpr int height = 576;
constexpr int framesPerSecond = 25;
constexpr int sampleRate = 48000;
constexpr int samplesPerPicture = sampleRate / framesPerSecond;

struct Source {
    std::vector<std::vector<uint8_t>> topDown;  // for the raw file ffmpeg reads
    std::vector<std::vector<uint8_t>> bottomUp; // as the program hands pictures to the library
    std::vector<int16_t> tone;                  // stereo
};

Source* source = nullptr;

int32_t SupplyPicture(int32_t frameIndex, int32_t* rowBytes, const uint8_t** pixels)
{
    const auto index = std::min(static_cast<std::size_t>(frameIndex), source->bottomUp.size() - 1);
    *rowBytes = width * 4;
    *pixels = source->bottomUp[index].data();
    return 0;
}

int32_t SupplySound(int32_t firstSample, int32_t* consumed, int32_t* bytes, const uint8_t** samples)
{
    const int64_t total = static_cast<int64_t>(source->tone.size() / 2);
    const int64_t count = std::clamp<int64_t>(total - firstSample, 0, samplesPerPicture);
    *consumed = static_cast<int32_t>(count);
    *bytes = static_cast<int32_t>(count * 4);
    *samples = reinterpret_cast<const uint8_t*>(source->tone.data() + static_cast<std::size_t>(firstSample) * 2);
    return 0;
}

Source MakeSource(int pictures)
{
    Source made;
    for (int frame = 0; frame < pictures; ++frame) {
        std::vector<uint8_t> picture = discforge::bench::PaintScene(width, height, frame);
        std::vector<uint8_t> flipped(picture.size());
        const std::size_t row = static_cast<std::size_t>(width) * 4;
        for (int y = 0; y < height; ++y) {
            std::copy_n(picture.data() + static_cast<std::size_t>(y) * row, row,
                        flipped.data() + static_cast<std::size_t>(height - 1 - y) * row);
        }
        made.topDown.push_back(std::move(picture));
        made.bottomUp.push_back(std::move(flipped));
    }
    const int64_t samples = static_cast<int64_t>(pictures) * samplesPerPicture;
    for (int64_t i = 0; i < samples; ++i) {
        const auto value = static_cast<int16_t>(8000 * std::sin(2 * M_PI * 440.0 * static_cast<double>(i) / sampleRate));
        made.tone.push_back(value);
        made.tone.push_back(value);
    }
    return made;
}

void WriteRaw(const Source& made, const std::string& picturesPath, const std::string& soundPath)
{
    std::ofstream pictures(picturesPath, std::ios::binary);
    for (const std::vector<uint8_t>& picture : made.topDown) {
        pictures.write(reinterpret_cast<const char*>(picture.data()), static_cast<std::streamsize>(picture.size()));
    }
    std::ofstream sound(soundPath, std::ios::binary);
    sound.write(reinterpret_cast<const char*>(made.tone.data()),
                static_cast<std::streamsize>(made.tone.size() * sizeof(int16_t)));
}

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Processor seconds (user and system) used so far by this process or by its ended children.
double ProcessorSeconds(int who)
{
    rusage usage{};
    ::getrusage(who, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <library folder> <work folder> [pictures] [rounds]\n", argv[0]);
        return 2;
    }
    const std::string libraryPath = std::string(argv[1]) + "/libconvert.so";
    const std::string work = argv[2];
    const int pictures = argc > 3 ? std::atoi(argv[3]) : 250;
    const int rounds = argc > 4 ? std::atoi(argv[4]) : 3;
    std::filesystem::create_directories(work);

    void* library = ::dlopen(libraryPath.c_str(), RTLD_NOW);
    if (library == nullptr) {
        std::fprintf(stderr, "%s\n", ::dlerror());
        return 1;
    }
    auto init = reinterpret_cast<SwMpegInitFn>(::dlsym(library, "swMPEGInit"));
    auto makeMpeg = reinterpret_cast<SwMpegMakeMpegFn>(::dlsym(library, "swMPEGMakeMPEG"));
    if (init == nullptr || makeMpeg == nullptr || init(20) != 0) {
        std::fprintf(stderr, "the library's entry points are not usable\n");
        return 1;
    }

    std::printf("Making %d synthetic %dx%d pictures and a tone...\n", pictures, width, height);
    Source made = MakeSource(pictures);
    source = &made;
    const std::string rawPictures = work + "/source.bgr0";
    const std::string rawSound = work + "/source.s16le";
    WriteRaw(made, rawPictures, rawSound);

    const std::string ffmpegOutput = work + "/ffmpeg-pal-dvd.mpg";
    const std::string ourOutput = work + "/libconvert-pal-dvd.mpg";
    const std::string ffmpegCommand = "ffmpeg -y -nostdin -loglevel error -f rawvideo -pix_fmt bgr0 -s 720x576 -r 25 -i '" +
                                      rawPictures + "' -f s16le -ar 48000 -ac 2 -i '" + rawSound +
                                      "' -target pal-dvd '" + ffmpegOutput + "'";
    std::printf("ffmpeg command: %s\n", ffmpegCommand.c_str());

    std::vector<double> ffmpegTimes;
    std::vector<double> ourTimes;
    std::vector<double> ffmpegProcessor;
    std::vector<double> ourProcessor;
    for (int round = 0; round < rounds; ++round) {
        auto start = std::chrono::steady_clock::now();
        double processor = ProcessorSeconds(RUSAGE_CHILDREN);
        if (std::system(ffmpegCommand.c_str()) != 0) {
            std::fprintf(stderr, "ffmpeg failed\n");
            return 1;
        }
        ffmpegTimes.push_back(Seconds(start));
        ffmpegProcessor.push_back(ProcessorSeconds(RUSAGE_CHILDREN) - processor);

        EncodeParameters parameters{};
        parameters.videoFlag = 1;
        parameters.width = width;
        parameters.height = height;
        parameters.lastFrame = pictures - 1;
        parameters.lastSample = static_cast<int32_t>(made.tone.size() / 2 - 1);
        parameters.audioFlag = 1;
        parameters.sampleRate = sampleRate;
        parameters.sampleFlag = 1;
        parameters.bitsPerSample = 16;
        parameters.outputName = ourOutput.c_str();
        parameters.supplyVideoFrame = &SupplyPicture;
        parameters.supplyAudio = &SupplySound;
        start = std::chrono::steady_clock::now();
        processor = ProcessorSeconds(RUSAGE_SELF);
        const int result = makeMpeg(&parameters);
        ourTimes.push_back(Seconds(start));
        ourProcessor.push_back(ProcessorSeconds(RUSAGE_SELF) - processor);
        if (result != ENCODE_COMPLETED) {
            std::fprintf(stderr, "libconvert failed with %d\n", result);
            return 1;
        }
        std::printf("round %d: ffmpeg %.2f s (processor %.2f s), libconvert %.2f s (processor %.2f s)\n", round + 1,
                    ffmpegTimes.back(), ffmpegProcessor.back(), ourTimes.back(), ourProcessor.back());
    }

    const auto luma = discforge::bench::SourceLuma(made.topDown, width, height);
    const LumaScore ffmpegScore = discforge::bench::CompareLuma(ffmpegOutput, luma, width, height);
    const LumaScore ourScore = discforge::bench::CompareLuma(ourOutput, luma, width, height);
    if (!ffmpegScore.error.empty() || !ourScore.error.empty()) {
        std::fprintf(stderr, "%s%s\n", ffmpegScore.error.c_str(), ourScore.error.c_str());
        return 1;
    }
    const double ffmpegTime = Median(ffmpegTimes);
    const double ourTime = Median(ourTimes);
    const auto ffmpegSize = std::filesystem::file_size(ffmpegOutput);
    const auto ourSize = std::filesystem::file_size(ourOutput);
    std::printf("\n%-12s %8s %8s %12s %12s %12s %10s\n", "encoder", "wall s", "fps", "processor s", "file bytes",
                "video bytes", "Y-PSNR dB");
    const auto row = [&](const char* name, double time, double processor, uintmax_t size, const LumaScore& score) {
        std::printf("%-12s %8.2f %8.1f %12.2f %12ju %12lld %10.2f   (%d pictures)\n", name, time, pictures / time,
                    processor, size, static_cast<long long>(score.videoBytes), score.psnr, score.pictures);
    };
    row("ffmpeg", ffmpegTime, Median(ffmpegProcessor), ffmpegSize, ffmpegScore);
    row("libconvert", ourTime, Median(ourProcessor), ourSize, ourScore);
    std::printf("time ratio libconvert/ffmpeg: %.2f (median of %d rounds)\n", ourTime / ffmpegTime, rounds);
    std::printf("PSNR difference libconvert-ffmpeg: %+.2f dB; size ratio: file %.3f, video %.3f\n",
                ourScore.psnr - ffmpegScore.psnr, static_cast<double>(ourSize) / static_cast<double>(ffmpegSize),
                static_cast<double>(ourScore.videoBytes) / static_cast<double>(ffmpegScore.videoBytes));
    std::filesystem::remove(rawPictures);
    std::filesystem::remove(rawSound);
    return 0;
}
