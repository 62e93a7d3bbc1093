// The project dvdauthor makes a DVD-Video folder of: a title an input, each going
// on to the next input's, in title sets of one kind each (a title set has one set
// of stream attributes, so titles of another shape or other streams need their own).
#pragma once

#include "app/DiscAuthoring.h"

#include <string>
#include <vector>

namespace discforge {

// Whether a converted stream's frames are shown 16:9, by its sequence header's shape.
bool StreamIsWide(const std::string& path);

// What a title set must declare of one title's streams; titles that differ in any
// of it go into different title sets.
struct TitleTraits {
    bool wide = false;
    // The language codes ("en", "de"; empty for unknown) of the title's sound
    // streams and subtitle streams, in stream order; none written when empty.
    std::vector<std::string> audioLanguages;
    std::vector<std::string> subpictureLanguages;

    bool operator==(const TitleTraits&) const = default;
};

// The project's XML writing into `destination`; traits[i] describes input i's
// streams (missing entries are 4:3 with nothing declared).
std::string DvdauthorProject(
    const AuthoringRequest& request, const std::string& destination, const std::vector<TitleTraits>& traits);

} // namespace discforge
