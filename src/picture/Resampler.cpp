#include "picture/Resampler.h"

#include <algorithm>
#include <cstring>

namespace discforge {

namespace {

using u128 = unsigned __int128;

// The byte loops below are built twice, for AVX2 and for the baseline, and the
// processor picks one when the program starts; the results are the same bytes.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define DISCFORGE_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define DISCFORGE_VECTOR_CLONES
#endif

std::uint32_t Load32(const std::uint8_t* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

void Store32(std::uint8_t* p, std::uint32_t v)
{
    std::memcpy(p, &v, 4);
}

// Channel c (0 blue, 1 green, 2 red) of a pixel as loaded by Load32.
std::uint32_t Channel(std::uint32_t pixel, int c)
{
    const std::uint8_t* bytes = reinterpret_cast<const std::uint8_t*>(&pixel);
    return bytes[c];
}

std::uint32_t Pack(std::uint32_t blue, std::uint32_t green, std::uint32_t red)
{
    std::uint8_t bytes[4] = {static_cast<std::uint8_t>(blue), static_cast<std::uint8_t>(green),
                             static_cast<std::uint8_t>(red), 0};
    return Load32(bytes);
}

// a + (b - a) x t / divisor, truncated toward zero, with `scale` giving
// floor(|b - a| x t / divisor).
std::uint8_t Between(std::uint32_t a, std::uint32_t b, const ExactScale& scale)
{
    if (b >= a) {
        return static_cast<std::uint8_t>(a + scale.Apply(b - a));
    }
    return static_cast<std::uint8_t>(a - scale.Apply(a - b));
}

void ClearX(std::uint8_t* row, int pixels)
{
    for (int i = 0; i < pixels; ++i) {
        row[4 * i + 3] = 0;
    }
}

// Every byte of `out` = a + (b - a) x t / divisor, truncated toward zero.
DISCFORGE_VECTOR_CLONES void BlendRows(const std::uint8_t* __restrict a, const std::uint8_t* __restrict b,
               std::uint8_t* __restrict out, int bytes, const ExactScale& scale)
{
    if (scale.Fits32()) {
        const std::uint32_t multiplier = scale.Multiplier32();
        const int shift = scale.Shift();
        for (int i = 0; i < bytes; ++i) {
            const std::int32_t difference = static_cast<std::int32_t>(b[i]) - a[i];
            const std::uint32_t magnitude =
                static_cast<std::uint32_t>(difference < 0 ? -difference : difference);
            const std::uint32_t step = (magnitude * multiplier) >> shift;
            out[i] = static_cast<std::uint8_t>(difference < 0 ? a[i] - step : a[i] + step);
        }
        return;
    }
    for (int i = 0; i < bytes; ++i) {
        out[i] = Between(a[i], b[i], scale);
    }
}

// Every byte of `out` = a + (b - a) x t / divisor with the t of its own lane,
// through the lane's multiplier (all lanes share one shift).
DISCFORGE_VECTOR_CLONES void BlendLanes(const std::uint8_t* __restrict a, const std::uint8_t* __restrict b,
                const std::uint32_t* __restrict multipliers, int shift, std::uint8_t* __restrict out,
                int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        const std::int32_t difference = static_cast<std::int32_t>(b[i]) - a[i];
        const std::uint32_t magnitude = static_cast<std::uint32_t>(difference < 0 ? -difference : difference);
        const std::uint32_t step = (magnitude * multipliers[i]) >> shift;
        out[i] = static_cast<std::uint8_t>(difference < 0 ? a[i] - step : a[i] + step);
    }
}

// One output row of the area average between rows: the last share of row `t`
// completes the sums, gives the output, and the rest of `t` starts the next sums.
DISCFORGE_VECTOR_CLONES void FinishSums(const std::uint8_t* __restrict t, std::uint32_t* __restrict sums,
                std::uint8_t* __restrict out, int bytes, const ExactScale& share,
                const ExactScale& rest, const ExactScale& average)
{
    if (share.Fits32() && rest.Fits32() && average.Fits32()) {
        const std::uint32_t shareMultiplier = share.Multiplier32();
        const std::uint32_t restMultiplier = rest.Multiplier32();
        const std::uint32_t averageMultiplier = average.Multiplier32();
        const int shareShift = share.Shift();
        const int averageShift = average.Shift();
        for (int i = 0; i < bytes; ++i) {
            const std::uint32_t total = sums[i] + ((t[i] * shareMultiplier) >> shareShift);
            out[i] = static_cast<std::uint8_t>((total * averageMultiplier) >> averageShift);
            sums[i] = (t[i] * restMultiplier) >> shareShift;
        }
        return;
    }
    for (int i = 0; i < bytes; ++i) {
        const std::uint64_t total = sums[i] + share.Apply(t[i]);
        out[i] = static_cast<std::uint8_t>(average.Apply(total));
        sums[i] = static_cast<std::uint32_t>(rest.Apply(t[i]));
    }
}

// The area averages of a row from its gathered parts: the rest of the pixel
// before, the whole pixels and the share of the last pixel of each output.
DISCFORGE_VECTOR_CLONES void AverageLanes(const std::uint8_t* __restrict previous,
                                          const std::uint8_t* __restrict last,
                                          const std::uint32_t* __restrict whole,
                                          const std::uint32_t* __restrict restMultipliers,
                                          const std::uint32_t* __restrict shareMultipliers, int shift,
                                          std::uint32_t averageMultiplier, int averageShift,
                                          std::uint8_t* __restrict out, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        const std::uint32_t total = whole[i] + ((previous[i] * restMultipliers[i]) >> shift) +
                                    ((last[i] * shareMultipliers[i]) >> shift);
        out[i] = static_cast<std::uint8_t>((total * averageMultiplier) >> averageShift);
    }
}

DISCFORGE_VECTOR_CLONES void AddRow(const std::uint8_t* __restrict row, std::uint32_t* __restrict sums, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        sums[i] += row[i];
    }
}

} // namespace

ExactScale::ExactScale(std::uint64_t numerator, std::uint64_t divisor, std::uint64_t maxA)
    : numerator_(numerator), divisor_(divisor == 0 ? 1 : divisor)
{
    // The smallest shift with 2^shift >= maxA x divisor.
    const u128 bound = static_cast<u128>(maxA) * divisor_;
    if (bound > (static_cast<u128>(1) << 63)) {
        multiplies_ = false;
        fits32_ = false;
        return;
    }
    const auto bound64 = static_cast<std::uint64_t>(bound);
    shift_ = bound64 <= 1 ? 0 : 64 - __builtin_clzll(bound64 - 1);
    // Rows and columns of real pictures keep numerator x 2^shift within 64 bits.
    const u128 scaled = static_cast<u128>(numerator_) << shift_;
    const auto scaled64 = static_cast<std::uint64_t>(scaled);
    const u128 multiplier = (scaled >> 64) != 0 ? (scaled + divisor_ - 1) / divisor_
                            : scaled64 == 0    ? 0
                                               : (scaled64 - 1) / divisor_ + 1;
    const u128 largest = multiplier * maxA;
    if ((largest >> 64) != 0 || (multiplier >> 64) != 0) {
        multiplies_ = false;
        fits32_ = false;
        return;
    }
    multiplier_ = static_cast<std::uint64_t>(multiplier);
    fits32_ = (largest >> 32) == 0 && shift_ < 32;
}

void HorizontalPlan::Prepare(int n, int m)
{
    n_ = n;
    m_ = m;
    left_.clear();
    right_.clear();
    fraction_.clear();
    lanes32_ = false;
    laneMultipliers_.clear();
    shareMultipliers_.clear();
    restMultipliers_.clear();
    firstWhole_.clear();
    last_.clear();
    share_.clear();
    rest_.clear();
    if (n <= 0 || m <= 0 || n == m) {
        return;
    }
    if (n < m) {
        left_.resize(m);
        right_.resize(m);
        fraction_.resize(m);
        int t = 0;
        int a = 0;
        for (int k = 0; k < m; ++k) {
            left_[k] = a;
            // A picture of one pixel has no second pixel: it blends with itself.
            right_[k] = std::min(a + 1, n - 1);
            fraction_[k] = ExactScale(static_cast<std::uint64_t>(t), m, 255);
            t += n;
            if (t >= m) {
                t -= m;
                ++a;
            }
        }
        lanes32_ = std::all_of(fraction_.begin(), fraction_.end(), [](const ExactScale& f) { return f.Fits32(); });
        if (lanes32_) {
            laneShift_ = fraction_[0].Shift();
            laneMultipliers_.resize(static_cast<std::size_t>(m) * 4);
            for (int k = 0; k < m; ++k) {
                const std::uint32_t multiplier = fraction_[k].Multiplier32();
                lanes32_ = lanes32_ && fraction_[k].Shift() == laneShift_;
                laneMultipliers_[4 * k] = laneMultipliers_[4 * k + 1] = laneMultipliers_[4 * k + 2] = multiplier;
                laneMultipliers_[4 * k + 3] = 0;
            }
            gatheredLeft_.resize(static_cast<std::size_t>(m) * 4);
            gatheredRight_.resize(static_cast<std::size_t>(m) * 4);
        }
        return;
    }
    firstWhole_.reserve(m);
    last_.reserve(m);
    share_.reserve(m);
    rest_.reserve(m);
    int t = 0;
    int first = 0;
    for (int p = 0; p < n; ++p) {
        t += m;
        if (t < n) {
            continue;
        }
        t -= n;
        firstWhole_.push_back(first);
        last_.push_back(p);
        share_.emplace_back(static_cast<std::uint64_t>(m - t), m, 255);
        rest_.emplace_back(static_cast<std::uint64_t>(t), m, 255);
        first = p + 1;
    }
    // A sum holds the rest of one pixel, the whole pixels and a share of one more.
    const std::uint64_t wholeMost = static_cast<std::uint64_t>(n) / m + 1;
    average_ = ExactScale(m, n, 255 * (wholeMost + 2));
    PrepareReduceLanes();
}

void HorizontalPlan::PrepareReduceLanes()
{
    const int shift = share_[0].Shift();
    lanes32_ = average_.Fits32();
    for (int k = 0; k < m_ && lanes32_; ++k) {
        lanes32_ = share_[k].Fits32() && rest_[k].Fits32() && share_[k].Shift() == shift &&
                   rest_[k].Shift() == shift;
    }
    if (!lanes32_) {
        return;
    }
    laneShift_ = shift;
    const std::size_t bytes = static_cast<std::size_t>(m_) * 4;
    shareMultipliers_.assign(bytes, 0);
    restMultipliers_.assign(bytes, 0);
    wholeSums_.assign(bytes, 0);
    gatheredLeft_.assign(bytes, 0);
    gatheredRight_.assign(bytes, 0);
    for (int k = 0; k < m_; ++k) {
        for (int c = 0; c < 3; ++c) {
            shareMultipliers_[4 * k + c] = share_[k].Multiplier32();
            restMultipliers_[4 * k + c] = k > 0 ? rest_[k - 1].Multiplier32() : 0;
        }
    }
}

void HorizontalPlan::Apply(const std::uint8_t* source, std::uint8_t* destination)
{
    if (m_ <= 0) {
        return;
    }
    if (n_ <= 0) {
        std::memset(destination, 0, static_cast<std::size_t>(m_) * 4);
        return;
    }
    if (n_ == m_) {
        std::memcpy(destination, source, static_cast<std::size_t>(n_) * 4);
        return;
    }
    if (n_ < m_) {
        Enlarge(source, destination);
        return;
    }
    Reduce(source, destination);
}

void HorizontalPlan::Enlarge(const std::uint8_t* source, std::uint8_t* destination)
{
    if (lanes32_) {
        // X of the gathered pixels is 0 and its multiplier is 0, so X comes out 0.
        std::uint8_t* left = gatheredLeft_.data();
        std::uint8_t* right = gatheredRight_.data();
        for (int k = 0; k < m_; ++k) {
            Store32(left + 4 * k, Load32(source + 4 * left_[k]));
            Store32(right + 4 * k, Load32(source + 4 * right_[k]));
            left[4 * k + 3] = 0;
            right[4 * k + 3] = 0;
        }
        BlendLanes(left, right, laneMultipliers_.data(), laneShift_, destination, 4 * m_);
        return;
    }
    for (int k = 0; k < m_; ++k) {
        const std::uint32_t a = Load32(source + 4 * left_[k]);
        const std::uint32_t b = Load32(source + 4 * right_[k]);
        const ExactScale& f = fraction_[k];
        Store32(destination + 4 * k,
                Pack(Between(Channel(a, 0), Channel(b, 0), f), Between(Channel(a, 1), Channel(b, 1), f),
                     Between(Channel(a, 2), Channel(b, 2), f)));
    }
}

void HorizontalPlan::Reduce(const std::uint8_t* source, std::uint8_t* destination)
{
    if (lanes32_) {
        std::uint8_t* previous = gatheredLeft_.data();
        std::uint8_t* last = gatheredRight_.data();
        std::uint32_t* whole = wholeSums_.data();
        for (int k = 0; k < m_; ++k) {
            Store32(last + 4 * k, Load32(source + 4 * last_[k]));
            if (k > 0) {
                Store32(previous + 4 * k, Load32(source + 4 * last_[k - 1]));
            }
            std::uint32_t blue = 0;
            std::uint32_t green = 0;
            std::uint32_t red = 0;
            for (int p = firstWhole_[k]; p < last_[k]; ++p) {
                const std::uint8_t* pixel = source + 4 * p;
                blue += pixel[0];
                green += pixel[1];
                red += pixel[2];
            }
            whole[4 * k] = blue;
            whole[4 * k + 1] = green;
            whole[4 * k + 2] = red;
        }
        // X lanes have multipliers and sums of 0, so X comes out 0.
        AverageLanes(previous, last, whole, restMultipliers_.data(), shareMultipliers_.data(), laneShift_,
                     average_.Multiplier32(), average_.Shift(), destination, 4 * m_);
        return;
    }
    std::uint32_t restBlue = 0;
    std::uint32_t restGreen = 0;
    std::uint32_t restRed = 0;
    for (int k = 0; k < m_; ++k) {
        std::uint32_t blue = restBlue;
        std::uint32_t green = restGreen;
        std::uint32_t red = restRed;
        for (int p = firstWhole_[k]; p < last_[k]; ++p) {
            const std::uint8_t* pixel = source + 4 * p;
            blue += pixel[0];
            green += pixel[1];
            red += pixel[2];
        }
        const std::uint8_t* pixel = source + 4 * last_[k];
        const ExactScale& share = share_[k];
        const ExactScale& rest = rest_[k];
        std::uint8_t* out = destination + 4 * k;
        out[0] = static_cast<std::uint8_t>(average_.Apply(blue + share.Apply(pixel[0])));
        out[1] = static_cast<std::uint8_t>(average_.Apply(green + share.Apply(pixel[1])));
        out[2] = static_cast<std::uint8_t>(average_.Apply(red + share.Apply(pixel[2])));
        out[3] = 0;
        restBlue = static_cast<std::uint32_t>(rest.Apply(pixel[0]));
        restGreen = static_cast<std::uint32_t>(rest.Apply(pixel[1]));
        restRed = static_cast<std::uint32_t>(rest.Apply(pixel[2]));
    }
}

bool ScaleRows(const RescaleRows& job)
{
    const int rowBytes = 4 * job.newWidth;
    if (job.width <= 0 || job.height <= 0 || job.newWidth <= 0 || job.newHeight <= 0) {
        return true; // nothing to scale from or to: the rows stay black
    }
    HorizontalPlan plan;
    plan.Prepare(job.width, job.newWidth);
    auto resample = [&](int r, std::uint8_t* out) { plan.Apply(job.sourceRow(r), out); };
    auto stopped = [&] { return job.stop && job.stop(); };

    if (job.height == job.newHeight) {
        for (int r = 0; r < job.height; ++r) {
            if (stopped()) {
                return false;
            }
            std::uint8_t* out = job.targetRow(r);
            resample(r, out);
            if (job.maskX) {
                ClearX(out, job.newWidth);
            }
        }
        return true;
    }

    if (job.height < job.newHeight) {
        std::vector<std::uint8_t> first(rowBytes);
        std::vector<std::uint8_t> second(rowBytes);
        std::uint8_t* a = first.data();
        std::uint8_t* b = second.data();
        resample(0, a);
        resample(job.height > 1 ? 1 : 0, b);
        int next = 2;
        int t = 0;
        for (int y = 0; y < job.newHeight; ++y) {
            if (stopped()) {
                return false;
            }
            std::uint8_t* out = job.targetRow(y);
            BlendRows(a, b, out, rowBytes, ExactScale(static_cast<std::uint64_t>(t), job.newHeight, 255));
            ClearX(out, job.newWidth);
            t += job.height;
            if (t >= job.newHeight) {
                t -= job.newHeight;
                std::swap(a, b);
                if (next < job.height) {
                    resample(next++, b);
                } else {
                    std::memcpy(b, a, rowBytes);
                }
            }
        }
        return true;
    }

    std::vector<std::uint32_t> sums(rowBytes, 0);
    std::vector<std::uint8_t> row(rowBytes);
    const std::uint64_t wholeMost = static_cast<std::uint64_t>(job.height) / job.newHeight + 1;
    const ExactScale average(job.newHeight, job.height, 255 * (wholeMost + 2));
    int t = 0;
    int o = 0;
    for (int r = 0; r < job.height; ++r) {
        if (stopped()) {
            return false;
        }
        resample(r, row.data());
        t += job.newHeight;
        if (t < job.height) {
            AddRow(row.data(), sums.data(), rowBytes);
            continue;
        }
        t -= job.height;
        std::uint8_t* out = job.targetRow(o++);
        FinishSums(row.data(), sums.data(), out, rowBytes,
                   ExactScale(static_cast<std::uint64_t>(job.newHeight - t), job.newHeight, 255),
                   ExactScale(static_cast<std::uint64_t>(t), job.newHeight, 255), average);
        ClearX(out, job.newWidth);
    }
    return true;
}

} // namespace discforge
