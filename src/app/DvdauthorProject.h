// The project dvdauthor makes a DVD-Video folder of: a title an input, each going
// on to the next input's, in title sets of one kind each (a title set has one set
// of stream attributes, so titles of another shape or other streams need their own).
#pragma once

#include "app/DiscAuthoring.h"
#include "app/MenuLayout.h"

#include <string>
#include <vector>

namespace discforge {

// The length of a converted stream in seconds; 0 when it cannot be read.
double StreamSeconds(const std::string& path);

// Whether a converted stream's frames are shown 16:9, by its sequence header's shape.
bool StreamIsWide(const std::string& path);

// The columns of a converted stream's frames; 0 when it cannot be read.
int StreamWidth(const std::string& path);

// What a title set must declare of one title's streams; titles that differ in any
// of it go into different title sets.
struct TitleTraits {
    bool wide = false;
    // The frames have the DVD's half width (352 columns).
    bool halfWidth = false;
    // The language codes ("en", "de"; empty for unknown) of the title's sound
    // streams and subtitle streams, in stream order; none written when empty.
    std::vector<std::string> audioLanguages;
    std::vector<std::string> subpictureLanguages;

    bool operator==(const TitleTraits&) const = default;
};

// The disc's first-play menu: its pages, each a VOB with the buttons' subpictures.
struct DiscMenu {
    bool wide = false;
    std::vector<MenuPage> pages;
    std::vector<std::string> pageFiles;
};

// The name of a menu's button `index` (from 0), shared by spumux and dvdauthor.
std::string MenuButtonName(int index);

// The project's XML writing into `destination`; traits[i] describes input i's
// streams (missing entries are 4:3 with nothing declared). With a menu, the
// disc starts on its first page, a title ends back on its page, the remote's
// Menu and Title buttons lead there too, and "Play all" plays every title in turn.
std::string DvdauthorProject(const AuthoringRequest& request, const std::string& destination,
    const std::vector<TitleTraits>& traits, const DiscMenu* menu = nullptr);

} // namespace discforge
