// One picture reader on arbitrary bytes, then the operations a frame goes
// through. Built once per format (FUZZ_FORMAT_bmp, ...).
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "picture/TFullDib.h"

namespace {

class ReaderUnderTest : public discforge::TFullDib {
public:
    bool Read(std::FILE* stream)
    {
        file_ = stream;
        currentRow_ = 0;
#if defined(FUZZ_FORMAT_bmp)
        const bool loaded = ReadBmp();
#elif defined(FUZZ_FORMAT_pcx)
        const bool loaded = ReadPcx();
#elif defined(FUZZ_FORMAT_targa)
        const bool loaded = ReadTarga();
#elif defined(FUZZ_FORMAT_gif)
        const bool loaded = ReadGif();
#elif defined(FUZZ_FORMAT_jpeg)
        const bool loaded = ReadJpeg();
#elif defined(FUZZ_FORMAT_png)
        const bool loaded = ReadPng();
#else
#error "FUZZ_FORMAT_<format> not defined"
#endif
        file_ = nullptr;
        return loaded;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    std::FILE* stream = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (!stream) {
        return 0;
    }
    ReaderUnderTest picture;
    const bool loaded = picture.Read(stream);
    std::fclose(stream);
    // The operations only on pictures small enough to keep the fuzzer fast.
    if (loaded && static_cast<long long>(picture.Width()) * picture.Height() <= 1 << 15) {
        const int width = picture.Width();
        const int height = picture.Height();
        if (picture.ConvertDepth(32)) {
            picture.Deinterlace();
            picture.FlipVertical();
            picture.Crop(width / 5, height / 7, width / 2 + 3, height / 2 + 1);
            picture.Rescale(width / 3 + 2, height * 2 / 3 + 1, width / 3 + 9, height + 1);
        }
    }
    return 0;
}
