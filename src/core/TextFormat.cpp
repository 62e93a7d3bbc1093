#include "core/TextFormat.h"

#include <cstdarg>
#include <cstdio>

namespace discforge {

std::string FormatText(const char* format, ...)
{
    std::va_list args;
    va_start(args, format);
    std::va_list measureArgs;
    va_copy(measureArgs, args);
    const int length = std::vsnprintf(nullptr, 0, format, measureArgs);
    va_end(measureArgs);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, args);
        text.resize(static_cast<std::size_t>(length));
    }
    va_end(args);
    return text;
}

} // namespace discforge
