// The names of the parts of a split output, shared by the encoder library that
// writes them and the program that puts them on a disc.
//
// When the encode made one part, it takes the output name itself. With two or
// more parts, part n takes "<stem>_<nn><extension>" counted from 01 with at
// least two digits: "movie.mpg" gives "movie_01.mpg", "movie_02.mpg", ...; a name
// without an extension gives "movie_01", "movie_02", ...
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace discforge {

// The final name of part `index` (from 0) of `count` parts.
inline std::string PartFileName(const std::string& outputName, std::size_t index, std::size_t count)
{
    if (count <= 1) {
        return outputName;
    }
    const std::size_t slash = outputName.rfind('/');
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    std::size_t dot = outputName.rfind('.');
    // A leading dot names a hidden file, it does not start an extension.
    if (dot == std::string::npos || dot <= start) {
        dot = outputName.size();
    }
    char number[24];
    std::snprintf(number, sizeof number, "_%02zu", index + 1);
    return outputName.substr(0, dot) + number + outputName.substr(dot);
}

} // namespace discforge
