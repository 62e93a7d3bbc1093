#include "SampleMedia.h"

extern "C" {
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

std::string KeyOf(const mediagen::AviSpec& spec)
{
    return std::to_string(static_cast<int>(spec.video)) + "-" + std::to_string(static_cast<int>(spec.audio)) + "-" +
           std::to_string(static_cast<int>(spec.rate)) + "-" + std::to_string(spec.width) + "x" +
           std::to_string(spec.height) + "-" + std::to_string(spec.frames) + "-" +
           std::to_string(spec.keyFrameInterval) + "-" + (spec.fourCC.empty() ? "std" : spec.fourCC);
}

std::uint32_t Le32(const std::uint8_t* at)
{
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

} // namespace

const std::string& SampleFolder() { return Store().folder; }

const std::string& SampleAvi(mediagen::AviSpec spec)
{
    SampleStore& store = Store();
    const std::string key = KeyOf(spec);
    auto found = store.made.find(key);
    if (found != store.made.end()) {
        return found->second;
    }
    spec.path = store.folder + "/" + key + ".avi";
    std::string error;
    if (!mediagen::WriteAvi(spec, error)) {
        throw std::runtime_error("cannot generate " + spec.path + ": " + error);
    }
    return store.made.emplace(key, spec.path).first->second;
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

std::int64_t NumberInSurface(const std::uint8_t* pixels, int pitch, int width, int height)
{
    return pattern::ReadFrameNumber(pattern::ConstPatternImage{pixels, width, height, pitch, 4, false});
}

std::int64_t NumberInBitmap(const std::uint8_t* bitmap)
{
    const auto width = static_cast<int>(Le32(bitmap + 4));
    const auto height = static_cast<int>(Le32(bitmap + 8));
    return pattern::ReadFrameNumber(
        pattern::ConstPatternImage{bitmap + 40, width, height, width * 4, 4, true});
}

} // namespace discforge::test
