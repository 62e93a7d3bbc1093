// The settable options of one component of a decoding chain, as the decoder
// settings dialog shows them, and the values a user chose for them.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace discforge {

// The control that fits an option's type and range.
enum class OptionControl {
    Integer, // a whole number within minimum..maximum
    Number, // a number within minimum..maximum
    CheckBox, // on or off
    Choice, // one of the named constants
    Flags, // any set of the named constants, joined by '+'
    Text,
};

struct OptionConstant {
    std::string name;
    std::string help;
    std::int64_t value = 0;
};

struct ComponentOption {
    std::string name;
    std::string help;
    OptionControl control = OptionControl::Text;
    double minimum = 0;
    double maximum = 0;
    std::vector<OptionConstant> constants; // the choices, or the flags
    std::string defaultValue; // as the component reads it back
    std::string currentValue; // the value in effect for this open
};

// Option name -> value text, as the component parses it.
using OptionValues = std::map<std::string, std::string>;
// Component name -> its chosen values.
using ComponentSettings = std::map<std::string, OptionValues>;

} // namespace discforge
