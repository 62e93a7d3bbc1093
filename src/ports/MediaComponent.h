// One stage of a decoding chain as the run log and the decoder settings dialog
// show it: the demuxer ("... source") or a decoder ("... decoder").
#pragma once

#include <string>

namespace discforge {

struct MediaComponent {
    std::string name;
    bool hasSettings = false; // the component has options a user could change
};

} // namespace discforge
