// The JPEG reader of the preview panel: libjpeg with its fast transform and
// plain upsampling, one scanline at a time, every step-th one drawn. A picture
// too large to hold whole (a phone's 108 megapixels) is scaled by the
// transform to the smallest size that still covers the panel. A file of
// several scans is read in buffered-image mode and drawn once per scan, so the
// picture sharpens while it arrives. A picture whose recorded orientation turns
// or mirrors it is decoded whole at about the panel's size, made upright, and
// drawn from there.
#include <cstring>

#include "picture/ExifOrientation.h"
#include "picture/JpegReader.h"
#include "picture/PanelCanvas.h"
#include "picture/TPreviewDib.h"

namespace discforge {

namespace {

// Files made to hold thousands of tiny scans would have the panel redraw the
// whole picture for each; past this many drawn scans the rest is taken in at
// once and drawn one last time.
constexpr int maxDrawnScans = 32;

// Reads every scanline of one output pass and draws the kept ones.
void DrawPass(jpeg_decompress_struct& decompressor, JSAMPARRAY line, PanelCanvas& canvas, const SourceFormat& format,
    int& rowsRead)
{
    const int height = static_cast<int>(decompressor.output_height);
    for (int n = 0; n < height; ++n) {
        if (jpeg_read_scanlines(&decompressor, line, 1) != 1) {
            return;
        }
        ++rowsRead;
        canvas.DrawRow(n, line[0], format);
    }
}

void TakeRemainingScans(jpeg_decompress_struct& decompressor)
{
    while (!jpeg_input_complete(&decompressor)) {
        if (jpeg_consume_input(&decompressor) == JPEG_SUSPENDED) {
            return;
        }
    }
}

} // namespace

void TPreviewDib::ReportJpegMessage(void* context, const char* text)
{
    static_cast<TPreviewDib*>(context)->SetError("%s", text);
}

// Only data without destructors lives in this frame across setjmp: a fatal
// error of the library comes back here by longjmp.
bool TPreviewDib::ReadJpeg()
{
    currentRow_ = 0;
    jpeg_decompress_struct decompressor;
    JpegErrors errors;
    UseJpegErrors(decompressor, errors, &TPreviewDib::ReportJpegMessage, this);
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_decompress(&decompressor);
        return currentRow_ > 0;
    }
    jpeg_create_decompress(&decompressor);
    jpeg_stdio_src(&decompressor, file_);
    KeepJpegExif(decompressor);
    jpeg_read_header(&decompressor, TRUE);
    reader_.jpegProgressive = jpeg_has_multiple_scans(&decompressor) != 0;
    reader_.jpegColourSpace = decompressor.jpeg_color_space;
    ChooseJpegOutput(decompressor);
    decompressor.dct_method = JDCT_IFAST;
    decompressor.do_fancy_upsampling = FALSE;
    decompressor.buffered_image = reader_.jpegProgressive ? TRUE : FALSE;
    jpeg_calc_output_dimensions(&decompressor);
    const int depth = decompressor.out_color_components == 1 ? 8 : 24;
    PictureLayout whole;
    if (ComputePictureLayout(decompressor.output_width, decompressor.output_height, depth, whole) != LayoutResult::ok) {
        const ReadSize cover
            = PanelCover(static_cast<int>(decompressor.image_width), static_cast<int>(decompressor.image_height));
        ChooseJpegScale(decompressor, cover.width, cover.height);
    }
    const int width = static_cast<int>(decompressor.output_width);
    const int height = static_cast<int>(decompressor.output_height);
    if (!DeclareJpegSize(static_cast<int>(decompressor.image_width), static_cast<int>(decompressor.image_height), depth,
            JpegWholeImageBytes(decompressor))
        || !CheckPictureSize(width, height, depth)) {
        jpeg_destroy_decompress(&decompressor);
        return false;
    }
    LimitJpegMemory(decompressor);
    const int orientation = JpegOrientation(decompressor);
    if (orientation != uprightOrientation) {
        jpeg_destroy_decompress(&decompressor);
        return ShowThroughFullReader();
    }
    jpeg_start_decompress(&decompressor);
    const JDIMENSION lineBytes = decompressor.output_width * static_cast<JDIMENSION>(decompressor.output_components);
    JSAMPARRAY line
        = (*decompressor.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&decompressor), JPOOL_IMAGE, lineBytes, 1);
    std::uint8_t greys[256 * 4] = {};
    for (int i = 0; i < 256; ++i) {
        std::memset(greys + 4 * i, i, 3);
    }
    SourceFormat format;
    format.pixels = depth == 8 ? SourcePixels::index8 : SourcePixels::bgr24;
    format.table = greys;
    PanelCanvas canvas(*this, StartDrawing(width, height, false), RowOrder::topDown);
    if (!decompressor.buffered_image) {
        DrawPass(decompressor, line, canvas, format, currentRow_);
    } else {
        int scansDrawn = 0;
        do {
            if (++scansDrawn == maxDrawnScans) {
                TakeRemainingScans(decompressor);
            }
            jpeg_start_output(&decompressor, decompressor.input_scan_number);
            DrawPass(decompressor, line, canvas, format, currentRow_);
            jpeg_finish_output(&decompressor);
        } while (!jpeg_input_complete(&decompressor));
    }
    jpeg_destroy_decompress(&decompressor);
    return true;
}

} // namespace discforge
