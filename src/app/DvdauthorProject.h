// The project dvdauthor makes a DVD-Video folder of: a title an input, each going
// on to the next input's, in title sets of one shape each (a title set has one).
#pragma once

#include "app/DiscAuthoring.h"

#include <string>
#include <vector>

namespace discforge {

// Whether a converted stream's frames are shown 16:9, by its sequence header's shape.
bool StreamIsWide(const std::string& path);

// The project's XML writing into `destination`; wide[i] says whether input i's
// streams are 16:9 (missing entries are 4:3).
std::string DvdauthorProject(
    const AuthoringRequest& request, const std::string& destination, const std::vector<bool>& wide);

} // namespace discforge
