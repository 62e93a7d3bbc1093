#include "picture/Resampler.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "picture/ResampleKernels.h"

namespace discforge {

namespace {

using u128 = unsigned __int128;

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

// a + (b - a) x t / divisor, truncated toward zero, with `scale` giving
// floor(|b - a| x t / divisor).
std::uint8_t Between(std::uint32_t a, std::uint32_t b, const ExactScale& scale)
{
    if (b >= a) {
        return static_cast<std::uint8_t>(a + scale.Apply(b - a));
    }
    return static_cast<std::uint8_t>(a - scale.Apply(a - b));
}

// The same multiplier for blue, green and red of output k, 0 for its X.
template <typename Lane>
void SetColourLanes(std::vector<Lane>& lanes, int k, Lane multiplier)
{
    lanes[4 * k] = lanes[4 * k + 1] = lanes[4 * k + 2] = multiplier;
    lanes[4 * k + 3] = 0;
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

bool Multiplier16(std::uint64_t numerator, std::uint64_t divisor, std::uint32_t maxA, std::uint16_t& multiplier)
{
    if (divisor == 0 || numerator >= divisor || maxA > 0xFFFF) {
        return false;
    }
    if (numerator == 0) {
        multiplier = 0;
        return true;
    }
    const std::uint64_t common = std::gcd(numerator, divisor);
    const std::uint64_t n = numerator / common;
    const std::uint64_t d = divisor / common;
    if (n >= (std::uint64_t{1} << 47)) {
        return false;
    }
    const std::uint64_t scaled = n << 16;
    const std::uint64_t m = scaled / d + (scaled % d != 0 ? 1 : 0);
    if (m > 0xFFFF) {
        return false;
    }
    multiplier = static_cast<std::uint16_t>(m);
    const std::uint64_t excess = m * d - scaled;
    if (excess < 0x10000 && maxA * excess < 0x10000) {
        return true;
    }
    for (std::uint64_t a = 0; a <= maxA; ++a) {
        if (((a * m) >> 16) != a * n / d) {
            return false;
        }
    }
    return true;
}

void HorizontalPlan::Prepare(int n, int m)
{
    n_ = n;
    m_ = m;
    lanes_ = Lanes::none;
    blocks_ = 0;
    takesStrips_ = false;
    left_.clear();
    right_.clear();
    fraction_.clear();
    firstWhole_.clear();
    last_.clear();
    share_.clear();
    rest_.clear();
    if (n <= 0 || m <= 0 || n == m) {
        return;
    }
    if (n < m) {
        PrepareEnlarge();
    } else {
        PrepareReduce();
    }
}

void HorizontalPlan::PrepareEnlarge()
{
    const int n = n_;
    const int m = m_;
    left_.resize(m);
    right_.resize(m);
    fraction_.resize(m);
    std::vector<std::int32_t> t(m);
    int step = 0;
    int a = 0;
    for (int k = 0; k < m; ++k) {
        left_[k] = a;
        // A picture of one pixel has no second pixel: it blends with itself.
        right_[k] = std::min(a + 1, n - 1);
        t[k] = step;
        fraction_[k] = ExactScale(static_cast<std::uint64_t>(step), m, 255);
        step += n;
        if (step >= m) {
            step -= m;
            ++a;
        }
    }
    const std::size_t bytes = static_cast<std::size_t>(m) * 4;
    gatheredLeft_.resize(bytes);
    gatheredRight_.resize(bytes);
    laneMultipliers16_.resize(bytes);
    bool lanes16 = true;
    for (int k = 0; k < m && lanes16; ++k) {
        std::uint16_t multiplier = 0;
        lanes16 = Multiplier16(static_cast<std::uint64_t>(t[k]), m, 255, multiplier);
        SetColourLanes(laneMultipliers16_, k, multiplier);
    }
    if (lanes16) {
        lanes_ = Lanes::bits16;
        PrepareEnlargeBlocks();
        return;
    }
    laneShift_ = fraction_[0].Shift();
    bool lanes32 = true;
    laneMultipliers32_.resize(bytes);
    for (int k = 0; k < m && lanes32; ++k) {
        lanes32 = fraction_[k].Fits32() && fraction_[k].Shift() == laneShift_;
        SetColourLanes(laneMultipliers32_, k, fraction_[k].Multiplier32());
    }
    lanes_ = lanes32 ? Lanes::bits32 : Lanes::none;
}

void HorizontalPlan::PrepareEnlargeBlocks()
{
    // Each output lies at most one pixel on from the one before, so 8 outputs
    // take their left pixels from 8 pixels and their right ones from the next.
    blocks_ = 0;
    while (8 * (blocks_ + 1) <= m_ && left_[8 * blocks_] + 9 <= n_) {
        ++blocks_;
    }
    blockBase_.resize(blocks_);
    blockIndex_.resize(static_cast<std::size_t>(blocks_) * 8);
    blockMultipliers_.resize(static_cast<std::size_t>(blocks_) * 32);
    for (int j = 0; j < blocks_; ++j) {
        blockBase_[j] = left_[8 * j];
        for (int i = 0; i < 8; ++i) {
            blockIndex_[8 * j + i] = left_[8 * j + i] - blockBase_[j];
        }
    }
    kernels::ArrangeBlockMultipliers(laneMultipliers16_.data(), blocks_, blockMultipliers_.data());
}

void HorizontalPlan::PrepareReduce()
{
    const int n = n_;
    const int m = m_;
    firstWhole_.reserve(m);
    last_.reserve(m);
    share_.reserve(m);
    rest_.reserve(m);
    std::vector<std::int32_t> remainders;
    remainders.reserve(m);
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
        remainders.push_back(t);
        first = p + 1;
    }
    // A sum holds the rest of one pixel, the whole pixels and a share of one more.
    const std::uint64_t wholeMost = static_cast<std::uint64_t>(n) / m + 1;
    average_ = ExactScale(m, n, 255 * (wholeMost + 2));
    // Exactly half the width is cheaper row by row, in pixel pairs.
    takesStrips_ = n != 2 * m && strips_.Prepare(n, m, firstWhole_, last_, remainders);
    if (windows_.Prepare(n, m, firstWhole_, last_, remainders)) {
        lanes_ = Lanes::windows;
        return;
    }
    const std::size_t bytes = static_cast<std::size_t>(m) * 4;
    gatheredLeft_.assign(bytes, 0);
    gatheredRight_.assign(bytes, 0);
    PrepareReduceLanes16(remainders);
    if (lanes_ == Lanes::none) {
        PrepareReduceLanes32();
    }
}

void HorizontalPlan::PrepareReduceLanes16(const std::vector<std::int32_t>& remainders)
{
    const std::uint64_t wholeMost = static_cast<std::uint64_t>(n_) / m_ + 1;
    const std::uint64_t largestTotal = 255 * (wholeMost + 2);
    if (largestTotal > 0xFFFF ||
        !Multiplier16(m_, n_, static_cast<std::uint32_t>(largestTotal), averageMultiplier16_)) {
        return;
    }
    const std::size_t bytes = static_cast<std::size_t>(m_) * 4;
    shareMultipliers16_.assign(bytes, 0);
    restMultipliers16_.assign(bytes, 0);
    wholeSums16_.assign(bytes, 0);
    wholeEnd_.resize(m_);
    for (int k = 0; k < m_; ++k) {
        const std::int32_t t = remainders[k];
        wholeEnd_[k] = last_[k] + (t == 0 ? 1 : 0);
        std::uint16_t share = 0;
        std::uint16_t rest = 0;
        if (t != 0 && (!Multiplier16(static_cast<std::uint64_t>(m_ - t), m_, 255, share) ||
                       !Multiplier16(static_cast<std::uint64_t>(t), m_, 255, rest))) {
            return;
        }
        SetColourLanes(shareMultipliers16_, k, share);
        if (k + 1 < m_) {
            SetColourLanes(restMultipliers16_, k + 1, rest);
        }
    }
    lanes_ = Lanes::bits16;
    PrepareReduceBlocks();
}

void HorizontalPlan::PrepareReduceBlocks()
{
    // More whole pixels per output than this are left to the gathering loop.
    constexpr int mostWholeSlots = 4;
    wholeSlots_ = 0;
    for (int k = 0; k < m_; ++k) {
        wholeSlots_ = std::max(wholeSlots_, wholeEnd_[k] - firstWhole_[k]);
    }
    blocks_ = wholeSlots_ <= mostWholeSlots ? m_ / 8 : 0;
    const int groups = 1 + wholeSlots_;
    blockIndex_.assign(static_cast<std::size_t>(blocks_) * 8 * groups, -1);
    for (int k = 0; k < 8 * blocks_; ++k) {
        std::int32_t* index = blockIndex_.data() + std::ptrdiff_t{8} * groups * (k / 8) + k % 8;
        index[0] = last_[k];
        for (int p = firstWhole_[k]; p < wholeEnd_[k]; ++p) {
            index[8 + 8 * (p - firstWhole_[k])] = p;
        }
    }
    std::vector<std::uint16_t> rest(static_cast<std::size_t>(blocks_) * 32);
    std::vector<std::uint16_t> share(rest.size());
    kernels::ArrangeBlockMultipliers(restMultipliers16_.data(), blocks_, rest.data());
    kernels::ArrangeBlockMultipliers(shareMultipliers16_.data(), blocks_, share.data());
    blockMultipliers_.resize(static_cast<std::size_t>(blocks_) * 64);
    for (std::ptrdiff_t j = 0; j < blocks_; ++j) {
        std::copy_n(rest.begin() + 32 * j, 32, blockMultipliers_.begin() + 64 * j);
        std::copy_n(share.begin() + 32 * j, 32, blockMultipliers_.begin() + 64 * j + 32);
    }
}

void HorizontalPlan::PrepareReduceLanes32()
{
    const int shift = share_[0].Shift();
    bool lanes32 = average_.Fits32();
    for (int k = 0; k < m_ && lanes32; ++k) {
        lanes32 = share_[k].Fits32() && rest_[k].Fits32() && share_[k].Shift() == shift &&
                  rest_[k].Shift() == shift;
    }
    if (!lanes32) {
        return;
    }
    laneShift_ = shift;
    const std::size_t bytes = static_cast<std::size_t>(m_) * 4;
    shareMultipliers32_.assign(bytes, 0);
    restMultipliers32_.assign(bytes, 0);
    wholeSums32_.assign(bytes, 0);
    for (int k = 0; k < m_; ++k) {
        SetColourLanes(shareMultipliers32_, k, share_[k].Multiplier32());
        SetColourLanes(restMultipliers32_, k, k > 0 ? rest_[k - 1].Multiplier32() : 0);
    }
    lanes_ = Lanes::bits32;
}

void HorizontalPlan::Apply(const std::uint8_t* source, std::uint8_t* destination, bool maskX)
{
    if (m_ <= 0) {
        return;
    }
    if (n_ <= 0) {
        std::memset(destination, 0, static_cast<std::size_t>(m_) * 4);
        return;
    }
    if (n_ == m_) {
        if (maskX) {
            kernels::CopyWithoutX(source, destination, n_);
        } else {
            std::memcpy(destination, source, static_cast<std::size_t>(n_) * 4);
        }
        return;
    }
    if (n_ < m_) {
        Enlarge(source, destination);
        return;
    }
    Reduce(source, destination);
}

// The pixels on both sides of every output, X cleared: with its multiplier of 0,
// X comes out 0.
void HorizontalPlan::GatherPairs(const std::uint8_t* source, int first)
{
    const std::uint8_t colour[4] = {0xFF, 0xFF, 0xFF, 0};
    const std::uint32_t mask = Load32(colour);
    std::uint8_t* left = gatheredLeft_.data();
    std::uint8_t* right = gatheredRight_.data();
    for (int k = first; k < m_; ++k) {
        Store32(left + 4 * k, Load32(source + 4 * left_[k]) & mask);
        Store32(right + 4 * k, Load32(source + 4 * right_[k]) & mask);
    }
}

void HorizontalPlan::Enlarge(const std::uint8_t* source, std::uint8_t* destination)
{
    if (lanes_ == Lanes::bits16) {
        const int first = 8 * kernels::EnlargeBlocks(source, blockBase_.data(), blockIndex_.data(),
                                                     blockMultipliers_.data(), blocks_, destination);
        GatherPairs(source, first);
        const int at = 4 * first;
        kernels::BlendLanes16(gatheredLeft_.data() + at, gatheredRight_.data() + at, laneMultipliers16_.data() + at,
                              destination + at, 4 * (m_ - first));
        return;
    }
    if (lanes_ == Lanes::bits32) {
        GatherPairs(source, 0);
        kernels::BlendLanes32(gatheredLeft_.data(), gatheredRight_.data(), laneMultipliers32_.data(), laneShift_,
                              destination, 4 * m_);
        return;
    }
    for (int k = 0; k < m_; ++k) {
        const std::uint8_t* a = source + 4 * left_[k];
        const std::uint8_t* b = source + 4 * right_[k];
        const ExactScale& f = fraction_[k];
        std::uint8_t* out = destination + 4 * k;
        for (int c = 0; c < 3; ++c) {
            out[c] = Between(a[c], b[c], f);
        }
        out[3] = 0;
    }
}

void HorizontalPlan::Reduce(const std::uint8_t* source, std::uint8_t* destination)
{
    if (lanes_ == Lanes::windows) {
        windows_.Apply(source, destination);
        return;
    }
    std::uint8_t* previous = gatheredLeft_.data();
    std::uint8_t* last = gatheredRight_.data();
    if (lanes_ == Lanes::bits16) {
        const int first = 8 * kernels::ReduceBlocks(source, blockIndex_.data(), wholeSlots_,
                                                    blockMultipliers_.data(), averageMultiplier16_, blocks_,
                                                    destination);
        std::uint16_t* whole = wholeSums16_.data();
        for (int k = first; k < m_; ++k) {
            Store32(last + 4 * k, Load32(source + 4 * last_[k]));
            if (k > 0) {
                Store32(previous + 4 * k, Load32(source + 4 * last_[k - 1]));
            }
            std::uint16_t blue = 0;
            std::uint16_t green = 0;
            std::uint16_t red = 0;
            for (int p = firstWhole_[k]; p < wholeEnd_[k]; ++p) {
                const std::uint8_t* pixel = source + 4 * p;
                blue = static_cast<std::uint16_t>(blue + pixel[0]);
                green = static_cast<std::uint16_t>(green + pixel[1]);
                red = static_cast<std::uint16_t>(red + pixel[2]);
            }
            whole[4 * k] = blue;
            whole[4 * k + 1] = green;
            whole[4 * k + 2] = red;
        }
        // X lanes have multipliers and sums of 0, so X comes out 0.
        const int at = 4 * first;
        kernels::AverageLanes16(previous + at, last + at, whole + at, restMultipliers16_.data() + at,
                                shareMultipliers16_.data() + at, averageMultiplier16_, destination + at,
                                4 * (m_ - first));
        return;
    }
    if (lanes_ == Lanes::bits32) {
        std::uint32_t* whole = wholeSums32_.data();
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
        kernels::AverageLanes32(previous, last, whole, restMultipliers32_.data(), shareMultipliers32_.data(),
                                laneShift_, average_.Multiplier32(), average_.Shift(), destination, 4 * m_);
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

} // namespace discforge
