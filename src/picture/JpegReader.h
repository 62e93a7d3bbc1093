// The glue to libjpeg that the full-size and the preview-size readers share:
// the error manager whose fatal errors jump back into the reader and whose
// messages land in the reading picture's error text.
#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace discforge {

struct JpegErrors {
    jpeg_error_mgr manager; // first, so the library's pointer is ours
    std::jmp_buf jump;
    void (*report)(void* context, const char* text) = nullptr;
    void* context = nullptr;
};

// Sets up `errors` as the decompressor's error manager: warnings and the text of a
// fatal error go to `report`, and a fatal error longjmps to `errors.jump`.
void UseJpegErrors(jpeg_decompress_struct& decompressor, JpegErrors& errors,
                   void (*report)(void* context, const char* text), void* context);

// Grey stays grey and RGB stays RGB; everything else is asked for as RGB. Colour
// output comes blue, green, red.
void ChooseJpegOutput(jpeg_decompress_struct& decompressor);

} // namespace discforge
