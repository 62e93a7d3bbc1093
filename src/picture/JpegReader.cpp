#include "picture/JpegReader.h"

#include <cstring>

#include "picture/ExifOrientation.h"
#include "picture/PictureMessages.h"
#include "picture/TFullDib.h"

namespace discforge {

namespace {

JpegErrors& ErrorsOf(j_common_ptr info)
{
    return *reinterpret_cast<JpegErrors*>(info->err);
}

void ReportMessage(j_common_ptr info)
{
    char text[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, text);
    JpegErrors& errors = ErrorsOf(info);
    if (errors.report) {
        errors.report(errors.context, text);
    }
}

[[noreturn]] void FatalError(j_common_ptr info)
{
    ReportMessage(info);
    std::longjmp(ErrorsOf(info).jump, 1);
}

} // namespace

void UseJpegErrors(jpeg_decompress_struct& decompressor, JpegErrors& errors,
                   void (*report)(void* context, const char* text), void* context)
{
    decompressor.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = FatalError;
    errors.manager.output_message = ReportMessage;
    errors.report = report;
    errors.context = context;
}

void ChooseJpegOutput(jpeg_decompress_struct& decompressor)
{
    if (decompressor.out_color_space != JCS_GRAYSCALE) {
        decompressor.out_color_space = JCS_EXT_BGR;
    }
    decompressor.quantize_colors = FALSE;
}

void TFullDib::ReportJpegMessage(void* context, const char* text)
{
    static_cast<TFullDib*>(context)->SetError("%s", text);
}

// Only plain data lives in this frame across setjmp: a fatal error of the
// library comes back here by longjmp.
bool TFullDib::ReadJpeg()
{
    currentRow_ = 0;
    jpeg_decompress_struct decompressor;
    JpegErrors errors;
    volatile int orientation = uprightOrientation;
    UseJpegErrors(decompressor, errors, &TFullDib::ReportJpegMessage, this);
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_decompress(&decompressor);
        return currentRow_ > 0 && Orient(orientation);
    }
    jpeg_create_decompress(&decompressor);
    jpeg_stdio_src(&decompressor, file_);
    KeepJpegExif(decompressor);
    jpeg_read_header(&decompressor, TRUE);
    reader_.jpegProgressive = jpeg_has_multiple_scans(&decompressor) != 0;
    reader_.jpegColourSpace = decompressor.jpeg_color_space;
    ChooseJpegOutput(decompressor);
    const int depth = decompressor.out_color_space == JCS_GRAYSCALE ? 8 : 24;
    if (!DeclareJpegSize(static_cast<int>(decompressor.image_width), static_cast<int>(decompressor.image_height), depth,
            JpegWholeImageBytes(decompressor))) {
        jpeg_destroy_decompress(&decompressor);
        return false;
    }
    LimitJpegMemory(decompressor);
    orientation = JpegOrientation(decompressor);
    ChooseScale(decompressor, orientation);
    jpeg_start_decompress(&decompressor);
    const int width = static_cast<int>(decompressor.output_width);
    const int height = static_cast<int>(decompressor.output_height);
    if (!StartPicture(width, height, depth)) {
        jpeg_destroy_decompress(&decompressor);
        return false;
    }
    if (depth == 8) {
        std::uint8_t* table = ColourTableData();
        for (int i = 0; i < 256; ++i) {
            std::memset(table + 4 * i, i, 3);
        }
    }
    while (currentRow_ < height) {
        JSAMPROW row = Row(height - 1 - currentRow_);
        if (jpeg_read_scanlines(&decompressor, &row, 1) != 1) {
            break;
        }
        ++currentRow_;
    }
    jpeg_destroy_decompress(&decompressor);
    if (OrientationSwapsSides(orientation)) {
        SetDeclared(DeclaredHeight(), DeclaredWidth(), depth);
    }
    return Orient(orientation);
}

// The least size is asked for upright; the transform scales the stored picture.
void TFullDib::ChooseScale(jpeg_decompress_struct& decompressor, int orientation) const
{
    const int width = static_cast<int>(decompressor.image_width);
    const int height = static_cast<int>(decompressor.image_height);
    const bool swaps = OrientationSwapsSides(orientation);
    const ReadSize least = swaps ? LeastSizeFor(height, width) : LeastSizeFor(width, height);
    if (swaps) {
        ChooseJpegScale(decompressor, least.height, least.width);
    } else {
        ChooseJpegScale(decompressor, least.width, least.height);
    }
}

} // namespace discforge
