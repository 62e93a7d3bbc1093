// Picture subtitles as users bring them, made for the tests: a DVD rip (a PAL MPEG
// program stream whose subpictures spumux drew from PNG boxes that ffmpeg painted),
// the same as Matroska and as a VobSub pair, and Blu-ray PGS segments written by hand,
// the stream format being public and Debian's ffmpeg having no encoder for it.
#pragma once

#include <string>
#include <vector>

namespace discforge::test {

// A white box with a black band around it, shown from `startMs` to `endMs`.
struct BoxCue {
    int startMs = 0;
    int endMs = 0;
    int x = 0, y = 0, width = 0, height = 0; // the white box
    int band = 4; // the black band around it, outside the box
};

// A 720x576 PAL DVD stream of `seconds` with the cues as its first subpicture stream, at
// `path`; false with `log` filled when a tool failed.
bool MakeSubpictureStream(
    const std::string& folder, const std::string& path, int seconds, const std::vector<BoxCue>& cues, std::string& log);

// The stream's picture and subpictures as Matroska, the subpictures named `language`.
bool MakeMatroskaCopy(
    const std::string& stream, const std::string& path, const std::string& language, std::string& log);

// The subpicture packs of the stream as `stem`.sub and an index `stem`.idx of the cues'
// times in `language`, with the 16 colours of `palette` ("rrggbb" each).
bool MakeVobSubPair(const std::string& stream, const std::string& stem, const std::vector<BoxCue>& cues,
    const std::string& language, const std::vector<std::string>& palette, std::string& log);

// A PGS stream (".sup") in a `width` x `height` frame: each cue a presentation at its start
// and an empty one at its end; the white fill covers with `fillAlpha`, the black band fully.
std::string PgsStream(int width, int height, const std::vector<BoxCue>& cues, int fillAlpha);

} // namespace discforge::test
