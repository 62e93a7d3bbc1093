#include "picture/Rescaler.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "picture/ReduceArithmetic.h"
#include "picture/ResampleKernels.h"

namespace discforge {

namespace {

constexpr int prefetchRows = 3;

} // namespace

// A decoded frame arrives from another thread and is mostly not in the cache:
// asking for the rows a few rows ahead of the one being read hides the wait
// (a 640 x 480 frame scales in about half the time).
void Rescaler::Prefetch(SourceRows source, int r) const
{
    if (r >= height_) {
        return;
    }
    const std::uint8_t* row = source.Row(r);
    for (int offset = 0; offset < 4 * width_; offset += 64) {
        __builtin_prefetch(row + offset);
    }
}

void Rescaler::Prepare(int width, int height, int newWidth, int newHeight)
{
    if (width == width_ && height == height_ && newWidth == newWidth_ && newHeight == newHeight_) {
        return;
    }
    width_ = width;
    height_ = height;
    newWidth_ = newWidth;
    newHeight_ = newHeight;
    blends_.clear();
    shares_.clear();
    lanes16_ = false;
    if (width <= 0 || height <= 0 || newWidth <= 0 || newHeight <= 0) {
        return;
    }
    plan_.Prepare(width, newWidth);
    const std::size_t rowBytes = static_cast<std::size_t>(newWidth) * 4;
    if (height < newHeight) {
        for (ResampledRows& rows : resampled_) {
            rows.pixels.resize(rowBytes * ReduceStrips::rows);
        }
        PrepareEnlarge();
    } else if (height > newHeight) {
        strip_.resize(rowBytes * ReduceStrips::rows);
        PrepareReduce();
    }
}

void Rescaler::PrepareEnlarge()
{
    blends_.resize(newHeight_);
    int t = 0;
    for (RowBlend& blend : blends_) {
        blend.scale = ExactScale(static_cast<std::uint64_t>(t), newHeight_, 255);
        blend.lanes16 = Multiplier16(static_cast<std::uint64_t>(t), newHeight_, 255, blend.multiplier);
        blend.first = t == 0;
        t += height_;
        blend.advance = t >= newHeight_;
        if (blend.advance) {
            t -= newHeight_;
        }
    }
}

void Rescaler::PrepareReduce()
{
    // A sum holds the rest of one row, the whole rows and a share of one more.
    const std::uint64_t wholeMost = static_cast<std::uint64_t>(height_) / newHeight_ + 1;
    const std::uint64_t largestTotal = 255 * (wholeMost + 2);
    average_ = ExactScale(newHeight_, height_, largestTotal);
    // 16-bit sums serve wherever the totals fit. Where no one 16-bit multiplier
    // gives the average exactly, ceil(newHeight x 2^32 / height) split in two
    // does, for heights below 2^16.
    lanes16_ = largestTotal <= 0xFFFF;
    averageLow16_ = 0;
    if (lanes16_ && !Multiplier16(newHeight_, height_, static_cast<std::uint32_t>(largestTotal), averageHigh16_)) {
        lanes16_ = height_ < 0x10000;
        reduce::SplitMultiplier(static_cast<std::uint64_t>(newHeight_), static_cast<std::uint64_t>(height_), 32,
            averageHigh16_, averageLow16_);
    }
    shares_.resize(height_);
    int t = 0;
    for (RowShare& row : shares_) {
        t += newHeight_;
        row.ends = t >= height_;
        if (!row.ends) {
            continue;
        }
        t -= height_;
        const auto rest = static_cast<std::uint64_t>(t);
        const auto share = static_cast<std::uint64_t>(newHeight_ - t);
        row.share = ExactScale(share, newHeight_, 255);
        row.rest = ExactScale(rest, newHeight_, 255);
        row.whole = t == 0;
        lanes16_ = lanes16_
            && (row.whole
                || (Multiplier16(share, newHeight_, 255, row.shareMultiplier)
                    && Multiplier16(rest, newHeight_, 255, row.restMultiplier)));
    }
    const std::size_t rowBytes = static_cast<std::size_t>(newWidth_) * 4;
    if (lanes16_) {
        sums16_.resize(rowBytes);
    } else {
        sums32_.resize(rowBytes);
    }
}

bool Rescaler::Scale(SourceRows source, TargetRows target, bool maskX, const bool* stop)
{
    if (width_ <= 0 || height_ <= 0 || newWidth_ <= 0 || newHeight_ <= 0) {
        return true;
    }
    if (height_ < newHeight_) {
        return Enlarge(source, target, stop);
    }
    if (height_ > newHeight_) {
        return Reduce(source, nullptr, target, stop);
    }
    for (int r = 0; r < height_;) {
        if (stop && *stop) {
            return false;
        }
        // Rows past the last are never written: a strip is taken only where it fits.
        std::uint8_t* into[ReduceStrips::rows];
        for (int i = 0; i < ReduceStrips::rows; ++i) {
            into[i] = target.Row(std::min(r + i, height_ - 1));
        }
        r += ResampleRows(source, r, height_, into, maskX);
    }
    return true;
}

int Rescaler::ResampleRows(
    SourceRows source, int r, int end, std::uint8_t* const into[ReduceStrips::rows], bool maskX)
{
    if (plan_.TakesStrips() && r + ReduceStrips::rows <= end) {
        const std::uint8_t* rows[ReduceStrips::rows];
        for (int i = 0; i < ReduceStrips::rows; ++i) {
            rows[i] = source.Row(r + i);
        }
        plan_.ApplyStrip(rows, into);
        return ReduceStrips::rows;
    }
    if (r + prefetchRows < end) {
        Prefetch(source, r + prefetchRows);
    }
    plan_.Apply(source.Row(r), into[0], maskX);
    return 1;
}

// Source row r resampled to the new width, made with the rows after it where the
// plan takes strips. A strip goes into the buffer that does not hold row r - 1,
// which the blend still needs.
const std::uint8_t* Rescaler::ResampledRow(SourceRows source, int r)
{
    const std::size_t rowBytes = static_cast<std::size_t>(newWidth_) * 4;
    for (const ResampledRows& rows : resampled_) {
        if (rows.Holds(r)) {
            return rows.pixels.data() + rowBytes * static_cast<std::size_t>(r - rows.first);
        }
    }
    ResampledRows& rows = resampled_[1].Holds(r - 1) ? resampled_[0] : resampled_[1];
    std::uint8_t* into[ReduceStrips::rows];
    for (int i = 0; i < ReduceStrips::rows; ++i) {
        into[i] = rows.pixels.data() + rowBytes * static_cast<std::size_t>(i);
    }
    rows.first = r;
    rows.count = ResampleRows(source, r, height_, into, true);
    return into[0];
}

// The resampled rows carry X = 0, so the blends between them do too.
bool Rescaler::Enlarge(SourceRows source, TargetRows target, const bool* stop)
{
    const int rowBytes = 4 * newWidth_;
    for (ResampledRows& rows : resampled_) {
        rows.count = 0;
    }
    const std::uint8_t* a = ResampledRow(source, 0);
    const std::uint8_t* b = height_ > 1 ? ResampledRow(source, 1) : a;
    int next = 2;
    for (int y = 0; y < newHeight_; ++y) {
        if (stop && *stop) {
            return false;
        }
        const RowBlend& blend = blends_[y];
        std::uint8_t* out = target.Row(y);
        if (blend.first) {
            std::memcpy(out, a, static_cast<std::size_t>(rowBytes));
        } else if (blend.lanes16) {
            kernels::BlendRows16(a, b, out, rowBytes, blend.multiplier);
        } else {
            kernels::BlendRows32(a, b, out, rowBytes, blend.scale);
        }
        if (blend.advance) {
            // Past the last row the last row blends with itself.
            a = b;
            b = next < height_ ? ResampledRow(source, next++) : a;
        }
    }
    return true;
}

bool Rescaler::ScaleBands(const PictureBands& bands, TargetRows target, const bool* stop)
{
    if (!Reduces() || bands.Width() != width_ || bands.Height() != height_ || height_ % 2 != 0) {
        return false;
    }
    return Reduce(SourceRows{}, &bands, target, stop);
}

void Rescaler::Accumulate(const std::uint8_t* row, int r, TargetRows target, int& o)
{
    const int rowBytes = 4 * newWidth_;
    const RowShare& share = shares_[r];
    if (!share.ends) {
        if (lanes16_) {
            kernels::AddRow16(row, sums16_.data(), rowBytes);
        } else {
            kernels::AddRow32(row, sums32_.data(), rowBytes);
        }
        return;
    }
    std::uint8_t* out = target.Row(o++);
    if (!lanes16_) {
        kernels::FinishSums32(row, sums32_.data(), out, rowBytes, share.share, share.rest, average_);
    } else if (share.whole) {
        kernels::FinishSumsWhole16(row, sums16_.data(), out, rowBytes, averageHigh16_, averageLow16_);
    } else {
        kernels::FinishSums16(
            row, sums16_.data(), out, rowBytes, share.shareMultiplier, share.restMultiplier, averageHigh16_, averageLow16_);
    }
}

bool Rescaler::ReduceFromColumns(
    const PictureBands& bands, int r, std::uint8_t* const strip[ReduceStrips::rows], TargetRows target, int& o)
{
    if (!plan_.TakesStrips() || height_ - r < ReduceStrips::rows
        || !bands.MakeColumns(height_ - r - ReduceStrips::rows, plan_.StripColumns())) {
        return false;
    }
    plan_.ApplyStripColumns(strip);
    for (int i = 0; i < ReduceStrips::rows; ++i) {
        Accumulate(strip[i], r + i, target, o);
    }
    return true;
}

// Source row r is the picture's row height - 1 - r: the bands are made a strip
// at a time from the bottom up, each strip stored upwards so that its rows come
// in the source's order.
bool Rescaler::Reduce(SourceRows source, const PictureBands* bands, TargetRows target, const bool* stop)
{
    if (lanes16_) {
        std::fill(sums16_.begin(), sums16_.end(), 0);
    } else {
        std::fill(sums32_.begin(), sums32_.end(), 0);
    }
    const std::ptrdiff_t bandPitch = std::ptrdiff_t{4} * width_;
    if (bands != nullptr) {
        band_.resize(static_cast<std::size_t>(bandPitch) * ReduceStrips::rows);
    }
    std::uint8_t* strip[ReduceStrips::rows];
    for (int i = 0; i < ReduceStrips::rows; ++i) {
        strip[i] = strip_.data() + static_cast<std::ptrdiff_t>(i) * 4 * newWidth_;
    }
    int o = 0;
    for (int r = 0; r < height_;) {
        if (stop && *stop) {
            return false;
        }
        if (bands != nullptr && ReduceFromColumns(*bands, r, strip, target, o)) {
            r += ReduceStrips::rows;
            continue;
        }
        // A source's rows are all at hand: one band holds them all.
        int base = 0;
        int end = height_;
        SourceRows rows = source;
        if (bands != nullptr) {
            base = r;
            end = std::min(ReduceStrips::rows, height_ - r);
            rows = SourceRows{band_.data(), bandPitch};
            bands->MakeRows(height_ - r - end, end, band_.data() + (end - 1) * bandPitch, -bandPitch);
        }
        for (int local = r - base; local < end;) {
            if (stop && *stop) {
                return false;
            }
            const int count = ResampleRows(rows, local, end, strip, true);
            for (int i = 0; i < count; ++i) {
                Accumulate(strip[i], r++, target, o);
            }
            local += count;
        }
    }
    return true;
}

} // namespace discforge
