// The run log kept in memory for support: the program, the system and every
// input opened. It has a fixed size; lines that do not fit are dropped.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace discforge {

class RunLog {
public:
    static constexpr std::size_t capacity = 24576;

    // Appends the line and CR LF, or drops the line when line, log and the line
    // end with its terminating zero would not fit.
    void AppendLogLine(std::string_view line);
    // Replaces the file with the log's text; a file that cannot be written is skipped.
    bool WriteLogFile(const std::string& path) const;
    void Clear() { text_.clear(); }
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

} // namespace discforge
