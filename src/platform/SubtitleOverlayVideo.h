// The picture subtitles of a file as a video for FFmpeg's overlay filter, which a
// filter graph can read where it cannot read a subtitle stream: RGBA pictures of the
// track's frame, transparent at 0 and at each subtitle's end and showing the subtitle
// from its start, on the file's clock. The video is kept in the user's cache folder
// under a name of the subtitle file's path and version, so a script opened again (as
// every reader of it does) finds it made; the folder keeps the newest few.
#pragma once

#include <string>

namespace discforge {

// The first picture subtitle track of `path` made a video (or found made); false with
// `reason` when the file has no readable track or the video cannot be written.
bool SubtitleOverlayVideo(const std::string& path, std::string& video, std::string& reason);

} // namespace discforge
