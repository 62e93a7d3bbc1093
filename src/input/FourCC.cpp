#include "input/FourCC.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>

namespace discforge {
namespace {

// In a standard AVI header: the first stream header's handler code and the
// first stream format's compression code.
constexpr long handlerOffset = 112;
constexpr long compressionOffset = 188;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Up to four characters, ending at the first zero byte.
bool ReadCode(std::FILE* file, long offset, std::string& code)
{
    char bytes[4] = {};
    if (std::fseek(file, offset, SEEK_SET) != 0 || std::fread(bytes, 1, sizeof bytes, file) != sizeof bytes) {
        return false;
    }
    code.assign(bytes, std::find(bytes, bytes + sizeof bytes, '\0'));
    return true;
}

} // namespace

std::string ReadFourCC(const std::string& path)
{
    std::string lowered = path;
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lowered.find(".avi") == std::string::npos) {
        return {};
    }
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return {};
    }
    std::string handler;
    std::string compression;
    if (!ReadCode(file.get(), handlerOffset, handler) || !ReadCode(file.get(), compressionOffset, compression)) {
        return {};
    }
    return handler + "/" + compression;
}

} // namespace discforge
