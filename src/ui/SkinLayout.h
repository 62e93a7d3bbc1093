// The skin's layout file, position.txt: entries "key", one separator
// character, up to four whole numbers separated by commas, and ";". Keys are
// found by plain substring search, so a key that is the tail of another (VCDRadio
// in SVCDRadio) must come first in the file.
#pragma once

#include <optional>
#include <string>

namespace discforge::ui {

struct LayoutRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// A layout file is a few hundred bytes; anything far larger is not one.
inline constexpr std::size_t maxLayoutFileSize = 1 << 20;

// The whole file; none when it cannot be read or is larger than maxLayoutFileSize.
std::optional<std::string> ReadLayoutFile(const std::string& path);

// Writes the numbers that the key's value holds into `rect`, in the order left,
// top, width, height; the others keep what they had. False when the key is
// missing, nothing follows its separator, or its value has no ";" within 99
// characters: the window then cannot be laid out.
bool ReadLayoutRect(const std::string& text, const std::string& key, LayoutRect& rect);

} // namespace discforge::ui
