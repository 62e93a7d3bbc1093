// Functions that change the picture: cropping, borders, flips and turns,
// colour formats, and subtitles.
#include "script/AvsClipChecks.h"
#include "script/AvsFilterText.h"
#include "script/AvsFunctions.h"

#include <cmath>

namespace discforge {
namespace {

std::string Colour(std::int64_t rgb)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(rgb & 0xFFFFFF));
    return text;
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

// Where the text goes: align is a key of the number pad (7 top left, 5 the
// middle, 3 bottom right) saying which point of the text lies at x, y; each
// of x and y defaults by it to an edge or the middle, and -1 centres. Without
// align the text's top left lies at x, y (8 and the size unless given).
bool TextPlace(AvsCall& call, const AvsClip& clip, double size, std::string& place)
{
    const std::int64_t align = call.Int(10, 7);
    if (align < 1 || align > 9) {
        return call.Fail("align must be between 1 and 9, as on a number pad");
    }
    const auto column = static_cast<int>((align - 1) % 3); // left, centre, right
    const auto row = static_cast<int>((align - 1) / 3); // bottom, middle, top
    const bool aligned = call.Given(10);
    const double across[3] = {8, clip.width / 2.0, clip.width - 8.0};
    const double down[3] = {clip.height - 1.0, clip.height / 2.0, aligned ? 0.0 : size};
    double x = call.Number(2, across[column]);
    double y = call.Number(3, down[row]);
    if (!(std::fabs(x) <= 100000 && std::fabs(y) <= 100000)) {
        return call.Fail("the place of the text is out of range");
    }
    int xColumn = column;
    int yRow = row;
    if (x == -1) {
        x = clip.width / 2.0;
        xColumn = 1;
    }
    if (y == -1) {
        y = clip.height / 2.0;
        yRow = 1;
    }
    static constexpr const char* xShift[3] = {"", "-text_w/2", "-text_w"};
    static constexpr const char* yShift[3] = {"-text_h", "-text_h/2", ""};
    char numbers[160];
    std::snprintf(
        numbers, sizeof numbers, ":x=%.3f%s:y=%.3f%s:fontsize=%.3f", x, xShift[xColumn], y, yShift[yRow], size);
    place = numbers;
    return true;
}

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
    std::string place;
    if (!TextPlace(call, clip, size, place)) {
        return false;
    }
    clip.videoPad = call.Graph().Chain(clip.videoPad,
        "drawtext=expansion=none:text=" + AvsFilterValue(text) + ":font=" + AvsFilterValue(call.String(6, "Arial"))
            + place + ":fontcolor=" + Colour(call.Int(8, 0xFFFF00)) + ":borderw=1:bordercolor=" + Colour(call.Int(9, 0))
            + ":enable=" + AvsFilterValue("between(n," + Number(first) + "," + Number(last) + ")"));
    result = clip;
    return true;
}

constexpr AvsFunction pictureFunctions[] = {
    {"Crop", "c left:i top:i width:i height:i", Crop},
    {"AddBorders", "c left:i top:i right:i bottom:i [color:i]", AddBorders},
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
        "[halo_color:i] [align:i] [spc:i]",
        Subtitle},
    {nullptr, nullptr, nullptr},
};

} // namespace

const AvsFunction* AvsPictureFunctions() { return pictureFunctions; }

} // namespace discforge
