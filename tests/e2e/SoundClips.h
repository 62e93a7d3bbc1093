// Flash-and-click inputs for the sound clock: the generated clip (a number in every
// picture, a click on every second) put through the ffmpeg program into a user's
// container and coders, with the sound starting with the pictures, later or earlier.
// The file stays in step either way: a late sound lacks its first 0.32 s and says it
// starts 0.32 s after the pictures; an early one keeps them while the pictures lose
// their first 0.32 s (eight 25 fps frames).
#pragma once

#include "mediagen/MediaGen.h"

#include <string>

namespace discforge::test {

// Gapped: on time, but half a second (from 1.2 s) is cut out of the sound and its
// timestamps jump over the gap.
enum class SoundStart { OnTime, Late, Early, Gapped };

// How far a late or early sound is off the first picture, in seconds.
inline constexpr double soundOffset = 0.32;

struct SoundContainer {
    const char* name;
    const char* extension;
    const char* codecs; // the ffmpeg options for the pictures and the sound
};

const char* SoundStartName(SoundStart start);

// Writes `seconds` of the generated clip (16-bit stereo sound at 44100 Hz) at `rate`
// and `width` x `height` into `folder` and converts it; the path, or empty after a
// failure reported to the running test.
std::string MakeSoundClip(const std::string& folder, const SoundContainer& container, SoundStart start,
    mediagen::FrameRate rate, int seconds, int width, int height);

} // namespace discforge::test
