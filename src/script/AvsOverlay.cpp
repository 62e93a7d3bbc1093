// Overlay: a clip laid over another at x, y with an opacity (and a mask for
// its alpha), in the usual modes. Blend places it anywhere; the other modes
// work on the luma of a clip of the base's size at 0, 0, as the blend filter
// does.
#include "script/AvsFilterText.h"
#include "script/AvsFunctions.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>

namespace discforge {
namespace {

const char* BlendMode(const std::string& lowered)
{
    static const std::map<std::string, const char*> modes = {
        {"add", "addition"},
        {"subtract", "subtract"},
        {"multiply", "multiply"},
        {"lighten", "lighten"},
        {"darken", "darken"},
        {"difference", "difference"},
        {"exclusion", "exclusion"},
        {"softlight", "softlight"},
        {"hardlight", "hardlight"},
    };
    const auto found = modes.find(lowered);
    return found == modes.end() ? nullptr : found->second;
}

} // namespace

bool AvsOverlay(AvsCall& call, AvsValue& result)
{
    AvsClip clip = call.Clip(0);
    const AvsClip& over = call.Clip(1);
    if (!clip.hasVideo || !over.hasVideo) {
        return call.Fail("both clips must have pictures");
    }
    const std::int64_t x = call.Int(2, 0);
    const std::int64_t y = call.Int(3, 0);
    const double opacity = call.Number(5, 1.0);
    std::string mode = call.String(6, "Blend");
    std::transform(
        mode.begin(), mode.end(), mode.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (std::llabs(x) > 16384 || std::llabs(y) > 16384 || !(opacity >= 0 && opacity <= 1)) {
        return call.Fail("the place must lie within 16384 pixels and the opacity between 0 and 1");
    }
    AvsGraph& graph = call.Graph();
    const std::string square = ",setsar=1";
    if (mode != "blend") {
        const char* blend = BlendMode(mode);
        if (blend == nullptr) {
            return call.Fail("the mode \"" + call.String(6, "")
                + "\" is none of Blend, Add, Subtract, Multiply, Lighten, Darken, Difference, Exclusion, SoftLight, "
                  "HardLight");
        }
        if (over.width != clip.width || over.height != clip.height || x != 0 || y != 0 || call.Given(4)) {
            return call.Fail(
                "the mode " + call.String(6, "") + " needs an overlay of the base's size at 0, 0 without a mask");
        }
        const std::string format = "format=pix_fmts=yuv444p" + square;
        // The mode works on luma; the base keeps its colour.
        clip.videoPad = graph.Add("blend=c0_mode=" + std::string(blend) + ":c0_opacity=" + Decimal<9>(opacity)
                + ":c1_mode=normal:c2_mode=normal",
            {graph.Chain(clip.videoPad, format), graph.Chain(over.videoPad, format)}, 1, 0);
        result = clip;
        return true;
    }
    int layer = graph.Chain(over.videoPad, "format=pix_fmts=yuva444p" + square);
    if (call.Given(4)) {
        const AvsClip& mask = call.Clip(4);
        if (!mask.hasVideo || mask.width != over.width || mask.height != over.height) {
            return call.Fail("the mask must be a picture of the overlay's size");
        }
        layer = graph.Add("alphamerge", {layer, graph.Chain(mask.videoPad, "format=pix_fmts=gray" + square)}, 1, 0);
    }
    if (opacity < 1) {
        layer = graph.Chain(layer, "lutyuv=a=" + AvsFilterValue("val*" + Decimal<9>(opacity)));
    }
    clip.videoPad = graph.Add("overlay=x=" + Number(x) + ":y=" + Number(y) + ":eof_action=repeat:format=yuv444",
        {graph.Chain(clip.videoPad, "setsar=1"), layer}, 1, 0);
    result = clip;
    return true;
}

} // namespace discforge
