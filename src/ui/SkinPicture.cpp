#include "ui/SkinPicture.h"

#include "picture/TFullDib.h"

#include <cstdint>
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
    // Blue, green, red, X in memory is what RGB32 holds on a little-endian
    // machine, where X must be 0xff.
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        std::memcpy(row, picture.Row(height - 1 - y), rowBytes);
        for (int x = 0; x < width; ++x) {
            row[x] |= 0xff000000u;
        }
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
