#include "picture/FieldFitting.h"

#include <cstring>

namespace discforge {
namespace {

// A field's pixel is as wide as the frame's and twice as tall; unknown stays unknown.
Ratio FieldPixel(Ratio pixel) { return pixel.num < 1 || pixel.den < 1 ? pixel : Ratio{pixel.num, pixel.den * 2}; }

} // namespace

bool FieldFitting::Fit(TBaseDib& picture, const FitRequest& request)
{
    const int height = picture.Height();
    if (height == request.targetHeight || height % 2 != 0 || request.targetHeight % 2 != 0
        || height < 2 || request.targetHeight < 2) {
        return FitPicture(picture, request);
    }
    // The fields are read as 32-bit rows.
    if (picture.Depth() != 32 && !picture.ConvertDepth(32)) {
        return false;
    }
    FitRequest half = request;
    half.targetHeight = request.targetHeight / 2;
    half.framePixel = FieldPixel(request.framePixel);
    half.sourcePixel = FieldPixel(request.sourcePixel);
    // Rows are stored bottom up: the top row is the last, the top field's rows lie two apart from it.
    const int pitch = -2 * picture.Stride();
    for (int field = 0; field < 2; ++field) {
        if (!fields_[field].CopyFromSurface(picture.Width(), height / 2, pitch, picture.Row(height - 1 - field))
            || !FitPicture(fields_[field], half)) {
            return false;
        }
    }
    if (!picture.CreateBlank(fields_[0].Width(), request.targetHeight)) {
        return false;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(picture.Width()) * 4;
    for (int row = 0; row < half.targetHeight; ++row) {
        for (int field = 0; field < 2; ++field) {
            // Frame row 2 * row + field, counted from the top, is the field's row `row`.
            std::memcpy(picture.Pixels() + static_cast<std::ptrdiff_t>(request.targetHeight - 1 - 2 * row - field)
                    * picture.Stride(),
                fields_[field].Row(half.targetHeight - 1 - row), rowBytes);
        }
    }
    return true;
}

} // namespace discforge
