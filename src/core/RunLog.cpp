#include "core/RunLog.h"

#include <fstream>

namespace discforge {

void RunLog::AppendLogLine(std::string_view line)
{
    if (line.size() + text_.size() + 3 >= capacity) {
        return;
    }
    text_.append(line);
    text_.append("\r\n");
}

bool RunLog::WriteLogFile(const std::string& path) const
{
    if (path.empty()) {
        return false;
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) {
        return false;
    }
    file.write(text_.data(), static_cast<std::streamsize>(text_.size()));
    return static_cast<bool>(file);
}

} // namespace discforge
