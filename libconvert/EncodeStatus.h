// The outcome of a step of an encode: done, or a result code with the cause in words.
#pragma once

#include "encoder/EncodeParameters.h"

#include <string>
#include <utility>

namespace discforge::convert {

struct EncodeStatus {
    int32_t code = ENCODE_COMPLETED;
    std::string cause;

    bool Ok() const { return code == ENCODE_COMPLETED; }
    static EncodeStatus Done() { return {}; }
    static EncodeStatus Fail(int32_t code, std::string cause) { return {code, std::move(cause)}; }
};

// The cause for a failing FFmpeg call: the call's name and FFmpeg's own text.
std::string FfmpegCause(const char* call, int error);

} // namespace discforge::convert
