// The preview's way to the pictures it cannot draw as their rows arrive: a PNG,
// and a JPEG that must be turned or mirrored upright.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "picture/PictureMessages.h"
#include "picture/TFullDib.h"
#include "picture/TPreviewDib.h"

namespace discforge {

bool TPreviewDib::ShowThroughFullReader()
{
    if (std::fseek(file_, 0, SEEK_SET) != 0) {
        SetError("%s", picture_message::prematureEnd);
        return false;
    }
    TFullDib full;
    full.SetLeastSize([this](int width, int height) { return PanelCover(width, height); });
    const bool loaded = full.LoadStream(file_, Path());
    if (!loaded || !full.HasPicture()) {
        CopyDescription(full);
        return false;
    }
    return ShowPicture(full);
}

ReadSize TPreviewDib::PanelCover(int width, int height) const
{
    if (width <= 0 || height <= 0 || Width() <= 0 || Height() <= 0) {
        return {width, height};
    }
    const double scale = std::min(static_cast<double>(Width()) / width, static_cast<double>(Height()) / height);
    return {static_cast<int>(std::ceil(width * scale)), static_cast<int>(std::ceil(height * scale))};
}

bool TPreviewDib::ReadPng()
{
    return ShowThroughFullReader();
}

} // namespace discforge
