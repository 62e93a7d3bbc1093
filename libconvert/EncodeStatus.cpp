#include "EncodeStatus.h"

#include "EncoderMessages.h"

extern "C" {
#include <libavutil/error.h>
}

namespace discforge::convert {

std::string FfmpegCause(const char* call, int error)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    return message::Substitute(message::codecFailed, {call, text});
}

} // namespace discforge::convert
