// Functions that change the picture's values: Levels, Tweak, Limiter,
// Greyscale, Invert, SwapUV, Letterbox, Sharpen and Blur. On YUV clips the
// levels work on luma (Y 16-235 with coring), as the language has it.
#include "script/AvsClipChecks.h"
#include "script/AvsFilterText.h"
#include "script/AvsFunctions.h"

#include <cmath>

namespace discforge {
namespace {

bool Finite(AvsCall& call, std::initializer_list<double> values)
{
    for (const double value : values) {
        if (!std::isfinite(value) || std::fabs(value) > 100000) {
            return call.Fail("a value is out of range");
        }
    }
    return true;
}

// Levels(input_low, gamma, input_high, output_low, output_high [, coring]):
// input_low..input_high become output_low..output_high along the gamma
// curve. With coring, luma is read as 16-235 and written back to it.
bool Levels(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    if (!Picture(call, clip)) {
        return false;
    }
    const double inLow = call.Number(1, 0);
    const double gamma = call.Number(2, 1);
    const double inHigh = call.Number(3, 255);
    const double outLow = call.Number(4, 0);
    const double outHigh = call.Number(5, 255);
    if (!Finite(call, {inLow, gamma, inHigh, outLow, outHigh})) {
        return false;
    }
    if (inHigh == inLow || gamma <= 0) {
        return call.Fail("input_low and input_high must differ and gamma must be positive");
    }
    const bool coring = call.Bool(6, true) && !IsRgb(clip);
    const std::string read = coring ? "((val-16)*255/219)" : "val";
    const std::string curve = "(pow(clip((" + read + "-(" + Decimal<9>(inLow) + "))/(" + Decimal<9>(inHigh - inLow)
        + "),0,1)," + Decimal<9>(1 / gamma) + ")*(" + Decimal<9>(outHigh - outLow) + ")+(" + Decimal<9>(outLow) + "))";
    const std::string luma
        = coring ? "clip(trunc(" + curve + "*219/255+16.5),16,235)" : "clip(trunc(" + curve + "+0.5),0,255)";
    std::string filter;
    if (IsRgb(clip)) {
        filter = "lutrgb=r=" + AvsFilterValue(luma) + ":g=" + AvsFilterValue(luma) + ":b=" + AvsFilterValue(luma);
    } else {
        const std::string chroma = "clip(trunc((val-128)*(" + Decimal<9>((outHigh - outLow) / (inHigh - inLow))
            + ")+128.5)," + (coring ? "16,240)" : "0,255)");
        filter = "lutyuv=y=" + AvsFilterValue(luma) + ":u=" + AvsFilterValue(chroma) + ":v=" + AvsFilterValue(chroma);
    }
    clip.videoPad = call.Graph().Chain(clip.videoPad, filter);
    result = clip;
    return true;
}

// Tweak(hue, sat, bright, cont [, coring]): luma (Y - 16) * cont + bright + 16,
// chroma turned by hue degrees and scaled by sat.
bool Tweak(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    if (!Picture(call, clip)) {
        return false;
    }
    const double hue = call.Number(1, 0);
    const double saturation = call.Number(2, 1);
    const double bright = call.Number(3, 0);
    const double contrast = call.Number(4, 1);
    if (!Finite(call, {hue, saturation, bright, contrast})) {
        return false;
    }
    if (saturation < 0 || saturation > 10 || contrast < 0 || contrast > 10) {
        return call.Fail("sat and cont must lie between 0 and 10");
    }
    const bool coring = call.Bool(5, true);
    const std::string luma = "clip(trunc((val-16)*" + Decimal<9>(contrast) + "+" + Decimal<9>(bright) + "+16.5),"
        + (coring ? "16,235)" : "0,255)");
    std::string filter = "lutyuv=y=" + AvsFilterValue(luma);
    if (hue != 0 || saturation != 1) {
        filter += ",hue=h=" + Decimal<9>(hue) + ":s=" + Decimal<9>(saturation);
    }
    clip.videoPad = call.Graph().Chain(clip.videoPad, filter);
    result = clip;
    return true;
}

// ColorYUV: each plane's value v becomes ((v * (256 + gain) / 256 - 128) *
// (256 + cont) / 256 + 128) + off, luma then along its gamma; levels
// "TV->PC" and "PC->TV" stretch or squeeze the ranges first, and opt
// "coring" keeps the result within 16-235 (chroma 16-240).
bool ColorYuv(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    if (!Picture(call, clip)) {
        return false;
    }
    const std::string levels = call.String(13, "");
    const std::string option = call.String(14, "");
    if (!levels.empty() && levels != "TV->PC" && levels != "PC->TV") {
        return call.Fail("levels must be \"TV->PC\" or \"PC->TV\"");
    }
    if (!option.empty() && option != "coring") {
        return call.Fail("opt must be \"coring\"");
    }
    if (call.Bool(15, false) || call.Bool(16, false)) {
        return call.Fail("autowhite and autogain need the picture before it is made and are not supported");
    }
    std::string planes[3];
    for (int plane = 0; plane < 3; ++plane) {
        const std::size_t at = 1 + static_cast<std::size_t>(plane) * 4;
        const double gain = call.Number(at, 0);
        const double offset = call.Number(at + 1, 0);
        const double gamma = call.Number(at + 2, 0);
        const double contrast = call.Number(at + 3, 0);
        if (!Finite(call, {gain, offset, gamma, contrast}) || gamma <= -256) {
            return false;
        }
        std::string value = "val";
        if (levels == "TV->PC") {
            value = plane == 0 ? "((val-16)*255/219)" : "((val-128)*255/224+128)";
        } else if (levels == "PC->TV") {
            value = plane == 0 ? "(val*219/255+16)" : "((val-128)*224/255+128)";
        }
        value = "((" + value + "*" + Decimal<9>((256 + gain) / 256) + "-128)*" + Decimal<9>((256 + contrast) / 256)
            + "+128+" + Decimal<9>(offset) + ")";
        if (plane == 0 && gamma != 0) {
            value = "(255*pow(clip(" + value + ",0,255)/255," + Decimal<9>(256 / (256 + gamma)) + "))";
        }
        const bool coring = option == "coring";
        planes[plane] = AvsFilterValue(
            "clip(trunc(" + value + "+0.5)," + (coring ? (plane == 0 ? "16,235)" : "16,240)") : "0,255)"));
    }
    clip.videoPad = call.Graph().Chain(clip.videoPad, "lutyuv=y=" + planes[0] + ":u=" + planes[1] + ":v=" + planes[2]);
    result = clip;
    return true;
}

bool Limiter(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    if (!Picture(call, clip)) {
        return false;
    }
    const std::int64_t lumaLow = call.Int(1, 16);
    const std::int64_t lumaHigh = call.Int(2, 235);
    const std::int64_t chromaLow = call.Int(3, 16);
    const std::int64_t chromaHigh = call.Int(4, 240);
    if (lumaLow < 0 || lumaHigh > 255 || lumaLow > lumaHigh || chromaLow < 0 || chromaHigh > 255
        || chromaLow > chromaHigh) {
        return call.Fail("the limits must lie within 0 to 255, the lower one first");
    }
    const std::string chroma = AvsFilterValue("clip(val," + Number(chromaLow) + "," + Number(chromaHigh) + ")");
    clip.videoPad = call.Graph().Chain(clip.videoPad,
        "lutyuv=y=" + AvsFilterValue("clip(val," + Number(lumaLow) + "," + Number(lumaHigh) + ")") + ":u=" + chroma
            + ":v=" + chroma);
    result = clip;
    return true;
}

bool Simple(AvsCall& call, AvsValue& result, const char* filter)
{
    AvsClip clip;
    if (!Picture(call, clip)) {
        return false;
    }
    clip.videoPad = call.Graph().Chain(clip.videoPad, filter);
    result = clip;
    return true;
}

bool Greyscale(AvsCall& call, AvsValue& result) { return Simple(call, result, "lutyuv=u=128:v=128"); }
bool Invert(AvsCall& call, AvsValue& result) { return Simple(call, result, "negate"); }
bool SwapUv(AvsCall& call, AvsValue& result) { return Simple(call, result, "swapuv"); }

// Letterbox(top, bottom [, x1, x2, color]): bars of the colour over the
// picture's edges; the size stays.
bool Letterbox(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    if (!Picture(call, clip)) {
        return false;
    }
    const std::int64_t sides[4] = {call.Int(1, 0), call.Int(2, 0), call.Int(3, 0), call.Int(4, 0)};
    if (sides[0] < 0 || sides[1] < 0 || sides[2] < 0 || sides[3] < 0 || sides[0] + sides[1] > clip.height
        || sides[2] + sides[3] > clip.width) {
        return call.Fail("the bars must lie within the picture");
    }
    char colour[16];
    std::snprintf(colour, sizeof colour, "0x%06X", static_cast<unsigned>(call.Int(5, 0) & 0xFFFFFF));
    const std::string w = Number(clip.width);
    const std::string h = Number(clip.height);
    const std::string boxes[4] = {
        "x=0:y=0:w=" + w + ":h=" + Number(sides[0]),
        "x=0:y=" + Number(clip.height - sides[1]) + ":w=" + w + ":h=" + Number(sides[1]),
        "x=0:y=0:w=" + Number(sides[2]) + ":h=" + h,
        "x=" + Number(clip.width - sides[3]) + ":y=0:w=" + Number(sides[3]) + ":h=" + h,
    };
    std::string filter;
    for (int i = 0; i < 4; ++i) {
        if (sides[i] > 0) {
            filter += (filter.empty() ? "" : ",") + ("drawbox=" + boxes[i] + ":color=" + colour + ":t=fill");
        }
    }
    if (!filter.empty()) {
        clip.videoPad = call.Graph().Chain(clip.videoPad, filter);
    }
    result = clip;
    return true;
}

// Blur(h [, v]) weighs a pixel 2^-amount and each neighbour half the rest,
// across and down; Sharpen(a) is Blur(-a). Weights are in 64ths.
bool Focus(AvsCall& call, AvsValue& result, double sign)
{
    AvsClip clip;
    if (!Picture(call, clip)) {
        return false;
    }
    const double across = sign * call.Number(1, 0);
    const double down = sign * call.Number(2, sign * across);
    if (!(across >= -1 && across <= 1.58) || !(down >= -1 && down <= 1.58)) {
        return call.Fail(
            sign > 0 ? "the amount must lie between -1 and 1.58" : "the amount must lie between -1.58 and 1");
    }
    auto weights = [](double amount, std::int64_t& centre, std::int64_t& side) {
        const double middle = std::pow(2.0, -amount);
        centre = std::llround(64 * middle);
        side = std::llround(64 * (1 - middle) / 2);
    };
    std::int64_t h[2];
    std::int64_t v[2];
    weights(across, h[0], h[1]);
    weights(down, v[0], v[1]);
    const std::int64_t row[3] = {h[1], h[0], h[1]};
    const std::int64_t column[3] = {v[1], v[0], v[1]};
    std::string matrix;
    for (const std::int64_t y : column) {
        for (const std::int64_t x : row) {
            matrix += (matrix.empty() ? "" : " ") + Number(x * y);
        }
    }
    const std::int64_t total = (h[0] + 2 * h[1]) * (v[0] + 2 * v[1]);
    std::string filter = "convolution";
    for (int plane = 0; plane < 3; ++plane) {
        const std::string p = Number(plane);
        filter += std::string(plane == 0 ? "=" : ":") + p + "m=" + AvsFilterValue(matrix) + ":" + p + "rdiv=1/"
            + Number(total);
    }
    clip.videoPad = call.Graph().Chain(clip.videoPad, filter);
    result = clip;
    return true;
}

bool Blur(AvsCall& call, AvsValue& result) { return Focus(call, result, 1); }
bool Sharpen(AvsCall& call, AvsValue& result) { return Focus(call, result, -1); }

constexpr AvsFunction colourFunctions[] = {
    {"Levels", "c input_low:f gamma:f input_high:f output_low:f output_high:f [coring:b] [dither:b]", Levels},
    {"Tweak", "c [hue:f] [sat:f] [bright:f] [cont:f] [coring:b] [sse:b]", Tweak},
    {"ColorYUV",
        "c [gain_y:f] [off_y:f] [gamma_y:f] [cont_y:f] [gain_u:f] [off_u:f] [gamma_u:f] [cont_u:f] [gain_v:f] "
        "[off_v:f] [gamma_v:f] [cont_v:f] [levels:s] [opt:s] [autowhite:b] [autogain:b] [matrix:s] [showyuv:b] "
        "[analyze:b]",
        ColorYuv},
    {"Limiter", "c [min_luma:i] [max_luma:i] [min_chroma:i] [max_chroma:i]", Limiter},
    {"Greyscale", "c", Greyscale},
    {"Grayscale", "c", Greyscale},
    {"Invert", "c", Invert},
    {"SwapUV", "c", SwapUv},
    {"Letterbox", "c top:i bottom:i [x1:i] [x2:i] [color:i]", Letterbox},
    {"Blur", "c amount:f [amountv:f] [mmx:b]", Blur},
    {"Sharpen", "c amount:f [amountv:f] [mmx:b]", Sharpen},
    {nullptr, nullptr, nullptr},
};

} // namespace

const AvsFunction* AvsColourFunctions() { return colourFunctions; }

} // namespace discforge
