// One preview-panel reader on arbitrary bytes, in a panel whose size the input
// picks from a few (large and small steps, every pixel, a panel without
// pixels), then the frame line. Built once per format (FUZZ_FORMAT_bmp, ...).
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "picture/TPreviewDib.h"

namespace {

class PanelUnderTest : public discforge::TPreviewDib {
public:
    explicit PanelUnderTest(const discforge::PanelRect& rect)
        : TPreviewDib(nullptr, rect)
    {
    }

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

constexpr discforge::PanelRect panels[]
    = {{0, 0, 160, 120}, {0, 0, 7, 5}, {0, 0, 400, 300}, {0, 0, 1, 1}, {0, 0, 0, 0}};

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
    PanelUnderTest panel(panels[size % (sizeof panels / sizeof panels[0])]);
    panel.Read(stream);
    std::fclose(stream);
    panel.DrawFrameLine();
    return 0;
}
