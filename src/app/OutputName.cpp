#include "app/OutputName.h"

#include <algorithm>
#include <cctype>

namespace discforge {

bool ContainsNoCase(const std::string& path, const std::string& fragment)
{
    const auto it = std::search(path.begin(), path.end(), fragment.begin(), fragment.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
    return it != path.end();
}

std::string ProposeOutputPath(const std::string& inputPath)
{
    const std::size_t nameStart
        = inputPath.find_last_of("/\\") == std::string::npos ? 0 : inputPath.find_last_of("/\\") + 1;
    const std::size_t dot = inputPath.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot > nameStart;
    const std::string name = hasExtension ? inputPath.substr(0, dot) : inputPath;
    return name + (ContainsNoCase(inputPath, ".mpg") ? "1.mpg" : ".mpg");
}

} // namespace discforge
