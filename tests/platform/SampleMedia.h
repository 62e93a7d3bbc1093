// Sample inputs made by the generator for the media-layer tests, written once
// per test program into a temporary folder that is removed at exit.
#pragma once

#include "mediagen/MediaGen.h"
#include "pattern/FramePattern.h"

#include <cstdint>
#include <string>

namespace discforge::test {

// The generated AVI for `recipe` (its path member is ignored); the same recipe
// gives the same file within one run.
const std::string& SampleAvi(mediagen::AviRecipe recipe);
// A folder for the test's own files.
const std::string& SampleFolder();
// Copies the first `bytes` of a file (a truncated copy); returns the new path.
std::string TruncatedCopy(const std::string& path, std::size_t bytes, const std::string& name);
std::uintmax_t FileSize(const std::string& path);
// The streams of a file copied unchanged into another container ("matroska", "mp4" ...).
std::string RemuxedCopy(const std::string& path, const char* container, const std::string& name);

// The frame number in a locked BGRX surface or a packed bottom-up bitmap.
std::int64_t NumberInSurface(const std::uint8_t* pixels, int pitch, int width, int height);
std::int64_t NumberInBitmap(const std::uint8_t* bitmap);

} // namespace discforge::test
