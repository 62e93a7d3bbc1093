// The output file proposed for a newly opened input.
#pragma once

#include <string>

namespace discforge {

// The input path without its file-name extension, plus ".mpg"; with "1" before
// ".mpg" when the input is itself an MPEG file, so it is never overwritten.
// Only the file name's own extension is cut: a dot in a folder name stays.
std::string ProposeOutputPath(const std::string& inputPath);

// True when `path` contains `fragment`, ignoring case.
bool ContainsNoCase(const std::string& path, const std::string& fragment);

} // namespace discforge
