#include "InputTestSupport.h"

#include "support/LogLines.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace discforge::test {

bool FakeStreamReader::OpenStreams(int index)
{
    if (host != nullptr) {
        mainWindowEnabledDuringOpen = host->mainWindowEnabled;
    }
    if (duringOpen) {
        duringOpen();
    }
    InputEntry& entry = state_.inputTable[static_cast<std::size_t>(index)];
    const auto found = files.find(entry.path);
    if (found == files.end() || state_.cancelRequested) {
        return false;
    }
    const MediaFigures& media = found->second;
    entry.width = media.width;
    entry.height = media.height;
    entry.frameRate = media.frameRate;
    entry.timePerFrame = static_cast<std::int64_t>(std::llround(1e7 / media.frameRate));
    entry.duration = media.duration;
    entry.firstFrame = 0;
    entry.lastFrame = media.frames - 1;
    entry.sourceBits = 32;
    entry.hasAudio = media.hasAudio;
    if (media.hasAudio) {
        WaveFormat& wave = entry.waveFormat;
        wave.formatTag = 1;
        wave.channels = static_cast<std::uint16_t>(media.channels);
        wave.sampleRate = static_cast<std::uint32_t>(media.sampleRate);
        wave.bitsPerSample = static_cast<std::uint16_t>(media.bitsPerSample);
        entry.timePerSample = 1e7 / media.sampleRate;
        entry.totalSamples = media.totalSamples;
        entry.samplesPerFrame = static_cast<int>(std::ceil(media.sampleRate / media.frameRate));
        entry.bytesPerSample = (media.channels == 2 ? 2 : 1) * (media.bitsPerSample == 16 ? 2 : 1);
        entry.audioBytesPerFrame = entry.bytesPerSample * entry.samplesPerFrame;
    }
    openPaths.insert(entry.path);
    return true;
}

void FakeStreamReader::ReleaseStreams(int index)
{
    openPaths.erase(state_.inputTable[static_cast<std::size_t>(index)].path);
}

ScratchFolder::ScratchFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "discforge-input-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a scratch folder");
    }
    root_ = pattern;
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::string ScratchFolder::WriteText(const std::string& name, const std::string& text) const
{
    const std::string path = Path(name);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

void WriteBmp(const std::string& path, int width, int height)
{
    const int stride = (width * 3 + 3) / 4 * 4;
    const std::uint32_t imageSize = static_cast<std::uint32_t>(stride * height);
    std::string bytes;
    const auto put = [&bytes](std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i) {
            bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
        }
    };
    bytes += "BM";
    put(54 + imageSize, 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);
    put(static_cast<std::uint32_t>(width), 4);
    put(static_cast<std::uint32_t>(height), 4);
    put(1, 2);
    put(24, 2);
    put(0, 4);
    put(imageSize, 4);
    for (int i = 0; i < 4; ++i) {
        put(0, 4); // resolution and colour counts
    }
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width; ++x) {
            bytes += "\x20\x40\x60";
        }
        bytes.append(static_cast<std::size_t>(stride - width * 3), '\0');
    }
    std::ofstream(path, std::ios::binary) << bytes;
}

InputTableRig::InputTableRig()
{
    streams.host = &host;
}

bool InputTableRig::AddVideo(const std::string& path, const MediaFigures& figures)
{
    streams.files[path] = figures;
    if (!table.OpenVideoInput(path)) {
        return false;
    }
    host.listBox.push_back(path);
    ++state.inputCount;
    return true;
}

bool InputTableRig::AddList(const std::string& path)
{
    if (!table.OpenListInput(path)) {
        return false;
    }
    host.listBox.push_back(path);
    ++state.inputCount;
    return true;
}

std::vector<std::string> InputTableRig::LogLines() const { return SplitLogLines(runLog.Text()); }

} // namespace discforge::test
