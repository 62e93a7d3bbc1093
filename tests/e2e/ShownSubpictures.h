// What a player shows of a DVD's subtitle streams: the languages lsdvd lists, and the
// part of the picture a subtitle stream changes at a time.
#pragma once

#include "support/TestFolder.h"

#include <string>
#include <vector>

namespace discforge::test {

inline constexpr int palWidth = 720;
inline constexpr int palHeight = 576;

std::string ReadBytes(const std::string& path);

// The languages lsdvd lists for the subtitle streams of a title.
std::vector<std::string> ListedSubtitles(const std::string& disc, int title);

struct ShownText {
    int pixels = 0; // where the subpicture changes the picture
    int top = palHeight, bottom = -1, left = palWidth, right = -1;
};

// The PAL picture at `seconds` with the title's subtitle stream `stream` (from 0, as the
// program stream numbers them) laid over it, against the picture alone.
ShownText TextAt(const TestFolder& folder, const std::string& vob, double seconds, int stream = 0);

} // namespace discforge::test
