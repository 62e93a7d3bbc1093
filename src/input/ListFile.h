// A list file: one picture path per line, in frame order. Opening a list input,
// activating it and the frame supply all read it through this class, so a line
// means the same thing everywhere.
#pragma once

#include <cstdio>
#include <string>

namespace discforge {

enum class ListLineResult { ok, rewindFailed, endOfFile };

class ListFile {
public:
    // Longest line kept; the rest of a longer line is skipped, so one line is
    // always one frame.
    static constexpr std::size_t maxLineLength = 4096;

    ListFile() = default;
    ListFile(ListFile&& other) noexcept;
    ListFile& operator=(ListFile&& other) noexcept;
    ListFile(const ListFile&) = delete;
    ListFile& operator=(const ListFile&) = delete;
    ~ListFile();

    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }
    bool Rewind();
    // Reads the next line without its line end ("\n" or "\r\n"); false at the end of the file.
    bool ReadLine(std::string& line);
    // Frame k is line k, counted from 0 after a rewind.
    ListLineResult ReadLineAt(int k, std::string& line);

private:
    std::FILE* file_ = nullptr;
};

// The picture path a list line names: a line holding a folder separator ("/" or
// "\") is used as written, a bare name is taken from the list's folder.
std::string ListPicturePath(const std::string& line, const std::string& listDirectory);

// The list file's folder including its trailing "/", or "" for a bare name.
std::string ListDirectoryOf(const std::string& listPath);

} // namespace discforge
