#include "OutputFiles.h"

#include "EncoderMessages.h"
#include "encoder/OutputPartNames.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace discforge::convert {
namespace {

std::string ErrnoText(int error) { return std::strerror(error); }

std::size_t BaseNameStart(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

std::string FolderOf(const std::string& path)
{
    const std::size_t start = BaseNameStart(path);
    if (start == 0) {
        return ".";
    }
    return start == 1 ? "/" : path.substr(0, start - 1);
}

// A hidden name beside the final one that no other program would pick.
std::string TemporaryCandidate(const std::string& finalName, std::mt19937_64& random)
{
    const std::size_t start = BaseNameStart(finalName);
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%08llx.part", static_cast<unsigned long long>(random() & 0xFFFFFFFFu));
    return finalName.substr(0, start) + "." + finalName.substr(start) + suffix;
}

bool IsDirectory(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

OutputFiles::OutputFiles(std::string outputName) : outputName_(std::move(outputName)) {}

OutputFiles::~OutputFiles()
{
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (!committed_) {
        RemoveTemporaries();
    }
}

EncodeStatus OutputFiles::OpenPart()
{
    if (IsDirectory(outputName_)) {
        return EncodeStatus::Fail(ENCODE_OUTPUT_FAILED,
                                  message::Substitute(message::cannotFinish, {ErrnoText(EISDIR)}));
    }
    std::mt19937_64 random(std::random_device{}());
    int error = EEXIST;
    for (int attempt = 0; attempt < 64 && error == EEXIST; ++attempt) {
        const std::string candidate = TemporaryCandidate(outputName_, random);
        fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            temporaryNames_.push_back(candidate);
            partBytes_ = 0;
            return EncodeStatus::Done();
        }
        error = errno;
    }
    return EncodeStatus::Fail(ENCODE_OUTPUT_FAILED,
                              message::Substitute(message::cannotCreate, {FolderOf(outputName_), ErrnoText(error)}));
}

EncodeStatus OutputFiles::Write(const uint8_t* data, std::size_t size)
{
    if (!writeStatus_.Ok()) {
        return writeStatus_;
    }
    while (size > 0) {
        const ssize_t written = ::write(fd_, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            const int error = written < 0 ? errno : ENOSPC;
            writeStatus_ = EncodeStatus::Fail(ENCODE_OUTPUT_FAILED,
                                              message::Substitute(message::cannotWrite, {ErrnoText(error)}));
            return writeStatus_;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
        partBytes_ += written;
    }
    return EncodeStatus::Done();
}

EncodeStatus OutputFiles::ClosePart()
{
    if (fd_ < 0) {
        return writeStatus_;
    }
    // The data must be on the disk before a rename can replace an earlier file with it.
    const bool synced = ::fsync(fd_) == 0;
    const int syncError = errno;
    const bool closed = ::close(fd_) == 0;
    const int closeError = errno;
    fd_ = -1;
    if (writeStatus_.Ok() && (!synced || !closed)) {
        writeStatus_ = EncodeStatus::Fail(
            ENCODE_OUTPUT_FAILED, message::Substitute(message::cannotWrite, {ErrnoText(synced ? closeError : syncError)}));
    }
    return writeStatus_;
}

EncodeStatus OutputFiles::Commit()
{
    const EncodeStatus closed = ClosePart();
    if (!closed.Ok()) {
        return closed;
    }
    const std::size_t count = temporaryNames_.size();
    for (std::size_t i = 0; i < count; ++i) {
        const std::string finalName = PartFileName(outputName_, i, count);
        if (std::rename(temporaryNames_[i].c_str(), finalName.c_str()) != 0) {
            return EncodeStatus::Fail(ENCODE_OUTPUT_FAILED,
                                      message::Substitute(message::cannotFinish, {ErrnoText(errno)}));
        }
        temporaryNames_[i].clear();
    }
    committed_ = true;
    return EncodeStatus::Done();
}

void OutputFiles::RemoveTemporaries()
{
    for (const std::string& name : temporaryNames_) {
        if (!name.empty()) {
            ::unlink(name.c_str());
        }
    }
}

} // namespace discforge::convert
