// Text: values written as strings and read back, cutting, finding and case.
// Positions count from 1, as the language has them.
#include "script/AvsFunctions.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace discforge {
namespace {

// One conversion of printf's ("%5.2f", "%d", "%x"), with text around it;
// false when the format holds anything else.
bool ReadFormat(const std::string& format, char& conversion)
{
    const std::size_t at = format.find('%');
    if (at == std::string::npos) {
        return false;
    }
    std::size_t i = at + 1;
    while (i < format.size() && std::string_view("-+ 0#").find(format[i]) != std::string_view::npos) {
        ++i;
    }
    for (int part = 0; part < 2; ++part) {
        if (part == 1) {
            if (i >= format.size() || format[i] != '.') {
                break;
            }
            ++i;
        }
        const std::size_t digits = i;
        while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i]))) {
            ++i;
        }
        if (i - digits > 2) {
            return false;
        }
    }
    if (i >= format.size() || std::string_view("dixXeEfFgG").find(format[i]) == std::string_view::npos) {
        return false;
    }
    conversion = format[i];
    const std::string rest = format.substr(i + 1);
    return rest.find('%') == std::string::npos;
}

// String(value [, format]): numbers as the language writes them ("%f" for
// a number), true and false as words.
bool String(AvsCall& call, AvsValue& result)
{
    const AvsValue& value = call.arguments[0];
    if (std::holds_alternative<std::string>(value)) {
        result = std::get<std::string>(value);
        return true;
    }
    if (std::holds_alternative<bool>(value)) {
        result = std::string(std::get<bool>(value) ? "true" : "false");
        return true;
    }
    if (!std::holds_alternative<std::int64_t>(value) && !std::holds_alternative<double>(value)) {
        return call.Fail(std::string("cannot write ") + AvsTypeName(value) + " as text");
    }
    const bool integer = std::holds_alternative<std::int64_t>(value);
    const std::string format = call.String(1, integer ? "%d" : "%f");
    char conversion = 0;
    if (!ReadFormat(format, conversion)) {
        return call.Fail("the format \"" + format + "\" must hold one number written like %d, %x or %.2f");
    }
    const double number = AvsNumber(value);
    char text[512];
    if (std::string_view("dixX").find(conversion) != std::string_view::npos) {
        std::string wide = format;
        wide.insert(wide.find(conversion, wide.find('%')), "ll");
        std::snprintf(text, sizeof text, wide.c_str(), static_cast<long long>(number));
    } else {
        std::snprintf(text, sizeof text, format.c_str(), number);
    }
    result = std::string(text);
    return true;
}

// The number a text starts with (0 when it starts with none).
bool Value(AvsCall& call, AvsValue& result)
{
    const std::string text = call.String(0, "");
    result = std::strtod(text.c_str(), nullptr);
    if (!std::isfinite(std::get<double>(result))) {
        result = 0.0;
    }
    return true;
}

bool Length(AvsCall& call, std::size_t index, std::size_t& length)
{
    const std::int64_t value = call.Int(index, 0);
    if (value < 0) {
        return call.Fail("a length cannot be negative");
    }
    length = static_cast<std::size_t>(value);
    return true;
}

bool LeftStr(AvsCall& call, AvsValue& result)
{
    std::size_t length = 0;
    if (!Length(call, 1, length)) {
        return false;
    }
    result = call.String(0, "").substr(0, length);
    return true;
}

bool RightStr(AvsCall& call, AvsValue& result)
{
    std::size_t length = 0;
    if (!Length(call, 1, length)) {
        return false;
    }
    const std::string text = call.String(0, "");
    result = text.substr(text.size() - std::min(length, text.size()));
    return true;
}

// MidStr(text, start [, length]): from the start-th character on.
bool MidStr(AvsCall& call, AvsValue& result)
{
    const std::string text = call.String(0, "");
    const std::int64_t start = call.Int(1, 1);
    std::size_t length = text.size();
    if (start < 1 || (call.Given(2) && !Length(call, 2, length))) {
        return start >= 1 || call.Fail("the start counts from 1");
    }
    const auto from = std::min(static_cast<std::size_t>(start - 1), text.size());
    result = text.substr(from, length);
    return true;
}

bool FindStr(AvsCall& call, AvsValue& result)
{
    const std::size_t at = call.String(0, "").find(call.String(1, ""));
    result = at == std::string::npos ? std::int64_t{0} : static_cast<std::int64_t>(at + 1);
    return true;
}

bool Cased(AvsCall& call, AvsValue& result, bool upper)
{
    std::string text = call.String(0, "");
    for (char& c : text) {
        c = static_cast<char>(
            upper ? std::toupper(static_cast<unsigned char>(c)) : std::tolower(static_cast<unsigned char>(c)));
    }
    result = text;
    return true;
}

bool LCase(AvsCall& call, AvsValue& result) { return Cased(call, result, false); }
bool UCase(AvsCall& call, AvsValue& result) { return Cased(call, result, true); }

bool StrLen(AvsCall& call, AvsValue& result)
{
    result = static_cast<std::int64_t>(call.String(0, "").size());
    return true;
}

bool RevStr(AvsCall& call, AvsValue& result)
{
    std::string text = call.String(0, "");
    std::reverse(text.begin(), text.end());
    result = text;
    return true;
}

bool Chr(AvsCall& call, AvsValue& result)
{
    const std::int64_t code = call.Int(0, 0);
    if (code < 1 || code > 255) {
        return call.Fail("the character code must lie between 1 and 255");
    }
    result = std::string(1, static_cast<char>(code));
    return true;
}

bool Ord(AvsCall& call, AvsValue& result)
{
    const std::string text = call.String(0, "");
    result = std::int64_t{text.empty() ? 0 : static_cast<unsigned char>(text[0])};
    return true;
}

constexpr AvsFunction stringFunctions[] = {
    {"String", "value:. [format:s]", String},
    {"Value", "text:s", Value},
    {"LeftStr", "text:s length:i", LeftStr},
    {"RightStr", "text:s length:i", RightStr},
    {"MidStr", "text:s start:i [length:i]", MidStr},
    {"FindStr", "text:s part:s", FindStr},
    {"LCase", "text:s", LCase},
    {"UCase", "text:s", UCase},
    {"StrLen", "text:s", StrLen},
    {"RevStr", "text:s", RevStr},
    {"Chr", "code:i", Chr},
    {"Ord", "text:s", Ord},
    {nullptr, nullptr, nullptr},
};

} // namespace

const AvsFunction* AvsStringFunctions() { return stringFunctions; }

} // namespace discforge
