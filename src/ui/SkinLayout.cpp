#include "ui/SkinLayout.h"

#include <cctype>
#include <climits>
#include <fstream>
#include <iterator>

namespace discforge::ui {
namespace {

constexpr std::size_t maxValueLength = 99;

// One "%d" conversion at `at`: blanks, an optional sign, digits.
bool ScanNumber(const std::string& value, std::size_t& at, int& number)
{
    std::size_t next = at;
    while (next < value.size() && std::isspace(static_cast<unsigned char>(value[next]))) {
        ++next;
    }
    bool negative = false;
    if (next < value.size() && (value[next] == '+' || value[next] == '-')) {
        negative = value[next] == '-';
        ++next;
    }
    long long magnitude = 0;
    const std::size_t firstDigit = next;
    while (next < value.size() && std::isdigit(static_cast<unsigned char>(value[next]))) {
        magnitude = magnitude * 10 + (value[next] - '0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1) {
            return false;
        }
        ++next;
    }
    if (next == firstDigit) {
        return false;
    }
    const long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT_MAX) {
        return false;
    }
    number = static_cast<int>(signedValue);
    at = next;
    return true;
}

} // namespace

std::optional<std::string> ReadLayoutFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    std::string text;
    char chunk[4096];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
        text.append(chunk, static_cast<std::size_t>(file.gcount()));
        if (text.size() > maxLayoutFileSize) {
            return std::nullopt;
        }
    }
    return text;
}

bool ReadLayoutRect(const std::string& text, const std::string& key, LayoutRect& rect)
{
    const std::size_t found = text.find(key);
    if (found == std::string::npos) {
        return false;
    }
    // The key and its separator, which is never looked at.
    const std::size_t valueStart = found + key.size() + 1;
    if (valueStart >= text.size()) {
        return false;
    }
    const std::size_t end = text.find(';', valueStart);
    if (end == std::string::npos || end - valueStart > maxValueLength) {
        return false;
    }
    const std::string value = text.substr(valueStart, end - valueStart);
    int* fields[] = {&rect.left, &rect.top, &rect.width, &rect.height};
    std::size_t at = 0;
    for (std::size_t index = 0; index < 4; ++index) {
        if (index > 0) {
            if (at >= value.size() || value[at] != ',') {
                break;
            }
            ++at;
        }
        if (!ScanNumber(value, at, *fields[index])) {
            break;
        }
    }
    return true;
}

} // namespace discforge::ui
