// A picture whose readers decode a file at its full size, keeping the file's
// depth (1, 4, 8, 15, 16, 24 or 32 bits; JPEG gives 8-bit grey or 24-bit,
// PNG 8-bit grey, 24-bit or, with transparency laid on black, 32-bit). A JPEG
// may be read reduced (SetLeastSize) and stands upright by its orientation.
// The glyph buttons, the frame supply and the output preview use it. Warnings of
// the JPEG library (a file that ends early, say) land in the error text of the
// picture being read, even when the load succeeds.
#pragma once

#include "picture/TBaseDib.h"

struct jpeg_decompress_struct;

namespace discforge {

class TFullDib : public TBaseDib {
protected:
    bool ReadBmp() override;
    bool ReadPcx() override;
    bool ReadGif() override;
    bool ReadTarga() override;
    bool ReadJpeg() override;
    bool ReadPng() override;

private:
    static void ReportJpegMessage(void* context, const char* text);
    static void ReportPngMessage(void* context, const char* text);
    // A 32-bit picture read with alpha in its fourth bytes, laid on black.
    void LayPictureOnBlack();
    // The transform's scale for the least size the picture's user needs.
    void ChooseScale(jpeg_decompress_struct& decompressor, int orientation) const;
};

} // namespace discforge
