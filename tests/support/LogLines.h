// The run log's text as its lines, each without the "\r\n" that ends it.
#pragma once

#include <string>
#include <vector>

namespace discforge::test {

inline std::vector<std::string> SplitLogLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

} // namespace discforge::test
