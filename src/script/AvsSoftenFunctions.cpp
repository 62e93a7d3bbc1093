// The thresholded softeners: TemporalSoften averages each pixel with the same
// pixel of the frames around it, SpatialSoften with the pixels around it, in
// both cases only with those that differ from it by no more than a threshold,
// so that noise goes and edges and scene cuts stay.
#include "script/AvsClipChecks.h"
#include "script/AvsFilterText.h"
#include "script/AvsFunctions.h"

#include <algorithm>
#include <cstdio>

namespace discforge {
namespace {

// atadenoise compares a pixel's difference with its threshold A times the
// plane's value range (256 at 8 bits) less one: t + 1 over 256 stands for
// a difference of at most t. The filter takes no more than 0.3 (t = 75).
std::string TemporalThreshold(std::int64_t threshold)
{
    return Decimal<6>(std::min(0.3, static_cast<double>(threshold + 1) / 256));
}

// TemporalSoften(radius, luma_threshold, chroma_threshold [, scenechange, mode]):
// atadenoise over the 2 x radius + 1 frames centred on each (five at least,
// the fewest the filter takes; it averages only the like pixels of them),
// its sum limit B at its most so that each pixel is judged alone. A scene cut
// is a difference beyond the threshold already, so scenechange adds nothing,
// and both modes mean the same here.
bool TemporalSoften(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    if (!Picture(call, clip)) {
        return false;
    }
    const std::int64_t radius = call.Int(1, 0);
    const std::int64_t luma = call.Int(2, 0);
    const std::int64_t chroma = call.Int(3, 0);
    if (radius < 0 || radius > 7) {
        return call.Fail("the radius must be between 0 and 7");
    }
    if (luma < 0 || luma > 255 || chroma < 0 || chroma > 255) {
        return call.Fail("the thresholds must be between 0 and 255");
    }
    const std::int64_t mode = call.Int(5, 2);
    if (mode != 1 && mode != 2) {
        return call.Fail("the mode must be 1 or 2");
    }
    if (radius == 0 || (luma == 0 && chroma == 0)) {
        result = clip;
        return true;
    }
    // An RGB clip has no luma: its three planes all take the luma threshold.
    const std::int64_t second = IsRgb(clip) ? luma : chroma;
    const std::string planes[3] = {TemporalThreshold(luma), TemporalThreshold(second), TemporalThreshold(second)};
    // Frames past the end count as the last, and they make the filter give
    // its last frames before the stream ends, which it may not do otherwise.
    const std::int64_t span = std::max<std::int64_t>(5, 2 * radius + 1);
    std::string filter = "tpad=stop=" + Number(span) + ":stop_mode=clone,atadenoise=s=" + Number(span);
    for (int p = 0; p < 3; ++p) {
        filter += ":" + Number(p) + "a=" + planes[p] + ":" + Number(p) + "b=5";
    }
    filter += ",trim=end_frame=" + Number(clip.frames);
    clip.videoPad = call.Graph().Chain(clip.videoPad, filter);
    result = clip;
    return true;
}

// SpatialSoften(radius, luma_threshold, chroma_threshold): smartblur, whose
// Gaussian of `radius` blurs only where the picture differs from the blurred
// picture by less than the threshold. Its thresholds end at 30; a threshold of
// 0 leaves a plane as it is, as the softener does.
bool SpatialSoften(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    if (!Picture(call, clip)) {
        return false;
    }
    if (IsRgb(clip)) {
        return call.Fail("the clip must be YUV (ConvertToYV12 or ConvertToYUY2 first)");
    }
    const std::int64_t radius = call.Int(1, 0);
    const std::int64_t luma = call.Int(2, 0);
    const std::int64_t chroma = call.Int(3, 0);
    if (radius < 0 || radius > 5) {
        return call.Fail("the radius must be between 0 and 5");
    }
    if (luma < 0 || luma > 255 || chroma < 0 || chroma > 255) {
        return call.Fail("the thresholds must be between 0 and 255");
    }
    if (radius == 0 || (luma == 0 && chroma == 0)) {
        result = clip;
        return true;
    }
    const std::string r = Number(radius);
    const auto plane = [&r](const char* name, std::int64_t threshold) {
        const std::string t = Number(std::min<std::int64_t>(threshold, 30));
        return std::string(name) + "_radius=" + r + ":" + name + "_strength=" + (threshold > 0 ? "1" : "0") + ":" + name
            + "_threshold=" + t;
    };
    clip.videoPad
        = call.Graph().Chain(clip.videoPad, "smartblur=" + plane("luma", luma) + ":" + plane("chroma", chroma));
    result = clip;
    return true;
}

constexpr AvsFunction softenFunctions[] = {
    {"TemporalSoften", "c radius:i luma_threshold:i chroma_threshold:i [scenechange:i] [mode:i]", TemporalSoften},
    {"SpatialSoften", "c radius:i luma_threshold:i chroma_threshold:i", SpatialSoften},
    {nullptr, nullptr, nullptr},
};

} // namespace

const AvsFunction* AvsSoftenFunctions() { return softenFunctions; }

} // namespace discforge
