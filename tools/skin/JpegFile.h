// Writes a picture as a baseline JPEG that keeps full colour resolution (no
// chroma subsampling), so the thin coloured edges of the skin stay clean.
#pragma once

#include <string>

class QImage;

namespace discforge::skin {

bool WriteJpeg(const QImage& picture, const std::string& path, int quality, std::string& error);

} // namespace discforge::skin
