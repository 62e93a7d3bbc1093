// How the numbers of a filter description are written, so that every function
// group spells them alike.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace discforge {

inline std::string Number(std::int64_t value) { return std::to_string(value); }

// The shortest text that holds `digits` significant digits of the value.
template <int digits> std::string Decimal(double value)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    return text;
}

} // namespace discforge
