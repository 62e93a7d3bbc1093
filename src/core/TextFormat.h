// printf-style formatting into a std::string, for the program's fixed texts.
#pragma once

#include <string>

namespace discforge {

std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace discforge
