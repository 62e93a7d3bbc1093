// Pictures of two fields coded as such: the encoder predicts and transforms each
// field apart where that fits better, and every picture carries the order its
// fields are shown in.
#pragma once

#include "DiscProfile.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace discforge::convert {

// Sets up an MPEG-2 encoder, before it is opened, for the profile's pictures.
void SetFieldCoding(AVCodecContext& encoder, PictureFields fields);
// Marks a picture with the profile's fields, for the encoder's picture header.
void MarkFields(AVFrame& picture, PictureFields fields);

} // namespace discforge::convert
