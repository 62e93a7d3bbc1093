// Inputs as users bring them: clips made by the ffmpeg command-line tool from a
// lossless generated clip, so that every picture still carries its number and the
// sound a click at the start of every second.
#pragma once

#include "mediagen/MediaGen.h"

#include <cstdint>
#include <string>

namespace discforge::test {

enum class ClipKind {
    XvidPcm, // AVI, MPEG-4 part 2 with the XviD code, 16-bit sound
    XvidMp3, // the same with MP3 sound
    MsMpeg4v2Mp3, // AVI, Microsoft MPEG-4 v2, MP3 sound
    MsMpeg4v3Pcm, // AVI, Microsoft MPEG-4 v3 ("DivX 3"), 16-bit sound
    MjpegPcm, // AVI, motion JPEG
    MjpegMp3,
    RawPcm, // AVI, uncompressed 24-bit pictures
    RawMp3, // AVI, packed YUV 4:2:2 ("YUY2") as capture cards write it
    H264Mp4, // MP4, H.264 with B-frames, AAC sound
    H264Mkv, // Matroska, H.264 with B-frames, MP3 sound
    Mpeg1Ps, // MPEG-1 program stream, MP3 sound
    Mpeg2Ps, // MPEG-2 program stream with B-frames, MPEG audio layer 2
};

const char* ClipKindName(ClipKind kind);
// The program streams know only the MPEG frame rates (not 2997/100).
bool ClipKindTakes(ClipKind kind, mediagen::FrameRate rate);

// True when the ffmpeg program can be run.
bool FfmpegProgramFound();

struct UserClip {
    std::string path; // empty when the clip could not be made
    std::int64_t frames = 0; // pictures in it, numbered from 0
};

// Writes `seconds` of pictures at `rate` and `width` x `height`, with 16-bit stereo
// 44100 Hz sound, into `folder` as a clip of `kind`. A failure is reported to the
// running test and gives an empty path.
UserClip MakeUserClip(
    const std::string& folder, ClipKind kind, mediagen::FrameRate rate, int seconds, int width, int height);

} // namespace discforge::test
