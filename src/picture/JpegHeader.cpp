#include "picture/JpegReader.h"

#include "picture/ExifOrientation.h"
#include "picture/PictureLimits.h"

namespace discforge {

namespace {

constexpr int exifMarker = JPEG_APP0 + 1;
constexpr unsigned maxMarkerBytes = 0xFFFF;
constexpr int scaleDenominator = 8;

} // namespace

void KeepJpegExif(jpeg_decompress_struct& decompressor)
{
    jpeg_save_markers(&decompressor, exifMarker, maxMarkerBytes);
}

int JpegOrientation(const jpeg_decompress_struct& decompressor)
{
    for (jpeg_saved_marker_ptr marker = decompressor.marker_list; marker != nullptr; marker = marker->next) {
        if (marker->marker == exifMarker) {
            const int orientation = ExifOrientation(marker->data, marker->data_length);
            if (orientation != uprightOrientation) {
                return orientation;
            }
        }
    }
    return uprightOrientation;
}

std::int64_t JpegWholeImageBytes(const jpeg_decompress_struct& decompressor)
{
    if (!jpeg_has_multiple_scans(const_cast<jpeg_decompress_struct*>(&decompressor))) {
        return 0;
    }
    std::int64_t bytes = 0;
    for (int c = 0; c < decompressor.num_components; ++c) {
        const jpeg_component_info& component = decompressor.comp_info[c];
        // Blocks are allocated in whole groups of the sampling factors.
        const auto roundUp = [](std::int64_t value, std::int64_t step) { return (value + step - 1) / step * step; };
        const std::int64_t columns = roundUp(component.width_in_blocks, component.h_samp_factor);
        const std::int64_t rows = roundUp(component.height_in_blocks, component.v_samp_factor);
        bytes += columns * rows * DCTSIZE2 * static_cast<std::int64_t>(sizeof(JCOEF));
    }
    return bytes;
}

void LimitJpegMemory(jpeg_decompress_struct& decompressor)
{
    decompressor.mem->max_memory_to_use = static_cast<long>(maxJpegDecoderBytes + jpegWorkingBytes);
}

void ChooseJpegScale(jpeg_decompress_struct& decompressor, int leastWidth, int leastHeight)
{
    for (int numerator = 1; numerator <= scaleDenominator; ++numerator) {
        decompressor.scale_num = static_cast<unsigned>(numerator);
        decompressor.scale_denom = scaleDenominator;
        jpeg_calc_output_dimensions(&decompressor);
        if (static_cast<std::int64_t>(decompressor.output_width) >= leastWidth
            && static_cast<std::int64_t>(decompressor.output_height) >= leastHeight) {
            return;
        }
    }
}

} // namespace discforge
