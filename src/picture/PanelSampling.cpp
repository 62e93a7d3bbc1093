#include "picture/PanelSampling.h"

#include <cstddef>
#include <cstring>

#include "picture/ByteOrder.h"

namespace discforge {

namespace {

void PutEntry(const std::uint8_t* table, int index, std::uint8_t* target) { std::memcpy(target, table + 4 * index, 3); }

} // namespace

void SampleRow(const std::uint8_t* source, const SourceFormat& format, int step, int count, std::uint8_t* target)
{
    const std::ptrdiff_t stride = step;
    switch (format.pixels) {
    case SourcePixels::index1:
        for (std::ptrdiff_t i = 0, x = 0; i < count; ++i, x += stride, target += 3) {
            PutEntry(format.table, (source[x / 8] >> (7 - x % 8)) & 1, target);
        }
        break;
    case SourcePixels::index4:
        for (std::ptrdiff_t i = 0, x = 0; i < count; ++i, x += stride, target += 3) {
            PutEntry(format.table, x % 2 == 0 ? source[x / 2] >> 4 : source[x / 2] & 0x0F, target);
        }
        break;
    case SourcePixels::index8:
        for (std::ptrdiff_t i = 0, x = 0; i < count; ++i, x += stride, target += 3) {
            PutEntry(format.table, source[x], target);
        }
        break;
    case SourcePixels::words555:
        for (std::ptrdiff_t i = 0, x = 0; i < count; ++i, x += stride, target += 3) {
            const std::uint32_t word = Le16(source + 2 * x);
            target[0] = static_cast<std::uint8_t>((word << 3) & 0xF8);
            target[1] = static_cast<std::uint8_t>((word >> 2) & 0xF8);
            target[2] = static_cast<std::uint8_t>((word >> 7) & 0xF8);
        }
        break;
    case SourcePixels::bgr24:
        for (std::ptrdiff_t i = 0, x = 0; i < count; ++i, x += stride, target += 3) {
            std::memcpy(target, source + 3 * x, 3);
        }
        break;
    case SourcePixels::bgrx32:
        for (std::ptrdiff_t i = 0, x = 0; i < count; ++i, x += stride, target += 3) {
            std::memcpy(target, source + 4 * x, 3);
        }
        break;
    case SourcePixels::bmpMasks: {
        const BmpChannel* channels = format.masks->channels;
        const bool wide = format.bmpBitCount == 32;
        for (std::ptrdiff_t i = 0, x = 0; i < count; ++i, x += stride, target += 3) {
            const std::uint32_t pixel = wide ? Le32(source + 4 * x) : Le16(source + 2 * x);
            target[0] = static_cast<std::uint8_t>(ExtractBmpChannel(pixel, channels[2], 255));
            target[1] = static_cast<std::uint8_t>(ExtractBmpChannel(pixel, channels[1], 255));
            target[2] = static_cast<std::uint8_t>(ExtractBmpChannel(pixel, channels[0], 255));
        }
        break;
    }
    }
}

} // namespace discforge
