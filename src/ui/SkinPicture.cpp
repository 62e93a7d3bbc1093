#include "ui/SkinPicture.h"

#include "picture/TFullDib.h"

#include <cstring>

namespace discforge::ui {

QImage ImageOfPicture(TBaseDib& picture)
{
    if (!picture.HasPicture() || !picture.ConvertDepth(32)) {
        return {};
    }
    const int width = picture.Width();
    const int height = picture.Height();
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) {
        return {};
    }
    // Blue, green, red, X in memory is what RGB32 holds on a little-endian machine.
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    for (int y = 0; y < height; ++y) {
        std::memcpy(image.scanLine(y), picture.Row(height - 1 - y), rowBytes);
    }
    return image;
}

QImage LoadSkinPicture(const std::string& path)
{
    TFullDib picture;
    if (!picture.LoadFile(path)) {
        return {};
    }
    return ImageOfPicture(picture);
}

} // namespace discforge::ui
