// Fitting a picture of two fields without blending one field into the other:
// each field (every other row) is fitted on its own to half the frame's height,
// with pixels twice as tall, and the two are woven together again.
#pragma once

#include "picture/PictureFitting.h"
#include "picture/TFullDib.h"

namespace discforge {

class FieldFitting {
public:
    // FitPicture for a picture of two fields. A picture that keeps its height,
    // or whose height or target height is odd, is fitted whole: there is nothing to
    // keep apart, or no field pairing to keep.
    bool Fit(TBaseDib& picture, const FitRequest& request);

private:
    TFullDib fields_[2]; // the top field's rows and the bottom field's, top row first
};

} // namespace discforge
