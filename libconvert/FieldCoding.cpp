#include "FieldCoding.h"

extern "C" {
#include <libavutil/opt.h>
}

namespace discforge::convert {

void SetFieldCoding(AVCodecContext& encoder, PictureFields fields)
{
    if (fields == PictureFields::frames) {
        return;
    }
    encoder.flags |= AV_CODEC_FLAG_INTERLACED_DCT | AV_CODEC_FLAG_INTERLACED_ME;
    encoder.field_order = fields == PictureFields::topFirst ? AV_FIELD_TT : AV_FIELD_BB;
    // The rows of one field lie two apart: the alternate scan reads the coefficients
    // of such blocks, taller than wide in frequency, in fewer bits.
    av_opt_set_int(encoder.priv_data, "alternate_scan", 1, 0);
}

void MarkFields(AVFrame& picture, PictureFields fields)
{
    picture.interlaced_frame = fields == PictureFields::frames ? 0 : 1;
    picture.top_field_first = fields == PictureFields::topFirst ? 1 : 0;
}

} // namespace discforge::convert
