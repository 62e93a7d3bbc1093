#include "JpegFile.h"

#include <QImage>

#include <csetjmp>
#include <cstdio>

extern "C" {
#include <jpeglib.h>
}

namespace discforge::skin {
namespace {

struct ErrorJump {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char text[JMSG_LENGTH_MAX];
};

[[noreturn]] void Fail(j_common_ptr info)
{
    ErrorJump* errors = reinterpret_cast<ErrorJump*>(info->err);
    (*info->err->format_message)(info, errors->text);
    std::longjmp(errors->jump, 1);
}

// Only plain data lives in this frame across setjmp: a fatal error of the
// library comes back here by longjmp.
bool Compress(
    std::FILE* file, const unsigned char* rows, int width, int height, int stride, int quality, ErrorJump& errors)
{
    jpeg_compress_struct compressor;
    compressor.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = Fail;
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_compress(&compressor);
        return false;
    }
    jpeg_create_compress(&compressor);
    jpeg_stdio_dest(&compressor, file);
    compressor.image_width = static_cast<JDIMENSION>(width);
    compressor.image_height = static_cast<JDIMENSION>(height);
    compressor.input_components = 3;
    compressor.in_color_space = JCS_RGB;
    jpeg_set_defaults(&compressor);
    jpeg_set_quality(&compressor, quality, TRUE);
    for (int c = 0; c < compressor.num_components; ++c) {
        compressor.comp_info[c].h_samp_factor = 1;
        compressor.comp_info[c].v_samp_factor = 1;
    }
    jpeg_start_compress(&compressor, TRUE);
    while (compressor.next_scanline < compressor.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rows + static_cast<std::ptrdiff_t>(compressor.next_scanline) * stride);
        jpeg_write_scanlines(&compressor, &row, 1);
    }
    jpeg_finish_compress(&compressor);
    jpeg_destroy_compress(&compressor);
    return true;
}

} // namespace

bool WriteJpeg(const QImage& picture, const std::string& path, int quality, std::string& error)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        error = "cannot write " + path;
        return false;
    }
    ErrorJump errors{};
    const bool written = Compress(
        file, rgb.constBits(), rgb.width(), rgb.height(), static_cast<int>(rgb.bytesPerLine()), quality, errors);
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        error = "cannot write " + path + (written ? "" : std::string(": ") + errors.text);
        return false;
    }
    return true;
}

} // namespace discforge::skin
