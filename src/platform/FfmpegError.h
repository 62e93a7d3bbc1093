// The thin boundary to FFmpeg: every failing call becomes a MediaError whose
// text names the call, the file and FFmpeg's own reason.
#pragma once

#include "platform/MediaError.h"

#include <string>

namespace discforge {

// FFmpeg's text for an AVERROR code.
std::string AvErrorText(int code);

// "<call> failed for '<subject>': <reason>" (the reason only when code < 0).
MediaError AvFailure(MediaFailure failure, const char* call, const std::string& subject,
                     int code);

MediaError PlainFailure(MediaFailure failure, const std::string& text);

// printf-style formatting of a message of MediaMessages.h.
std::string MediaText(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace discforge
