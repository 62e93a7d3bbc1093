#include "platform/FieldOrder.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <cstdlib>

namespace discforge {
namespace {

// A picture counts as a frame when its own rows fit between each other half as well
// again as the neighbour pictures' rows of either parity would; otherwise as fields in
// one order when the rows of one parity swapped in fit a tenth worse than the other's.
constexpr double fieldMargin = 1.1;
constexpr double frameMargin = 1.5;
// Pictures judged as fields before the answer is fields: a few, so that a still
// or nearly still start does not decide.
constexpr int fewestFieldVotes = 3;

// How far row b stands out from the rows a and c around it.
std::int64_t Misfit(const std::uint8_t* a, const std::uint8_t* b, const std::uint8_t* c, int width)
{
    std::int64_t sum = 0;
    for (int x = 0; x < width; ++x) {
        sum += std::abs(int{a[x]} + int{c[x]} - 2 * int{b[x]});
    }
    return sum;
}

// The plane component that carries the picture's brightness: luminance, or green.
const AVComponentDescriptor* BrightnessOf(const AVPixFmtDescriptor* format)
{
    if (format == nullptr || (format->flags & (AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_BITSTREAM
                                  | AV_PIX_FMT_FLAG_HWACCEL | AV_PIX_FMT_FLAG_BE)) != 0) {
        return nullptr;
    }
    const int component = (format->flags & AV_PIX_FMT_FLAG_RGB) != 0 ? 1 : 0;
    if (format->nb_components <= component) {
        return nullptr;
    }
    const AVComponentDescriptor* brightness = &format->comp[component];
    return brightness->depth == 8 && brightness->shift == 0 ? brightness : nullptr;
}

} // namespace

void FieldStatistics::Add(const AVFrame& picture)
{
    const auto* format = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(picture.format));
    const AVComponentDescriptor* brightness = BrightnessOf(format);
    if (brightness == nullptr || picture.width < 1 || picture.height < 6 || picture.data[brightness->plane] == nullptr) {
        return;
    }
    if (picture.width != width_ || picture.height != height_) {
        width_ = picture.width;
        height_ = picture.height;
        held_ = 0;
    }
    std::vector<std::uint8_t> rows = std::move(luma_[0]);
    luma_[0] = std::move(luma_[1]);
    luma_[1] = std::move(luma_[2]);
    rows.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));
    const std::uint8_t* plane = picture.data[brightness->plane];
    const int stride = picture.linesize[brightness->plane];
    for (int y = 0; y < height_; ++y) {
        const std::uint8_t* from = plane + static_cast<std::ptrdiff_t>(y) * stride + brightness->offset;
        std::uint8_t* to = rows.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
        for (int x = 0; x < width_; ++x) {
            to[x] = from[static_cast<std::ptrdiff_t>(x) * brightness->step];
        }
    }
    luma_[2] = std::move(rows);
    held_ = held_ < 3 ? held_ + 1 : 3;
    if (held_ == 3) {
        Judge(luma_[0].data(), luma_[1].data(), luma_[2].data());
    }
}

void FieldStatistics::Judge(const std::uint8_t* previous, const std::uint8_t* current, const std::uint8_t* next)
{
    // misfit[p]: how badly the rows of parity p fit when they come from the picture
    // before or after; a top field shot first misfits at parity 0 either way.
    std::int64_t misfit[2] = {0, 0};
    std::int64_t own = 0;
    const auto row = [this](const std::uint8_t* picture, int y) {
        return picture + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
    };
    for (int y = 2; y < height_ - 2; ++y) {
        const std::uint8_t* above = row(current, y - 1);
        const std::uint8_t* below = row(current, y + 1);
        misfit[y & 1] += Misfit(above, row(previous, y), below, width_);
        misfit[(y & 1) ^ 1] += Misfit(above, row(next, y), below, width_);
        own += Misfit(above, row(current, y), below, width_);
    }
    const auto least = static_cast<double>(std::min(misfit[0], misfit[1]));
    if (least > frameMargin * static_cast<double>(own)) {
        ++progressive_;
    } else if (static_cast<double>(misfit[0]) > fieldMargin * static_cast<double>(misfit[1])) {
        ++topFirst_;
    } else if (static_cast<double>(misfit[1]) > fieldMargin * static_cast<double>(misfit[0])) {
        ++bottomFirst_;
    }
}

FieldOrder FieldStatistics::Verdict() const
{
    const int fields = topFirst_ + bottomFirst_;
    if (fields < fewestFieldVotes || fields <= progressive_) {
        return FieldOrder::progressive;
    }
    return topFirst_ >= bottomFirst_ ? FieldOrder::topFirst : FieldOrder::bottomFirst;
}

} // namespace discforge
