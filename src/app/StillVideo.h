// A DVD menu's moving picture that does not move: one picture encoded as a short
// MPEG-2 program stream, which the menu then holds on its last frame.
#pragma once

#include <QImage>

#include <string>

namespace discforge {

struct StillShape {
    bool pal = true; // 25 frames a second, else 30000/1001
    bool wide = false; // shown 16:9, else 4:3
};

// Writes `picture` (the frame's stored size, 720 wide) into `path`; false with
// `error` saying why.
bool WriteStillVideo(const QImage& picture, const StillShape& shape, const std::string& path, std::string& error);

} // namespace discforge
