#include "input/InputDescription.h"

#include "core/ConversionSettings.h"
#include "core/TextFormat.h"

#include <cinttypes>
#include <cmath>
#include <filesystem>
#include <system_error>

namespace discforge {
namespace {

constexpr std::uint64_t exactSizeLimit = 1000000000;

std::optional<std::uint64_t> MeasureFile(const std::string& path)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(size);
}

void AppendAudioLines(const InputEntry& entry, std::vector<std::string>& lines)
{
    const WaveFormat& wave = entry.waveFormat;
    lines.emplace_back("Audio:");
    lines.emplace_back(wave.channels == 2 ? "  Channels: Stereo" : "  Channels: Mono (will be converted to stereo)");
    lines.push_back(SampleRateLine(static_cast<int>(wave.sampleRate)));
    lines.push_back(wave.bitsPerSample == 8 ? std::string("  Bits per Sample: 8 (will be converted to 16)")
                                            : FormatText("  Bits per Sample: %d", int{wave.bitsPerSample}));
    lines.push_back(FormatText("  Total samples: %u", static_cast<unsigned>(entry.totalSamples)));
    lines.push_back(FormatText("  Selected samples: %u", static_cast<unsigned>(entry.selectedSamples)));
}

} // namespace

std::string FileSizeLine(std::optional<std::uint64_t> size)
{
    const std::uint64_t bytes = size.value_or(0);
    if (bytes > exactSizeLimit) {
        return FormatText("File size(M): %" PRIu64, bytes / 1000000);
    }
    return FormatText("File size: %" PRIu64, bytes);
}

std::string TotalTimeLine(std::int64_t duration)
{
    double seconds = static_cast<double>(duration) * 1e-7;
    const int hours = static_cast<int>(seconds / 3600);
    if (hours != 0) {
        seconds -= hours * 3600;
    }
    const int minutes = static_cast<int>(seconds / 60);
    if (minutes != 0) {
        seconds -= minutes * 60;
    }
    return FormatText("  Total Time: %02d:%02d:%02.2f", hours, minutes, seconds);
}

int StandardOfFrameRate(double frameRate) { return frameRate == 25.0 ? standardPal : standardNtsc; }

std::string SampleRateLine(int sampleRate)
{
    switch (sampleRate) {
    case 16000:
        return "  Sample Rate: 16.000 kHz (will be converted to 32.0 kHz)";
    case 22050:
        return "  Sample Rate: 22.05 kHz (will be converted to 44.1 kHz)";
    case 24000:
        return "  Sample Rate: 24.00 kHz (will be converted to 48.0 kHz)";
    case 11025:
        return "  Sample Rate: 11.025 kHz (will be converted to 44.1 kHz)";
    case 8000:
        return "  Sample Rate:  8.000 kHz (will be converted to 32.0 kHz)";
    case 12000:
        return "  Sample Rate: 12.000 kHz (will be converted to 48.0 kHz)";
    default:
        return FormatText("  Sample Rate: %.03f kHz", sampleRate * 0.001);
    }
}

std::string ShownShapeSuffix(const InputEntry& entry)
{
    const Ratio pixel = entry.sourcePixel;
    if (pixel.num <= 0 || pixel.den <= 0 || pixel.num == pixel.den || entry.width <= 0 || entry.height <= 0) {
        return {};
    }
    const double shown = static_cast<double>(entry.width) * pixel.num / (static_cast<double>(entry.height) * pixel.den);
    // Within a hundredth of the two TV shapes the source is meant as one of them.
    constexpr double closeEnough = 0.01;
    if (std::abs(shown - 16.0 / 9.0) < closeEnough) {
        return ", shown 16:9";
    }
    if (std::abs(shown - 4.0 / 3.0) < closeEnough) {
        return ", shown 4:3";
    }
    return FormatText(", shown %.2f:1", shown);
}

std::vector<std::string> DescribeInputLines(const InputEntry& entry, const DescriptionContext& context)
{
    std::vector<std::string> lines;
    const bool video = entry.isVideoFile;
    lines.push_back(FormatText(video ? "File Name: %s" : "File List Name: %s", entry.path.c_str()));
    lines.push_back(FormatText("File 4CC: %s", context.fourCCText.c_str()));
    lines.push_back(FileSizeLine(MeasureFile(entry.path)));
    lines.emplace_back(" ");
    lines.emplace_back("Video:");
    if (!video) {
        lines.push_back(FormatText("  Filename: %s", context.currentPictureName.c_str()));
    }
    lines.push_back(FormatText("  Resolution: %d x %d", entry.width, entry.height) + ShownShapeSuffix(entry));
    if (video) {
        lines.push_back(FormatText("  Frame Rate: %02.2f", entry.frameRate));
    }
    lines.push_back(FormatText("  Total Frames: %u", entry.totalFrames));
    if (video) {
        lines.push_back(TotalTimeLine(entry.duration));
    }
    lines.push_back(FormatText("  Selected Frames: %u", entry.selectedFrames));
    lines.emplace_back(" ");
    if (entry.hasAudio) {
        AppendAudioLines(entry, lines);
    } else {
        lines.emplace_back(" Audio: none");
    }
    return lines;
}

} // namespace discforge
