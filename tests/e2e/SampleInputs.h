// Inputs for the converter, written by the project's generator into a test's folder.
#pragma once

#include "mediagen/MediaGen.h"

#include <cstdint>
#include <string>

namespace discforge::test {

// Input pictures whose proportions match the disc picture of the standard (4:3 on
// 720-wide discs), so the band of the frame number fills the output picture.
constexpr int sampleWidth = 180;
constexpr int sampleHeight(bool pal) { return pal ? 144 : 120; }

// Frames of `seconds` at the generator's rate.
std::int64_t FramesIn(double seconds, mediagen::FrameRate rate);
double FramesPerSecond(mediagen::FrameRate rate);

// Writes an AVI at `path`; a failure is reported to the running test and gives false.
bool MakeAvi(const std::string& path, mediagen::AviRecipe recipe);
// A clip of `seconds` at `rate` with 16-bit stereo 44100 Hz sound and pictures for the standard.
bool MakeClip(const std::string& path, double seconds, mediagen::FrameRate rate);

} // namespace discforge::test
