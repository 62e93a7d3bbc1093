#include "input/ListFile.h"

#include <string_view>
#include <utility>

namespace discforge {

ListFile::ListFile(ListFile&& other) noexcept : file_(std::exchange(other.file_, nullptr)) {}

ListFile& ListFile::operator=(ListFile&& other) noexcept
{
    if (this != &other) {
        Close();
        file_ = std::exchange(other.file_, nullptr);
    }
    return *this;
}

ListFile::~ListFile() { Close(); }

bool ListFile::Open(const std::string& path)
{
    Close();
    file_ = std::fopen(path.c_str(), "rb");
    return file_ != nullptr;
}

void ListFile::Close()
{
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

bool ListFile::Rewind()
{
    if (file_ == nullptr) {
        return false;
    }
    std::clearerr(file_);
    return std::fseek(file_, 0, SEEK_SET) == 0;
}

bool ListFile::ReadLine(std::string& line)
{
    line.clear();
    if (file_ == nullptr) {
        return false;
    }
    bool readAny = false;
    char chunk[260];
    while (std::fgets(chunk, sizeof chunk, file_) != nullptr) {
        readAny = true;
        std::string_view piece(chunk);
        const bool lineEnds = !piece.empty() && piece.back() == '\n';
        if (lineEnds) {
            piece.remove_suffix(1);
        }
        if (line.size() < maxLineLength) {
            line.append(piece.substr(0, maxLineLength - line.size()));
        }
        if (lineEnds) {
            break;
        }
    }
    // Lists written on Windows end their lines with CR LF.
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return readAny;
}

ListLineResult ListFile::ReadLineAt(int k, std::string& line)
{
    line.clear();
    if (!Rewind()) {
        return ListLineResult::rewindFailed;
    }
    for (int i = 0; i <= k; ++i) {
        if (!ReadLine(line)) {
            return ListLineResult::endOfFile;
        }
    }
    return ListLineResult::ok;
}

std::string ListPicturePath(const std::string& line, const std::string& listDirectory)
{
    if (line.find_first_of("/\\") != std::string::npos) {
        return line;
    }
    return listDirectory + line;
}

std::string ListDirectoryOf(const std::string& listPath)
{
    const std::size_t slash = listPath.rfind('/');
    return slash == std::string::npos ? std::string() : listPath.substr(0, slash + 1);
}

} // namespace discforge
