// Picture subtitles (DVD subpictures, PGS) as a DVD subtitle stream: the pictures that
// fall in a part of a title, each made a subpicture of the title's frame and written as
// a PNG, laid into the part by spumux at their times on the part's clock.
#pragma once

#include "platform/PictureSubtitleTrack.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace discforge {

struct PicturePart {
    std::int64_t startMs = 0; // where the part begins in its title
    std::int64_t lengthMs = 0;
    int tvStandard = 0;
    bool letterbox = false;
};

// The spumux project of the pictures in the part, their PNGs written into `folder` with
// names beginning `stem`; empty when none falls in it, or with `problem` set when a PNG
// could not be written.
std::string PictureSpumuxProject(const PictureSubtitles& pictures, const PicturePart& part,
    const std::filesystem::path& folder, const std::string& stem, std::string& problem);

} // namespace discforge
