// The resizes, each on the nearest kernel FFmpeg's scalers have: swscale's
// point, bilinear, bicubic (with its b and c), lanczos (with its taps),
// gauss, sinc and spline; zscale's spline16 and spline36.
#include "script/AvsFilterText.h"
#include "script/AvsFunctions.h"

#include <cmath>
#include <cstdio>

namespace discforge {
namespace {

std::string FixedDecimal(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", value);
    return text;
}

std::string Shortest(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

// The part of the picture a resize reads. The whole pixels that hold it are
// cut out first, as Crop does. Neither scaler can start between two pixels,
// so a window in fractions of a pixel is then laid over whole pixels by
// perspective (linear for the point and bilinear kernels, cubic for the
// others): moved by its fraction and, when its size is not whole, stretched
// to the next whole size, which the kernel then scales. perspective's output
// pixel i samples x0 + i * (x1 - x0) / w of its input of width w.
bool SourceWindow(AvsCall& call, std::size_t first, bool linear, AvsClip& clip)
{
    if (!call.Given(first) && !call.Given(first + 1) && !call.Given(first + 2) && !call.Given(first + 3)) {
        return true;
    }
    double window[4];
    for (std::size_t i = 0; i < 4; ++i) {
        window[i] = call.Number(first + i, 0);
        if (!(std::fabs(window[i]) <= 16384)) {
            return call.Fail("the source window lies outside the picture");
        }
    }
    const double left = window[0];
    const double top = window[1];
    const double width = window[2] + (window[2] <= 0 ? clip.width - left : 0);
    const double height = window[3] + (window[3] <= 0 ? clip.height - top : 0);
    if (left < 0 || top < 0 || width <= 0 || height <= 0 || left + width > clip.width || top + height > clip.height) {
        return call.Fail("the source window " + Shortest(width) + "x" + Shortest(height) + " at " + Shortest(left) + ","
            + Shortest(top) + " does not lie inside the " + Number(clip.width) + "x" + Number(clip.height)
            + " picture");
    }
    const auto x = static_cast<std::int64_t>(std::floor(left));
    const auto y = static_cast<std::int64_t>(std::floor(top));
    const std::int64_t cutWidth = static_cast<std::int64_t>(std::ceil(left + width)) - x;
    const std::int64_t cutHeight = static_cast<std::int64_t>(std::ceil(top + height)) - y;
    std::string filter
        = "crop=w=" + Number(cutWidth) + ":h=" + Number(cutHeight) + ":x=" + Number(x) + ":y=" + Number(y) + ":exact=1";
    const double offsetX = left - static_cast<double>(x);
    const double offsetY = top - static_cast<double>(y);
    const auto keptWidth = static_cast<std::int64_t>(std::ceil(width));
    const auto keptHeight = static_cast<std::int64_t>(std::ceil(height));
    if (offsetX != 0 || offsetY != 0 || width != static_cast<double>(keptWidth)
        || height != static_cast<double>(keptHeight)) {
        // Kept pixel i has its centre at offset + (i + 0.5) x width / kept in the cut.
        const double stepX = width / static_cast<double>(keptWidth);
        const double stepY = height / static_cast<double>(keptHeight);
        const double x0 = offsetX + 0.5 * stepX - 0.5;
        const double y0 = offsetY + 0.5 * stepY - 0.5;
        const std::string l = Shortest(x0);
        const std::string r = Shortest(x0 + stepX * static_cast<double>(cutWidth));
        const std::string t = Shortest(y0);
        const std::string b = Shortest(y0 + stepY * static_cast<double>(cutHeight));
        filter += ",perspective=x0=" + l + ":y0=" + t + ":x1=" + r + ":y1=" + t + ":x2=" + l + ":y2=" + b + ":x3=" + r
            + ":y3=" + b + ":sense=source:interpolation=" + (linear ? "linear" : "cubic")
            + ",crop=w=" + Number(keptWidth) + ":h=" + Number(keptHeight) + ":x=0:y=0:exact=1";
    }
    clip.videoPad = call.Graph().Chain(clip.videoPad, filter);
    clip.width = static_cast<int>(keptWidth);
    clip.height = static_cast<int>(keptHeight);
    return true;
}

// `scaler` is a whole filter but for its size ("scale=flags=..." or
// "zscale=filter=..."); `window` is the index of src_left.
bool Resize(AvsCall& call, AvsValue& result, const std::string& scaler, std::size_t window)
{
    AvsClip clip = call.Clip(0);
    if (!clip.hasVideo) {
        return call.Fail("the clip has no picture");
    }
    const std::int64_t width = call.Int(1, 0);
    const std::int64_t height = call.Int(2, 0);
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) {
        return call.Fail("the size " + Number(width) + "x" + Number(height) + " is out of range");
    }
    const bool linear = scaler.find("neighbor") != std::string::npos || scaler.find("bilinear") != std::string::npos;
    if (!SourceWindow(call, window, linear, clip)) {
        return false;
    }
    clip.videoPad = call.Graph().Chain(clip.videoPad, scaler + ":w=" + Number(width) + ":h=" + Number(height));
    clip.width = static_cast<int>(width);
    clip.height = static_cast<int>(height);
    result = clip;
    return true;
}

bool Taps(AvsCall& call, std::size_t index, std::int64_t fallback, std::int64_t& taps)
{
    taps = call.Int(index, fallback);
    return (taps >= 1 && taps <= 100) || call.Fail("taps must be between 1 and 100");
}

bool PointResize(AvsCall& call, AvsValue& result) { return Resize(call, result, "scale=flags=neighbor", 3); }
bool BilinearResize(AvsCall& call, AvsValue& result) { return Resize(call, result, "scale=flags=bilinear", 3); }

// b and c are the two parameters of the cubic (1/3 each unless given).
bool BicubicResize(AvsCall& call, AvsValue& result)
{
    const double b = call.Number(3, 1.0 / 3);
    const double c = call.Number(4, 1.0 / 3);
    if (!(std::fabs(b) <= 100 && std::fabs(c) <= 100)) {
        return call.Fail("b and c must lie between -100 and 100");
    }
    return Resize(call, result, "scale=flags=bicubic:param0=" + FixedDecimal(b) + ":param1=" + FixedDecimal(c), 5);
}

bool LanczosResize(AvsCall& call, AvsValue& result)
{
    std::int64_t taps = 0;
    return Taps(call, 7, 3, taps) && Resize(call, result, "scale=flags=lanczos:param0=" + Number(taps), 3);
}

bool Lanczos4Resize(AvsCall& call, AvsValue& result) { return Resize(call, result, "scale=flags=lanczos:param0=4", 3); }

// swscale has no Blackman window; lanczos with the same taps is its nearest.
bool BlackmanResize(AvsCall& call, AvsValue& result)
{
    std::int64_t taps = 0;
    return Taps(call, 7, 4, taps) && Resize(call, result, "scale=flags=lanczos:param0=" + Number(taps), 3);
}

// swscale's sinc has a fixed width; the taps are checked and left unused.
bool SincResize(AvsCall& call, AvsValue& result)
{
    std::int64_t taps = 0;
    return Taps(call, 7, 4, taps) && Resize(call, result, "scale=flags=sinc", 3);
}

// p (1 to 100) is the curve's sharpness in tenths, as swscale's parameter is in units.
bool GaussResize(AvsCall& call, AvsValue& result)
{
    const double p = call.Number(7, 30);
    if (!(p >= 1 && p <= 100)) {
        return call.Fail("p must be between 1 and 100");
    }
    return Resize(call, result, "scale=flags=gauss:param0=" + FixedDecimal(p / 10), 3);
}

bool Spline16Resize(AvsCall& call, AvsValue& result) { return Resize(call, result, "zscale=filter=spline16", 3); }
bool Spline36Resize(AvsCall& call, AvsValue& result) { return Resize(call, result, "zscale=filter=spline36", 3); }
// zscale's splines stop at 36 taps; swscale's natural spline is the nearest to 64.
bool Spline64Resize(AvsCall& call, AvsValue& result) { return Resize(call, result, "scale=flags=spline", 3); }

#define DISCFORGE_WINDOW "[src_left:f] [src_top:f] [src_width:f] [src_height:f]"

constexpr AvsFunction resizeFunctions[] = {
    {"PointResize", "c target_width:i target_height:i " DISCFORGE_WINDOW, PointResize},
    {"BilinearResize", "c target_width:i target_height:i " DISCFORGE_WINDOW, BilinearResize},
    {"BicubicResize", "c target_width:i target_height:i [b:f] [c:f] " DISCFORGE_WINDOW, BicubicResize},
    {"LanczosResize", "c target_width:i target_height:i " DISCFORGE_WINDOW " [taps:i]", LanczosResize},
    {"Lanczos4Resize", "c target_width:i target_height:i " DISCFORGE_WINDOW, Lanczos4Resize},
    {"BlackmanResize", "c target_width:i target_height:i " DISCFORGE_WINDOW " [taps:i]", BlackmanResize},
    {"SincResize", "c target_width:i target_height:i " DISCFORGE_WINDOW " [taps:i]", SincResize},
    {"GaussResize", "c target_width:i target_height:i " DISCFORGE_WINDOW " [p:f]", GaussResize},
    {"Spline16Resize", "c target_width:i target_height:i " DISCFORGE_WINDOW, Spline16Resize},
    {"Spline36Resize", "c target_width:i target_height:i " DISCFORGE_WINDOW, Spline36Resize},
    {"Spline64Resize", "c target_width:i target_height:i " DISCFORGE_WINDOW, Spline64Resize},
    {nullptr, nullptr, nullptr},
};

#undef DISCFORGE_WINDOW

} // namespace

const AvsFunction* AvsResizeFunctions() { return resizeFunctions; }

} // namespace discforge
