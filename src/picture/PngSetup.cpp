#include "picture/PngReader.h"

#include "picture/PictureLimits.h"

namespace discforge {

namespace {

// Text, colour profile and other chunks beside the pixels are held whole by
// the library; a file may not make it hold more than this of one.
constexpr png_alloc_size_t maxChunkBytes = 8 * 1024 * 1024;
// Sides the library itself accepts; the pixel count is checked by the reader.
constexpr png_uint_32 maxSide = 1'000'000;

[[noreturn]] void FatalError(png_structp png, png_const_charp text)
{
    auto* messages = static_cast<PngMessages*>(png_get_error_ptr(png));
    if (messages && messages->report) {
        messages->report(messages->context, text);
    }
    png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

} // namespace

png_structp CreatePngReader(PngMessages& messages)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &messages, &FatalError, &IgnoreWarning);
    if (png != nullptr) {
        png_set_user_limits(png, maxSide, maxSide);
        png_set_chunk_malloc_max(png, maxChunkBytes);
        png_set_chunk_cache_max(png, 1000);
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
        // Mutated files almost never keep their checksums right: the fuzzer gets past them.
        png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#endif
    }
    return png;
}

int ShapePngRows(png_structp png, png_infop info, int& passes)
{
    const int colourType = png_get_color_type(png, info);
    png_set_scale_16(png);
    png_set_packing(png);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_set_palette_to_rgb(png);
    }
    if (colourType == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(png, info) < 8) {
        png_set_expand_gray_1_2_4_to_8(png);
    }
    const bool transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (transparency) {
        png_set_tRNS_to_alpha(png);
    }
    if ((colourType & PNG_COLOR_MASK_ALPHA) != 0 || transparency) {
        png_set_gray_to_rgb(png);
    }
    png_set_bgr(png);
    passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return png_get_channels(png, info);
}

void LayOnBlack(std::uint8_t* row, int width)
{
    for (int x = 0; x < width; ++x) {
        std::uint8_t* pixel = row + 4 * x;
        const unsigned alpha = pixel[3];
        for (int c = 0; c < 3; ++c) {
            pixel[c] = static_cast<std::uint8_t>((pixel[c] * alpha + 127) / 255);
        }
        pixel[3] = 0;
    }
}

} // namespace discforge
