#include "platform/FfmpegError.h"

#include "platform/MediaMessages.h"

extern "C" {
#include <libavutil/error.h>
}

#include <cctype>
#include <cstdarg>
#include <cstdio>

namespace discforge {

std::string AvErrorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    if (av_strerror(code, text, sizeof text) < 0) {
        return "error " + std::to_string(code);
    }
    return text;
}

MediaError AvFailure(MediaFailure failure, const char* call, const std::string& subject, int code)
{
    std::string text = std::string(call) + " failed for '" + subject + "'";
    if (code < 0) {
        text += ": " + AvErrorText(code);
    }
    return MediaError{failure, text};
}

MediaError PlainFailure(MediaFailure failure, const std::string& text)
{
    return MediaError{failure, text};
}

std::string MediaText(const char* format, ...)
{
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

bool IsAviSynthScriptPath(const std::string& path)
{
    if (path.size() < 4) {
        return false;
    }
    std::string ending = path.substr(path.size() - 4);
    for (char& c : ending) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return ending == ".avs";
}

} // namespace discforge
