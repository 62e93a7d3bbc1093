// A picture whose readers decode a file at its full size, keeping the file's
// depth (1, 4, 8, 15, 16, 24 or 32 bits; JPEG gives 8-bit grey or 24-bit).
// The glyph buttons, the frame supply and the output preview use it. Warnings of
// the JPEG library (a file that ends early, say) land in the error text of the
// picture being read, even when the load succeeds.
#pragma once

#include "picture/TBaseDib.h"

namespace discforge {

class TFullDib : public TBaseDib {
protected:
    bool ReadBmp() override;
    bool ReadPcx() override;
    bool ReadGif() override;
    bool ReadTarga() override;
    bool ReadJpeg() override;

private:
    static void ReportJpegMessage(void* context, const char* text);
};

} // namespace discforge
