// Writes picture lists: numbered 24-bit BMP pictures of the frame-number
// pattern and a .lst file that names them, one per line.
#include "mediagen/MediaGen.h"

#include "pattern/FramePattern.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace discforge::mediagen {

namespace {

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

std::string FolderOf(const std::string& path)
{
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string PictureName(std::int64_t number)
{
    char name[32];
    std::snprintf(name, sizeof name, "picture%05lld.bmp", static_cast<long long>(number));
    return name;
}

} // namespace

bool WritePatternBmp(const std::string& path, int width, int height, std::int64_t number, std::string& error)
{
    if (width < 32 || height < 32 || width > 4096 || height > 4096) {
        error = "picture size must be from 32 to 4096";
        return false;
    }
    const int stride = (width * 3 + 3) / 4 * 4;
    const auto pixelBytes = static_cast<std::uint32_t>(stride * height);
    std::vector<std::uint8_t> file;
    file.reserve(54 + pixelBytes);
    file.push_back('B');
    file.push_back('M');
    PutLe(file, 54 + pixelBytes, 4);
    PutLe(file, 0, 4);
    PutLe(file, 54, 4);
    PutLe(file, 40, 4);
    PutLe(file, static_cast<std::uint32_t>(width), 4);
    PutLe(file, static_cast<std::uint32_t>(height), 4);
    PutLe(file, 1, 2);
    PutLe(file, 24, 2);
    PutLe(file, 0, 4);
    PutLe(file, pixelBytes, 4);
    PutLe(file, 2835, 4);
    PutLe(file, 2835, 4);
    PutLe(file, 0, 4);
    PutLe(file, 0, 4);
    file.resize(54 + pixelBytes, 0);
    pattern::DrawFramePattern(pattern::PatternImage{file.data() + 54, width, height, stride, 3, true}, number);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

bool WritePictureList(const ListRecipe& recipe, std::string& error)
{
    if (recipe.pictures < 0 || recipe.pictures > pattern::maxFrameNumber + 1) {
        error = "the picture count must be from 0 to " + std::to_string(pattern::maxFrameNumber + 1);
        return false;
    }
    const std::string folder = FolderOf(recipe.path);
    std::ofstream list(recipe.path, std::ios::binary);
    if (!list) {
        error = "cannot write " + recipe.path;
        return false;
    }
    for (std::int64_t number = 0; number < recipe.pictures; ++number) {
        const std::string name = PictureName(number);
        if (!WritePatternBmp(folder + name, recipe.width, recipe.height, number, error)) {
            return false;
        }
        list << (recipe.fullPaths ? std::filesystem::absolute(folder + name).string() : name) << '\n';
    }
    if (!list) {
        error = "cannot write " + recipe.path;
        return false;
    }
    return true;
}

} // namespace discforge::mediagen
