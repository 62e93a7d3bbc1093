#include "app/DiscPlan.h"

#include "app/PlanMessages.h"
#include "core/TextFormat.h"

#include <algorithm>
#include <cmath>

namespace discforge {
namespace {

// The multiplex figures were measured on 20 s of noisy 4:2:0 pictures with the
// disc's sound at two video rates each, solving for the share of every byte and
// the bytes of every second. A VCD's stream runs at 75 Form 2 sectors a second
// whatever it holds.
constexpr double dvdMuxFraction = 0.0116;
constexpr std::int64_t dvdMuxBytesPerSecond = 7040;
constexpr double svcdMuxFraction = 0.0114;
constexpr std::int64_t svcdMuxBytesPerSecond = 690;
constexpr std::int64_t vcdFileBytesPerSecond = 75 * 2324;

// The IFO and BUP files of the video manager and of a title set or two, and each
// title's cells; a VCD or SVCD image's ISO area and each track's gaps of 150 sectors.
constexpr std::int64_t dvdAuthoringBytes = 256 * 1024;
constexpr std::int64_t dvdAuthoringBytesPerInput = 16 * 1024;
constexpr std::int64_t cdAuthoringBytes = 600 * 2324;
constexpr std::int64_t cdAuthoringBytesPerInput = 150 * 2324;

// An average of 8 Mbit/s leaves the DVD's peaks room below 9.7; below 2.5 Mbit/s a
// full-width DVD frame, and below 1.5 an SVCD one, turns to blocks.
constexpr std::int64_t dvdHighestVideoRate = 8000000;
constexpr std::int64_t dvdLowestVideoRate = 2500000;
constexpr std::int64_t svcdLowestVideoRate = 1500000;
// Measured on 60 s of PAL pictures (bench/halfwidth): a slow pan over a photograph
// looks better at full width down to 1 Mbit/s, but a Mandelbrot zoom's fine detail
// cannot be coded at full width within 2.5 Mbit/s at all, and at 3 it still beats
// the half width; so the full width holds to its own lowest rate and only a batch
// beyond it takes the half width. There each of the 352 columns gets the bits a
// full-width column gets at 2.5 Mbit/s, and both sources lose under a decibel
// against 2 Mbit/s at half width.
constexpr std::int64_t dvdHalfWidthBelow = dvdLowestVideoRate;
constexpr std::int64_t dvdHalfWidthLowestRate = 1250000;

double TotalSeconds(const std::vector<PlanInput>& inputs)
{
    double seconds = 0;
    for (const PlanInput& input : inputs) {
        seconds += input.seconds;
    }
    return seconds;
}

std::int64_t AuthoringBytes(const PlanLimits& limits, std::size_t inputs)
{
    return limits.authoringBytes + limits.authoringBytesPerInput * static_cast<std::int64_t>(inputs);
}

std::int64_t BatchBytes(const PlanLimits& limits, const std::vector<PlanInput>& inputs, std::int64_t videoBitRate)
{
    std::int64_t bytes = AuthoringBytes(limits, inputs.size());
    for (const PlanInput& input : inputs) {
        bytes += StreamBytes(limits, input, videoBitRate);
    }
    return bytes;
}

// The one video rate at which the batch's streams fill the room exactly.
std::int64_t FillingRate(const PlanLimits& limits, const std::vector<PlanInput>& inputs, std::int64_t room)
{
    double sound = 0;
    double seconds = 0;
    double fixed = 0;
    for (const PlanInput& input : inputs) {
        sound += static_cast<double>(input.soundBitRate) / 8 * input.seconds;
        seconds += input.seconds;
        fixed += static_cast<double>(limits.muxBytesPerSecond) * input.seconds;
    }
    if (seconds <= 0) {
        return limits.highestVideoRate;
    }
    const double payload = (static_cast<double>(room) - fixed) / (1 + limits.muxFraction);
    return static_cast<std::int64_t>(std::floor((payload - sound) * 8 / seconds));
}

} // namespace

PlanLimits PlanLimitsFor(const DiscFormat& disc)
{
    PlanLimits limits;
    switch (disc.format) {
    case formatDvd:
        limits.lowestVideoRate = disc.halfWidth ? dvdHalfWidthLowestRate : dvdLowestVideoRate;
        limits.highestVideoRate = std::min(dvdHighestVideoRate, disc.videoMaxRate);
        limits.halfWidthBelow = disc.halfWidth ? 0 : dvdHalfWidthBelow;
        limits.muxFraction = dvdMuxFraction;
        limits.muxBytesPerSecond = dvdMuxBytesPerSecond;
        limits.authoringBytes = dvdAuthoringBytes;
        limits.authoringBytesPerInput = dvdAuthoringBytesPerInput;
        break;
    case formatSvcd:
        limits.lowestVideoRate = svcdLowestVideoRate;
        limits.highestVideoRate = disc.videoMaxRate;
        limits.muxFraction = svcdMuxFraction;
        limits.muxBytesPerSecond = svcdMuxBytesPerSecond;
        limits.authoringBytes = cdAuthoringBytes;
        limits.authoringBytesPerInput = cdAuthoringBytesPerInput;
        break;
    default:
        limits.lowestVideoRate = disc.videoBitRate;
        limits.highestVideoRate = disc.videoBitRate;
        limits.constantRate = true;
        limits.muxBytesPerSecond = vcdFileBytesPerSecond - (disc.videoBitRate + disc.soundBitRate) / 8;
        limits.authoringBytes = cdAuthoringBytes;
        limits.authoringBytesPerInput = cdAuthoringBytesPerInput;
        break;
    }
    return limits;
}

std::int64_t StreamBytes(const PlanLimits& limits, const PlanInput& input, std::int64_t videoBitRate)
{
    const double payload = static_cast<double>(videoBitRate + input.soundBitRate) / 8 * input.seconds;
    return static_cast<std::int64_t>(std::llround(
        payload * (1 + limits.muxFraction) + static_cast<double>(limits.muxBytesPerSecond) * input.seconds));
}

namespace {

// The plan at one frame of the disc.
DiscPlan PlanFrame(const DiscFormat& disc, const DiscSize& size, const std::vector<PlanInput>& inputs)
{
    const PlanLimits limits = PlanLimitsFor(disc);
    DiscPlan plan;
    plan.capacityBytes = DiscCapacityBytes(size);
    const double seconds = TotalSeconds(inputs);
    plan.batchMinutes = static_cast<int>(std::ceil(seconds / 60));

    const std::int64_t lowestBytes = BatchBytes(limits, inputs, limits.lowestVideoRate);
    const std::int64_t room = plan.capacityBytes - AuthoringBytes(limits, inputs.size());
    const double lowestPerSecond
        = seconds > 0 ? static_cast<double>(lowestBytes - AuthoringBytes(limits, inputs.size())) / seconds : 0;
    plan.fittingMinutes = lowestPerSecond > 0 && room > 0
        ? static_cast<int>(std::floor(static_cast<double>(room) / lowestPerSecond / 60))
        : 0;

    std::int64_t rate = limits.constantRate ? limits.lowestVideoRate : FillingRate(limits, inputs, room);
    rate = std::min(rate, limits.highestVideoRate);
    plan.fits = lowestBytes <= plan.capacityBytes && rate >= limits.lowestVideoRate;
    if (!plan.fits) {
        plan.videoBitRate = limits.lowestVideoRate;
        plan.totalBytes = lowestBytes;
        const double perDisc = std::max<double>(static_cast<double>(room), 1);
        plan.discsNeeded = static_cast<int>(std::ceil(static_cast<double>(lowestBytes) / perDisc));
        plan.discsNeeded = std::max(plan.discsNeeded, 2);
        return plan;
    }
    plan.videoBitRate = rate;
    for (const PlanInput& input : inputs) {
        plan.plannedBytes.push_back(StreamBytes(limits, input, rate));
    }
    plan.totalBytes = BatchBytes(limits, inputs, rate);
    return plan;
}

} // namespace

DiscPlan PlanDisc(const DiscFormat& disc, const DiscSize& size, const std::vector<PlanInput>& inputs)
{
    const DiscPlan usual = PlanFrame(disc, size, inputs);
    const DiscFormat* half = FindHalfWidthFormat(disc.format, disc.standard);
    if (half == nullptr || disc.halfWidth || (usual.fits && usual.videoBitRate >= PlanLimitsFor(disc).halfWidthBelow)) {
        return usual;
    }
    DiscPlan narrow = PlanFrame(*half, size, inputs);
    narrow.halfWidth = true;
    return narrow;
}

std::string RefusalMessage(const DiscPlan& plan, const DiscSize& size)
{
    return FormatText(plan_message::doesNotFit, plan.fittingMinutes, DiscSizeName(size).c_str(), plan.batchMinutes);
}

} // namespace discforge
