// Functions that change the picture: cropping, borders, resizing, flips and
// turns, colour formats, and subtitles.
#include "script/AvsFunctions.h"

#include <cmath>

namespace discforge {
namespace {

std::string Number(std::int64_t value) { return std::to_string(value); }

std::string Colour(std::int64_t rgb)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(rgb & 0xFFFFFF));
    return text;
}

bool Picture(AvsCall& call, AvsClip& clip)
{
    clip = call.Clip(0);
    return clip.hasVideo || call.Fail("the clip has no picture");
}

// Crop(left, top, width, height): a width or height of 0 or less counts from
// the right or bottom edge.
bool Crop(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    if (!Picture(call, clip)) {
        return false;
    }
    const std::int64_t left = call.Int(1, 0);
    const std::int64_t top = call.Int(2, 0);
    std::int64_t width = call.Int(3, 0);
    std::int64_t height = call.Int(4, 0);
    if (width <= 0) {
        width = clip.width - left + width;
    }
    if (height <= 0) {
        height = clip.height - top + height;
    }
    if (left < 0 || top < 0 || width <= 0 || height <= 0 || left + width > clip.width || top + height > clip.height) {
        return call.Fail("the area " + Number(width) + "x" + Number(height) + " at " + Number(left) + "," + Number(top)
            + " does not lie inside the " + Number(clip.width) + "x" + Number(clip.height) + " picture");
    }
    clip.videoPad = call.Graph().Chain(clip.videoPad,
        "crop=w=" + Number(width) + ":h=" + Number(height) + ":x=" + Number(left) + ":y=" + Number(top) + ":exact=1");
    clip.width = static_cast<int>(width);
    clip.height = static_cast<int>(height);
    result = clip;
    return true;
}

bool AddBorders(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    if (!Picture(call, clip)) {
        return false;
    }
    const std::int64_t left = call.Int(1, 0);
    const std::int64_t top = call.Int(2, 0);
    const std::int64_t right = call.Int(3, 0);
    const std::int64_t bottom = call.Int(4, 0);
    const std::int64_t width = clip.width + left + right;
    const std::int64_t height = clip.height + top + bottom;
    if (left < 0 || top < 0 || right < 0 || bottom < 0 || width > 16384 || height > 16384) {
        return call.Fail("the borders must be between 0 and the largest picture size");
    }
    clip.videoPad = call.Graph().Chain(clip.videoPad,
        "pad=w=" + Number(width) + ":h=" + Number(height) + ":x=" + Number(left) + ":y=" + Number(top)
            + ":color=" + Colour(call.Int(5, 0)));
    clip.width = static_cast<int>(width);
    clip.height = static_cast<int>(height);
    result = clip;
    return true;
}

// The part of the picture a resize reads: whole pixels only, since the
// scaler cannot start between two. Cut out first, as Crop does.
bool SourceWindow(AvsCall& call, std::size_t first, AvsClip& clip)
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
        if (window[i] != std::floor(window[i])) {
            return call.Fail("a source window in fractions of a pixel is not supported; give whole pixels");
        }
    }
    const auto left = static_cast<std::int64_t>(window[0]);
    const auto top = static_cast<std::int64_t>(window[1]);
    const auto width = static_cast<std::int64_t>(window[2]) + (window[2] <= 0 ? clip.width - left : 0);
    const auto height = static_cast<std::int64_t>(window[3]) + (window[3] <= 0 ? clip.height - top : 0);
    if (left < 0 || top < 0 || width <= 0 || height <= 0 || left + width > clip.width || top + height > clip.height) {
        return call.Fail("the source window " + Number(width) + "x" + Number(height) + " at " + Number(left) + ","
            + Number(top) + " does not lie inside the " + Number(clip.width) + "x" + Number(clip.height) + " picture");
    }
    clip.videoPad = call.Graph().Chain(clip.videoPad,
        "crop=w=" + Number(width) + ":h=" + Number(height) + ":x=" + Number(left) + ":y=" + Number(top) + ":exact=1");
    clip.width = static_cast<int>(width);
    clip.height = static_cast<int>(height);
    return true;
}

// `window` is the index of src_left; src_top, src_width and src_height follow it.
bool Resize(AvsCall& call, AvsValue& result, const std::string& flags, std::size_t window)
{
    AvsClip clip;
    if (!Picture(call, clip)) {
        return false;
    }
    const std::int64_t width = call.Int(1, 0);
    const std::int64_t height = call.Int(2, 0);
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) {
        return call.Fail("the size " + Number(width) + "x" + Number(height) + " is out of range");
    }
    if (!SourceWindow(call, window, clip)) {
        return false;
    }
    clip.videoPad
        = call.Graph().Chain(clip.videoPad, "scale=w=" + Number(width) + ":h=" + Number(height) + ":flags=" + flags);
    clip.width = static_cast<int>(width);
    clip.height = static_cast<int>(height);
    result = clip;
    return true;
}

bool BilinearResize(AvsCall& call, AvsValue& result) { return Resize(call, result, "bilinear", 3); }
bool PointResize(AvsCall& call, AvsValue& result) { return Resize(call, result, "neighbor", 3); }
bool LanczosResize(AvsCall& call, AvsValue& result)
{
    const std::int64_t taps = call.Int(7, 3);
    if (taps < 1 || taps > 100) {
        return call.Fail("taps must be between 1 and 100");
    }
    return Resize(call, result, "lanczos:param0=" + Number(taps), 3);
}

// b and c are the two parameters of the cubic (1/3 each unless given).
bool BicubicResize(AvsCall& call, AvsValue& result)
{
    const double b = call.Number(3, 1.0 / 3);
    const double c = call.Number(4, 1.0 / 3);
    char flags[64];
    std::snprintf(flags, sizeof flags, "bicubic:param0=%.6f:param1=%.6f", b, c);
    return Resize(call, result, flags, 5);
}

bool Simple(AvsCall& call, AvsValue& result, const char* filter, bool turns)
{
    AvsClip clip;
    if (!Picture(call, clip)) {
        return false;
    }
    clip.videoPad = call.Graph().Chain(clip.videoPad, filter);
    if (turns) {
        std::swap(clip.width, clip.height);
    }
    result = clip;
    return true;
}

bool FlipVertical(AvsCall& call, AvsValue& result) { return Simple(call, result, "vflip", false); }
bool FlipHorizontal(AvsCall& call, AvsValue& result) { return Simple(call, result, "hflip", false); }
bool TurnLeft(AvsCall& call, AvsValue& result) { return Simple(call, result, "transpose=dir=cclock", true); }
bool TurnRight(AvsCall& call, AvsValue& result) { return Simple(call, result, "transpose=dir=clock", true); }
bool Turn180(AvsCall& call, AvsValue& result) { return Simple(call, result, "hflip,vflip", false); }

// The colour formats keep their layout: planar 4:2:0 and 4:2:2 need even sides.
bool Format(AvsCall& call, AvsValue& result, const char* format, AvsPixelType type)
{
    AvsClip clip;
    if (!Picture(call, clip)) {
        return false;
    }
    const bool evenWidth = type == AvsPixelType::Yv12 || type == AvsPixelType::Yuy2;
    const bool evenHeight = type == AvsPixelType::Yv12;
    if ((evenWidth && clip.width % 2 != 0) || (evenHeight && clip.height % 2 != 0)) {
        return call.Fail("the picture size " + Number(clip.width) + "x" + Number(clip.height)
            + " must be even for this colour format");
    }
    clip.videoPad = call.Graph().Chain(clip.videoPad, std::string("format=pix_fmts=") + format);
    clip.pixelType = type;
    result = clip;
    return true;
}

bool ConvertToRgb24(AvsCall& call, AvsValue& result) { return Format(call, result, "bgr24", AvsPixelType::Rgb24); }
bool ConvertToRgb32(AvsCall& call, AvsValue& result) { return Format(call, result, "bgra", AvsPixelType::Rgb32); }
bool ConvertToRgb(AvsCall& call, AvsValue& result) { return Format(call, result, "bgra", AvsPixelType::Rgb32); }
bool ConvertToYv12(AvsCall& call, AvsValue& result) { return Format(call, result, "yuv420p", AvsPixelType::Yv12); }
bool ConvertToYuy2(AvsCall& call, AvsValue& result) { return Format(call, result, "yuyv422", AvsPixelType::Yuy2); }

// Plain text in one line, drawn from first_frame to last_frame; the font is
// found by name through fontconfig.
bool Subtitle(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    if (!Picture(call, clip)) {
        return false;
    }
    const std::string text = call.String(1, "");
    const double size = call.Number(7, 18);
    if (!(size > 0 && size <= 1000)) {
        return call.Fail("the size must be between 0 and 1000");
    }
    const std::int64_t first = call.Int(4, 0);
    const std::int64_t last = call.Int(5, clip.frames - 1);
    char numbers[160];
    std::snprintf(
        numbers, sizeof numbers, ":x=%.3f:y=%.3f:fontsize=%.3f", call.Number(2, 8), call.Number(3, size), size);
    clip.videoPad = call.Graph().Chain(clip.videoPad,
        "drawtext=expansion=none:text=" + AvsFilterValue(text) + ":font=" + AvsFilterValue(call.String(6, "Arial"))
            + numbers + ":fontcolor=" + Colour(call.Int(8, 0xFFFF00))
            + ":borderw=1:bordercolor=" + Colour(call.Int(9, 0))
            + ":enable=" + AvsFilterValue("between(n," + Number(first) + "," + Number(last) + ")"));
    result = clip;
    return true;
}

constexpr AvsFunction pictureFunctions[] = {
    {"Crop", "c left:i top:i width:i height:i", Crop},
    {"AddBorders", "c left:i top:i right:i bottom:i [color:i]", AddBorders},
    {"BilinearResize", "c target_width:i target_height:i [src_left:f] [src_top:f] [src_width:f] [src_height:f]",
        BilinearResize},
    {"BicubicResize",
        "c target_width:i target_height:i [b:f] [c:f] [src_left:f] [src_top:f] [src_width:f] [src_height:f]",
        BicubicResize},
    {"LanczosResize", "c target_width:i target_height:i [src_left:f] [src_top:f] [src_width:f] [src_height:f] [taps:i]",
        LanczosResize},
    {"PointResize", "c target_width:i target_height:i [src_left:f] [src_top:f] [src_width:f] [src_height:f]",
        PointResize},
    {"FlipVertical", "c", FlipVertical},
    {"FlipHorizontal", "c", FlipHorizontal},
    {"TurnLeft", "c", TurnLeft},
    {"TurnRight", "c", TurnRight},
    {"Turn180", "c", Turn180},
    {"ConvertToRGB", "c", ConvertToRgb},
    {"ConvertToRGB24", "c", ConvertToRgb24},
    {"ConvertToRGB32", "c", ConvertToRgb32},
    {"ConvertToYV12", "c", ConvertToYv12},
    {"ConvertToYUY2", "c", ConvertToYuy2},
    {"Subtitle",
        "c text:s [x:f] [y:f] [first_frame:i] [last_frame:i] [font:s] [size:f] [text_color:i] "
        "[halo_color:i]",
        Subtitle},
    {nullptr, nullptr, nullptr},
};

} // namespace

const AvsFunction* AvsPictureFunctions() { return pictureFunctions; }

} // namespace discforge
