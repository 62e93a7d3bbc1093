// The values a script computes with. A clip carries what is known of it
// without decoding (size, rate, length, sound) and the graph pads its
// picture and sound come out of.
#pragma once

#include "script/AvsFormat.h"

#include <cstdint>
#include <string>
#include <variant>

namespace discforge {

struct AvsClip : AvsPictureFormat, AvsSoundFormat {
    int videoPad = -1;
    int audioPad = -1;

    bool operator==(const AvsClip&) const = default;
};

using AvsValue = std::variant<std::monostate, bool, std::int64_t, double, std::string, AvsClip>;

// An integer or a number as a number.
double AvsNumber(const AvsValue& value);

// "a clip", "an integer", ... for messages.
const char* AvsTypeName(const AvsValue& value);

// The number of sound samples that last as long as `frames` of the clip.
std::int64_t AvsSamplesForFrames(const AvsClip& clip, std::int64_t frames);

} // namespace discforge
