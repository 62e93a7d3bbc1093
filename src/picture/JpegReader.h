// The glue to libjpeg that the full-size and the preview-size readers share:
// the error manager whose fatal errors jump back into the reader and whose
// messages land in the reading picture's error text, the header's checks, the
// scale and the recorded orientation.
#pragma once

#include <csetjmp>
#include <cstdint>
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

// Before the header is read: keeps the APP1 blocks for JpegOrientation.
void KeepJpegExif(jpeg_decompress_struct& decompressor);
// After the header: the Exif orientation (1-8), 1 without one.
int JpegOrientation(const jpeg_decompress_struct& decompressor);
// After the header: the bytes the library keeps for a file of several scans
// (every coefficient of the picture); 0 for one decoded as it arrives.
std::int64_t JpegWholeImageBytes(const jpeg_decompress_struct& decompressor);
// After the header: bounds what the library may allocate, so that no
// miscounted buffer can grow past maxJpegDecoderBytes.
void LimitJpegMemory(jpeg_decompress_struct& decompressor);
// After the header: the smallest scale of the transform (1/8 .. 8/8) whose
// output is at least leastWidth x leastHeight, with the output size computed.
void ChooseJpegScale(jpeg_decompress_struct& decompressor, int leastWidth, int leastHeight);

} // namespace discforge
