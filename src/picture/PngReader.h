// The glue to libpng for the full-size reader: a reader whose errors land in
// the reading picture's error text and jump back to its setjmp, the limits
// that keep a file from making it allocate without bound, and the transforms
// that bring every kind of PNG to grey, blue-green-red or blue-green-red-alpha
// bytes.
#pragma once

#include <cstdint>

#include <png.h>

namespace discforge {

struct PngMessages {
    void (*report)(void* context, const char* text) = nullptr;
    void* context = nullptr;
};

// A read structure whose fatal errors go to `messages` and then longjmp to
// png_jmpbuf; warnings are dropped. Null when it cannot be made.
png_structp CreatePngReader(PngMessages& messages);

// After png_read_info: asks for 8-bit samples, palettes and grey below 8 bits
// expanded, transparency as an alpha channel (grey with alpha as colour), colour
// as blue, green, red, and the interlaced passes combined. Returns the bytes
// per pixel the rows then have: 1, 3 or 4; `passes` the rows' passes.
int ShapePngRows(png_structp png, png_infop info, int& passes);

// Lays blue-green-red-alpha pixels on black in place: each colour times its
// alpha, the fourth byte 0.
void LayOnBlack(std::uint8_t* row, int width);

} // namespace discforge
