#include "app/OutputParts.h"

#include "encoder/OutputPartNames.h"

#include <filesystem>
#include <optional>
#include <system_error>

namespace discforge {
namespace {

namespace fs = std::filesystem;

// When the regular file was last written; none when there is no such file.
std::optional<fs::file_time_type> WrittenAt(const std::string& path)
{
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        return std::nullopt;
    }
    const fs::file_time_type time = fs::last_write_time(path, error);
    if (error) {
        return std::nullopt;
    }
    return time;
}

} // namespace

std::vector<std::string> OutputParts(const std::string& outputName)
{
    std::vector<std::string> numbered;
    std::optional<fs::file_time_type> first;
    std::optional<fs::file_time_type> previous;
    // Any count above one gives the numbered names.
    for (std::size_t index = 0;; ++index) {
        const std::string part = PartFileName(outputName, index, 2);
        const std::optional<fs::file_time_type> written = WrittenAt(part);
        if (!written || (previous && *written < *previous)) {
            break;
        }
        numbered.push_back(part);
        first = first ? first : written;
        previous = written;
    }
    if (numbered.size() < 2) {
        return {outputName};
    }
    const std::optional<fs::file_time_type> whole = WrittenAt(outputName);
    if (whole && *whole > *first) {
        return {outputName};
    }
    return numbered;
}

} // namespace discforge
