#include "platform/FileContents.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace discforge {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The folder part of `path`, with its trailing "/"; empty for a bare name.
std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool WriteAll(int descriptor, std::span<const std::uint8_t> bytes)
{
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t step = ::write(descriptor, bytes.data() + written, bytes.size() - written);
        if (step < 0 && errno == EINTR) {
            continue;
        }
        if (step <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(step);
    }
    return true;
}

} // namespace

FileReadResult ReadFileStart(const std::string& path, std::size_t maxBytes, std::vector<std::uint8_t>& bytes)
{
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    bytes.clear();
    if (!file) {
        return FileReadResult::cannotOpen;
    }
    bytes.resize(maxBytes);
    const std::size_t got = std::fread(bytes.data(), 1, maxBytes, file.get());
    bytes.resize(got);
    return std::ferror(file.get()) != 0 ? FileReadResult::readFailed : FileReadResult::ok;
}

FileWriteResult ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes)
{
    std::string temporary = FolderOf(path) + ".discforge-XXXXXX";
    const int descriptor = ::mkstemp(temporary.data());
    if (descriptor < 0) {
        return FileWriteResult::cannotCreate;
    }
    // mkstemp makes the file private; a saved file gets the usual permissions.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(descriptor, 0666 & ~mask);
    const bool written = WriteAll(descriptor, bytes) && ::fsync(descriptor) == 0;
    const bool closed = ::close(descriptor) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return FileWriteResult::writeFailed;
    }
    return FileWriteResult::ok;
}

} // namespace discforge
