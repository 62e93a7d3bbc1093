#include "app/BatchOutputs.h"

#include "app/BatchMessages.h"
#include "core/TextFormat.h"
#include "input/InputTableState.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace discforge {

std::vector<std::string> ExistingOutputs(const InputTableState& inputs)
{
    std::vector<std::string> existing;
    for (int i = 0; i < inputs.inputCount; ++i) {
        const std::string& path = inputs.inputTable[static_cast<std::size_t>(i)].outputPath;
        std::error_code error;
        if (!path.empty() && std::filesystem::exists(std::filesystem::path(path), error)
            && std::find(existing.begin(), existing.end(), path) == existing.end()) {
            existing.push_back(path);
        }
    }
    return existing;
}

std::string ReadableSize(unsigned long long bytes)
{
    if (bytes == 1) {
        return message::oneByte;
    }
    if (bytes < 1024) {
        return FormatText(message::sizeInBytes, bytes);
    }
    const char* units[] = {"KB", "MB", "GB"};
    double value = static_cast<double>(bytes) / 1024.0;
    int unit = 0;
    while (value >= 1024.0 && unit < 2) {
        value /= 1024.0;
        ++unit;
    }
    return FormatText("%.1f %s", value, units[unit]);
}

std::string WrittenOutputs(const InputTableState& inputs)
{
    std::string lines;
    for (int i = 0; i < inputs.inputCount; ++i) {
        const std::string& path = inputs.inputTable[static_cast<std::size_t>(i)].outputPath;
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(std::filesystem::path(path), error);
        lines += "\n" + path + ": " + (error ? std::string(message::notWritten) : ReadableSize(size));
    }
    return lines;
}

} // namespace discforge
