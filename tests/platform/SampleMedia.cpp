#include "SampleMedia.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <vector>

namespace discforge::test {

namespace {

class SampleStore {
public:
    SampleStore()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "discforge-media-XXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (mkdtemp(name.data()) == nullptr) {
            throw std::runtime_error("cannot make a temporary folder");
        }
        folder = name.data();
    }
    ~SampleStore()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::string folder;
    std::map<std::string, std::string> made;
};

// FFmpeg's warnings about the damaged files the tests make on purpose would bury the results.
const bool quietFfmpeg = [] {
    av_log_set_level(AV_LOG_FATAL);
    return true;
}();

SampleStore& Store()
{
    static SampleStore store;
    return store;
}

std::string KeyOf(const mediagen::AviRecipe& recipe)
{
    return std::to_string(static_cast<int>(recipe.video)) + "-" + std::to_string(static_cast<int>(recipe.audio)) + "-"
        + std::to_string(static_cast<int>(recipe.rate)) + "-" + std::to_string(recipe.width) + "x"
        + std::to_string(recipe.height) + "-" + std::to_string(recipe.frames) + "-" + std::to_string(recipe.keyFrameInterval)
        + "-" + (recipe.fourCC.empty() ? "std" : recipe.fourCC);
}

std::uint32_t Le32(const std::uint8_t* at)
{
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8
        | static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

} // namespace

const std::string& SampleFolder() { return Store().folder; }

const std::string& SampleAvi(mediagen::AviRecipe recipe)
{
    SampleStore& store = Store();
    const std::string key = KeyOf(recipe);
    auto found = store.made.find(key);
    if (found != store.made.end()) {
        return found->second;
    }
    recipe.path = store.folder + "/" + key + ".avi";
    std::string error;
    if (!mediagen::WriteAvi(recipe, error)) {
        throw std::runtime_error("cannot generate " + recipe.path + ": " + error);
    }
    return store.made.emplace(key, recipe.path).first->second;
}

std::string TruncatedCopy(const std::string& path, std::size_t bytes, const std::string& name)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> data(bytes);
    in.read(data.data(), static_cast<std::streamsize>(bytes));
    const std::string copy = SampleFolder() + "/" + name;
    std::ofstream out(copy, std::ios::binary);
    out.write(data.data(), in.gcount());
    return copy;
}

std::uintmax_t FileSize(const std::string& path) { return std::filesystem::file_size(path); }

std::string RemuxedCopy(const std::string& path, const char* container, const std::string& name)
{
    const std::string copy = SampleFolder() + "/" + name;
    AVFormatContext* input = nullptr;
    AVFormatContext* output = nullptr;
    if (avformat_open_input(&input, path.c_str(), nullptr, nullptr) < 0 || avformat_find_stream_info(input, nullptr) < 0
        || avformat_alloc_output_context2(&output, nullptr, container, copy.c_str()) < 0) {
        throw std::runtime_error("cannot remux " + path);
    }
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        AVStream* stream = avformat_new_stream(output, nullptr);
        avcodec_parameters_copy(stream->codecpar, input->streams[i]->codecpar);
        stream->codecpar->codec_tag = 0;
        stream->time_base = input->streams[i]->time_base;
    }
    if (avio_open(&output->pb, copy.c_str(), AVIO_FLAG_WRITE) < 0 || avformat_write_header(output, nullptr) < 0) {
        throw std::runtime_error("cannot write " + copy);
    }
    AVPacket* packet = av_packet_alloc();
    while (av_read_frame(input, packet) >= 0) {
        av_packet_rescale_ts(
            packet, input->streams[packet->stream_index]->time_base, output->streams[packet->stream_index]->time_base);
        av_interleaved_write_frame(output, packet);
    }
    av_packet_free(&packet);
    av_write_trailer(output);
    avio_closep(&output->pb);
    avformat_free_context(output);
    avformat_close_input(&input);
    return copy;
}

std::int64_t NumberInSurface(const std::uint8_t* pixels, int pitch, int width, int height)
{
    return pattern::ReadFrameNumber(pattern::ConstPatternImage{pixels, width, height, pitch, 4, false});
}

std::int64_t NumberInBitmap(const std::uint8_t* bitmap)
{
    const auto width = static_cast<int>(Le32(bitmap + 4));
    const auto height = static_cast<int>(Le32(bitmap + 8));
    return pattern::ReadFrameNumber(pattern::ConstPatternImage{bitmap + 40, width, height, width * 4, 4, true});
}

} // namespace discforge::test
