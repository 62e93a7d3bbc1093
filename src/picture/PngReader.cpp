#include "picture/PngReader.h"

#include <cstring>

#include "picture/PictureMessages.h"
#include "picture/TFullDib.h"

namespace discforge {

void TFullDib::ReportPngMessage(void* context, const char* text)
{
    static_cast<TFullDib*>(context)->SetError("%s", text);
}

// Only plain data lives in this frame across setjmp: a fatal error of the
// library comes back here by longjmp. A file that breaks off keeps the rows it
// delivered, as the other readers do.
bool TFullDib::ReadPng()
{
    currentRow_ = 0;
    PngMessages messages{&TFullDib::ReportPngMessage, this};
    png_structp png = CreatePngReader(messages);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        SetError("%s", picture_message::outOfMemory);
        return false;
    }
    volatile bool withAlpha = false;
    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_read_struct(&png, &info, nullptr);
        if (currentRow_ > 0 && withAlpha) {
            LayPictureOnBlack();
        }
        return currentRow_ > 0;
    }
    png_init_io(png, file_);
    png_read_info(png, info);
    const int width = static_cast<int>(png_get_image_width(png, info));
    const int height = static_cast<int>(png_get_image_height(png, info));
    int passes = 1;
    const int channels = ShapePngRows(png, info, passes);
    const int depth = channels == 1 ? 8 : channels == 3 ? 24 : 32;
    if (!DeclareFileSize(width, height, depth) || !StartPicture(width, height, depth)) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    withAlpha = depth == 32;
    if (depth == 8) {
        std::uint8_t* table = ColourTableData();
        for (int i = 0; i < 256; ++i) {
            std::memset(table + 4 * i, i, 3);
        }
    }
    for (int pass = 0; pass < passes; ++pass) {
        for (int r = 0; r < height; ++r) {
            png_read_row(png, Row(height - 1 - r), nullptr);
            if (pass == 0) {
                ++currentRow_;
            }
        }
    }
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    if (withAlpha) {
        LayPictureOnBlack();
    }
    return true;
}

void TFullDib::LayPictureOnBlack()
{
    for (int r = 0; r < Height(); ++r) {
        LayOnBlack(Row(r), Width());
    }
}

} // namespace discforge
