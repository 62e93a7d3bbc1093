// Our encoder library against the ffmpeg tool's "-target" presets, for each of the
// six disc targets: the same synthetic pictures of the target's size and rate and
// the same tone go into both, our library with the format code the program gives it.
// Prints per target the wall and processor time of each, the file and picture-stream
// sizes and the luma PSNR against the source pictures, and whether ours reaches
// ffmpeg's PSNR at no more than 1.05 times its sizes.
//
//   encoder_bench <folder of libconvert.so> <work folder> [seconds] [rounds]
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

constexpr int sampleRate = 48000;
constexpr int soundChunk = 1600; // sample frames per sound callback

struct Target {
    const char* preset; // ffmpeg's name
    int formatCode; // swMPEGInit's
    int width;
    int height;
    int rateNum;
    int rateDen;
};

constexpr int pal = 16;
constexpr Target targets[] = {
    {"ntsc-vcd", 1, 352, 240, 30000, 1001},
    {"pal-vcd", 1 + pal, 352, 288, 25, 1},
    {"ntsc-svcd", 3, 480, 480, 30000, 1001},
    {"pal-svcd", 3 + pal, 480, 576, 25, 1},
    {"ntsc-dvd", 4, 720, 480, 30000, 1001},
    {"pal-dvd", 4 + pal, 720, 576, 25, 1},
};

struct Source {
    int width = 0;
    int height = 0;
    std::vector<std::vector<uint8_t>> topDown; // for the raw file ffmpeg reads
    std::vector<std::vector<uint8_t>> bottomUp; // as the program hands pictures to the library
    std::vector<int16_t> tone; // stereo
};

Source* source = nullptr;

int32_t SupplyPicture(int32_t frameIndex, int32_t* rowBytes, const uint8_t** pixels)
{
    const auto index = std::min(static_cast<std::size_t>(frameIndex), source->bottomUp.size() - 1);
    *rowBytes = source->width * 4;
    *pixels = source->bottomUp[index].data();
    return 0;
}

int32_t SupplySound(int32_t firstSample, int32_t* consumed, int32_t* bytes, const uint8_t** samples)
{
    const auto total = static_cast<int64_t>(source->tone.size() / 2);
    const int64_t count = std::clamp<int64_t>(total - firstSample, 0, soundChunk);
    *consumed = static_cast<int32_t>(count);
    *bytes = static_cast<int32_t>(count * 4);
    *samples = reinterpret_cast<const uint8_t*>(source->tone.data() + static_cast<std::size_t>(firstSample) * 2);
    return 0;
}

Source MakeSource(const Target& target, int pictures)
{
    Source made;
    made.width = target.width;
    made.height = target.height;
    const std::size_t row = static_cast<std::size_t>(target.width) * 4;
    for (int frame = 0; frame < pictures; ++frame) {
        std::vector<uint8_t> picture = discforge::bench::PaintScene(target.width, target.height, frame);
        std::vector<uint8_t> flipped(picture.size());
        for (int y = 0; y < target.height; ++y) {
            std::copy_n(picture.data() + static_cast<std::size_t>(y) * row, row,
                flipped.data() + static_cast<std::size_t>(target.height - 1 - y) * row);
        }
        made.topDown.push_back(std::move(picture));
        made.bottomUp.push_back(std::move(flipped));
    }
    const int64_t samples = int64_t{pictures} * sampleRate * target.rateDen / target.rateNum;
    for (int64_t i = 0; i < samples; ++i) {
        const auto value
            = static_cast<int16_t>(8000 * std::sin(2 * M_PI * 440.0 * static_cast<double>(i) / sampleRate));
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

struct Library {
    SwMpegInitFn init = nullptr;
    SwMpegMakeMpegFn makeMpeg = nullptr;
};

struct Outcome {
    double ffmpegTime = 0;
    double ffmpegProcessor = 0;
    double ourTime = 0;
    double ourProcessor = 0;
    uintmax_t ffmpegSize = 0;
    uintmax_t ourSize = 0;
    LumaScore ffmpegScore;
    LumaScore ourScore;
};

bool Measure(const Library& library, const Target& target, const std::string& work, int seconds, int rounds,
    Outcome& outcome)
{
    const int pictures = static_cast<int>(std::lround(double{1.0} * seconds * target.rateNum / target.rateDen));
    Source made = MakeSource(target, pictures);
    source = &made;
    const std::string rawPictures = work + "/source.bgr0";
    const std::string rawSound = work + "/source.s16le";
    WriteRaw(made, rawPictures, rawSound);
    const std::string ffmpegOutput = work + "/ffmpeg-" + target.preset + ".mpg";
    const std::string ourOutput = work + "/libconvert-" + target.preset + ".mpg";
    const std::string size = std::to_string(target.width) + "x" + std::to_string(target.height);
    const std::string rate = std::to_string(target.rateNum) + "/" + std::to_string(target.rateDen);
    const std::string ffmpegCommand = "ffmpeg -y -nostdin -loglevel error -f rawvideo -pix_fmt bgr0 -s " + size
        + " -r " + rate + " -i '" + rawPictures + "' -f s16le -ar 48000 -ac 2 -i '" + rawSound + "' -target "
        + target.preset + " '" + ffmpegOutput + "'";
    std::printf("%s: %d pictures of %s at %s; ffmpeg command: %s\n", target.preset, pictures, size.c_str(),
        rate.c_str(), ffmpegCommand.c_str());
    if (library.init(target.formatCode) != 0) {
        std::fprintf(stderr, "swMPEGInit(%d) failed\n", target.formatCode);
        return false;
    }
    std::vector<double> ffmpegTimes, ourTimes, ffmpegProcessor, ourProcessor;
    for (int round = 0; round < rounds; ++round) {
        auto start = std::chrono::steady_clock::now();
        double processor = ProcessorSeconds(RUSAGE_CHILDREN);
        if (std::system(ffmpegCommand.c_str()) != 0) {
            std::fprintf(stderr, "ffmpeg failed\n");
            return false;
        }
        ffmpegTimes.push_back(Seconds(start));
        ffmpegProcessor.push_back(ProcessorSeconds(RUSAGE_CHILDREN) - processor);

        EncodeParameters parameters{};
        parameters.videoFlag = 1;
        parameters.width = target.width;
        parameters.height = target.height;
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
        const int result = library.makeMpeg(&parameters);
        ourTimes.push_back(Seconds(start));
        ourProcessor.push_back(ProcessorSeconds(RUSAGE_SELF) - processor);
        if (result != ENCODE_COMPLETED) {
            std::fprintf(stderr, "libconvert failed with %d\n", result);
            return false;
        }
    }
    const auto luma = discforge::bench::SourceLuma(made.topDown, target.width, target.height);
    outcome.ffmpegScore = discforge::bench::CompareLuma(ffmpegOutput, luma, target.width, target.height);
    outcome.ourScore = discforge::bench::CompareLuma(ourOutput, luma, target.width, target.height);
    if (!outcome.ffmpegScore.error.empty() || !outcome.ourScore.error.empty()) {
        std::fprintf(stderr, "%s%s\n", outcome.ffmpegScore.error.c_str(), outcome.ourScore.error.c_str());
        return false;
    }
    outcome.ffmpegTime = Median(ffmpegTimes);
    outcome.ourTime = Median(ourTimes);
    outcome.ffmpegProcessor = Median(ffmpegProcessor);
    outcome.ourProcessor = Median(ourProcessor);
    outcome.ffmpegSize = std::filesystem::file_size(ffmpegOutput);
    outcome.ourSize = std::filesystem::file_size(ourOutput);
    std::filesystem::remove(rawPictures);
    std::filesystem::remove(rawSound);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <library folder> <work folder> [seconds] [rounds]\n", argv[0]);
        return 2;
    }
    const std::string libraryPath = std::string(argv[1]) + "/libconvert.so";
    const std::string work = argv[2];
    const int seconds = argc > 3 ? std::atoi(argv[3]) : 10;
    const int rounds = argc > 4 ? std::atoi(argv[4]) : 3;
    if (seconds < 1 || rounds < 1) {
        std::fprintf(stderr, "seconds and rounds must be at least 1\n");
        return 2;
    }
    std::filesystem::create_directories(work);

    void* handle = ::dlopen(libraryPath.c_str(), RTLD_NOW);
    if (handle == nullptr) {
        std::fprintf(stderr, "%s\n", ::dlerror());
        return 1;
    }
    Library library;
    library.init = reinterpret_cast<SwMpegInitFn>(::dlsym(handle, "swMPEGInit"));
    library.makeMpeg = reinterpret_cast<SwMpegMakeMpegFn>(::dlsym(handle, "swMPEGMakeMPEG"));
    if (library.init == nullptr || library.makeMpeg == nullptr) {
        std::fprintf(stderr, "the library's entry points are not usable\n");
        return 1;
    }

    std::vector<Outcome> outcomes;
    for (const Target& target : targets) {
        Outcome outcome;
        if (!Measure(library, target, work, seconds, rounds, outcome)) {
            return 1;
        }
        outcomes.push_back(outcome);
    }

    std::printf("\nThe same %d s of synthetic pictures and tone into each encoder; median of %d rounds.\n", seconds,
        rounds);
    std::printf("| target    | ffmpeg s | ours s | ffmpeg cpu | ours cpu | ffmpeg dB | ours dB | file ratio | video ratio "
                "| PSNR >= and sizes <= 1.05 |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|\n");
    bool allReached = true;
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        const Outcome& o = outcomes[i];
        const double fileRatio = static_cast<double>(o.ourSize) / static_cast<double>(o.ffmpegSize);
        const double videoRatio
            = static_cast<double>(o.ourScore.videoBytes) / static_cast<double>(o.ffmpegScore.videoBytes);
        const bool reached = o.ourScore.psnr >= o.ffmpegScore.psnr && fileRatio <= 1.05 && videoRatio <= 1.05;
        allReached = allReached && reached;
        std::printf("| %-9s | %8.2f | %6.2f | %10.2f | %8.2f | %9.2f | %7.2f | %10.3f | %11.3f | %-25s |\n",
            targets[i].preset, o.ffmpegTime, o.ourTime, o.ffmpegProcessor, o.ourProcessor, o.ffmpegScore.psnr,
            o.ourScore.psnr, fileRatio, videoRatio, reached ? "yes" : "NO");
    }
    std::printf("every target reached: %s\n", allReached ? "yes" : "NO");
    return 0;
}
