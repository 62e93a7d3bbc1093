// The skin's pictures as Qt draws them. They are read by the program's own
// picture readers, which recognise the format by content.
#pragma once

#include <QImage>

#include <string>

namespace discforge {
class TBaseDib;
}

namespace discforge::ui {

// A null image when the file cannot be read.
QImage LoadSkinPicture(const std::string& path);
// The picture's rows (bottom-up, any depth the readers give) as a top-down image.
QImage ImageOfPicture(TBaseDib& picture);

} // namespace discforge::ui
