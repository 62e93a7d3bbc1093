// Functions that arrange pictures: stacking clips side by side, fields and
// their parity, and numbers and facts drawn on the picture.
#include "script/AvsClipChecks.h"
#include "script/AvsFilterText.h"
#include "script/AvsFunctions.h"

#include <algorithm>
#include <numeric>

namespace discforge {
namespace {

std::string Renumbered(const AvsClip& clip)
{
    return "settb=expr=" + Number(clip.fpsDenominator) + "/" + Number(clip.fpsNumerator) + ",setpts=N";
}

// The clips side by side (or one above the other) as long as the longest,
// a shorter one holding its last frame; the sound is the first clip's.
bool Stack(AvsCall& call, AvsValue& result, bool across)
{
    std::vector<AvsClip> clips{call.Clip(0), call.Clip(1)};
    if (call.Given(2)) {
        clips.push_back(call.Clip(2));
    }
    for (const AvsValue& more : call.extra) {
        clips.push_back(std::get<AvsClip>(more));
    }
    AvsClip clip = clips[0];
    std::int64_t frames = 0;
    std::int64_t size = 0;
    bool even = true;
    for (const AvsClip& part : clips) {
        if (!part.hasVideo) {
            return call.Fail("only clips with pictures can be stacked");
        }
        if ((across ? part.height != clip.height : part.width != clip.width)
            || static_cast<std::int64_t>(part.fpsNumerator) * clip.fpsDenominator
                != static_cast<std::int64_t>(clip.fpsNumerator) * part.fpsDenominator) {
            return call.Fail(
                std::string("the clips must have the same ") + (across ? "height" : "width") + " and frame rate");
        }
        frames = std::max(frames, part.frames);
        size += across ? part.width : part.height;
        even = even && part.width % 2 == 0 && part.height % 2 == 0;
    }
    if (size > 16384) {
        return call.Fail("the stacked picture would be larger than 16384 pixels");
    }
    const std::string format = std::string("format=pix_fmts=") + (even ? "yuv420p" : "yuv444p") + ",setsar=1";
    std::vector<int> inputs;
    for (const AvsClip& part : clips) {
        const std::string hold
            = part.frames < frames ? ",tpad=stop=" + Number(frames - part.frames) + ":stop_mode=clone" : "";
        inputs.push_back(call.Graph().Chain(part.videoPad, format + hold));
    }
    clip.videoPad = call.Graph().Add(
        std::string(across ? "hstack" : "vstack") + "=inputs=" + Number(static_cast<std::int64_t>(clips.size())),
        inputs, 1, 0);
    (across ? clip.width : clip.height) = static_cast<int>(size);
    clip.frames = frames;
    result = clip;
    return true;
}

bool StackHorizontal(AvsCall& call, AvsValue& result) { return Stack(call, result, true); }
bool StackVertical(AvsCall& call, AvsValue& result) { return Stack(call, result, false); }

std::string Parity(const AvsClip& clip) { return clip.topFieldFirst ? "tff" : "bff"; }

bool Assume(AvsCall& call, AvsValue& result, int parity)
{
    AvsClip clip;
    if (!Picture(call, clip)) {
        return false;
    }
    clip.topFieldFirst = parity < 0 ? !clip.topFieldFirst : parity > 0;
    clip.videoPad = call.Graph().Chain(clip.videoPad, "setfield=mode=" + Parity(clip));
    result = clip;
    return true;
}

bool AssumeTff(AvsCall& call, AvsValue& result) { return Assume(call, result, 1); }
bool AssumeBff(AvsCall& call, AvsValue& result) { return Assume(call, result, 0); }
bool ComplementParity(AvsCall& call, AvsValue& result) { return Assume(call, result, -1); }

bool Rate(AvsCall& call, AvsClip& clip, std::int64_t times, std::int64_t divide)
{
    const std::int64_t numerator = clip.fpsNumerator * times;
    const std::int64_t denominator = clip.fpsDenominator * divide;
    const std::int64_t common = std::gcd(numerator, denominator);
    if (numerator / common > 1000000) {
        return call.Fail("the frame rate would be too high");
    }
    clip.fpsNumerator = static_cast<int>(numerator / common);
    clip.fpsDenominator = static_cast<int>(denominator / common);
    return true;
}

// Each frame becomes its two fields, the first by the clip's parity: twice
// the frames at twice the rate, each half as high.
bool SeparateFields(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    if (!Picture(call, clip)) {
        return false;
    }
    if (clip.height % 2 != 0) {
        return call.Fail("the picture's height must be even");
    }
    if (!Rate(call, clip, 2, 1)) {
        return false;
    }
    clip.videoPad
        = call.Graph().Chain(clip.videoPad, "setfield=mode=" + Parity(clip) + ",separatefields," + Renumbered(clip));
    clip.frames *= 2;
    clip.height /= 2;
    result = clip;
    return AvsCheckedLength(call, clip.frames);
}

// Pairs of fields become frames again; the first of each pair is the top
// field when the parity says so.
bool Weave(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    if (!Picture(call, clip)) {
        return false;
    }
    if (clip.frames < 2 || clip.height * 2 > 16384) {
        return call.Fail("there must be two fields to weave, together at most 16384 lines");
    }
    if (!Rate(call, clip, 1, 2)) {
        return false;
    }
    clip.videoPad = call.Graph().Chain(clip.videoPad,
        std::string("weave=first_field=") + (clip.topFieldFirst ? "top" : "bottom") + "," + Renumbered(clip));
    clip.frames /= 2;
    clip.height *= 2;
    result = clip;
    return true;
}

// Each field woven with the next one: as many frames as fields, at the
// fields' rate, every other one a frame of the source again.
bool DoubleWeave(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    if (!Picture(call, clip)) {
        return false;
    }
    if (clip.frames < 2 || clip.height * 2 > 16384) {
        return call.Fail("there must be two fields to weave, together at most 16384 lines");
    }
    clip.videoPad = call.Graph().Chain(clip.videoPad,
        std::string("doubleweave=first_field=") + (clip.topFieldFirst ? "top" : "bottom") + "," + Renumbered(clip) + ","
            + AvsExactLength(clip.frames));
    clip.height *= 2;
    result = clip;
    return true;
}

// Each field shown as a frame of the full height, at twice the rate.
bool Bob(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    if (!Picture(call, clip)) {
        return false;
    }
    const std::int64_t height = call.Int(3, clip.height);
    if (clip.height % 2 != 0 || height <= 0 || height > 16384) {
        return call.Fail("the picture's height must be even and the new one in range");
    }
    if (!Rate(call, clip, 2, 1)) {
        return false;
    }
    char scale[96];
    std::snprintf(scale, sizeof scale, "scale=w=%d:h=%lld:flags=bicubic:param0=%.6f:param1=%.6f", clip.width,
        static_cast<long long>(height), call.Number(1, 1.0 / 3), call.Number(2, 1.0 / 3));
    clip.videoPad = call.Graph().Chain(
        clip.videoPad, "setfield=mode=" + Parity(clip) + ",separatefields," + Renumbered(clip) + "," + scale);
    clip.frames *= 2;
    clip.height = static_cast<int>(height);
    result = clip;
    return AvsCheckedLength(call, clip.frames);
}

std::string Colour(std::int64_t rgb)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(rgb & 0xFFFFFF));
    return text;
}

// The frame's number (plus offset) in the picture's top left corner.
bool ShowFrameNumber(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    if (!Picture(call, clip)) {
        return false;
    }
    const double size = call.Number(6, 24);
    if (!(size > 0 && size <= 1000) || std::llabs(call.Int(2, 0)) > 1000000000) {
        return call.Fail("the size or the offset is out of range");
    }
    char place[96];
    std::snprintf(place, sizeof place, ":x=%.3f:y=%.3f:fontsize=%.3f", call.Number(3, 8), call.Number(4, size), size);
    clip.videoPad = call.Graph().Chain(clip.videoPad,
        "drawtext=text=" + AvsFilterValue("%{eif:n+" + Number(call.Int(2, 0)) + ":d}")
            + ":font=" + AvsFilterValue(call.String(5, "Arial")) + place + ":fontcolor=" + Colour(call.Int(7, 0xFFFF00))
            + ":borderw=1:bordercolor=" + Colour(call.Int(8, 0)));
    result = clip;
    return true;
}

// The clip's facts as lines of text in the top left corner.
bool Info(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    if (!Picture(call, clip)) {
        return false;
    }
    char rate[48];
    std::snprintf(rate, sizeof rate, "%.3f", static_cast<double>(clip.fpsNumerator) / clip.fpsDenominator);
    const std::vector<std::string> lines = {
        "Frame %{n} of " + Number(clip.frames),
        "Size " + Number(clip.width) + "x" + Number(clip.height) + ", " + rate + " frames a second",
        clip.hasAudio ? "Sound " + Number(clip.sampleRate) + " Hz, " + Number(clip.channels) + " channels"
                      : std::string("No sound"),
    };
    std::string filter;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        filter += (i == 0 ? "" : ",")
            + ("drawtext=text=" + AvsFilterValue(lines[i]) + ":x=8:y=" + Number(8 + static_cast<std::int64_t>(i) * 20)
                + ":fontsize=16:fontcolor=0xFFFF00:borderw=1");
    }
    clip.videoPad = call.Graph().Chain(clip.videoPad, filter);
    result = clip;
    return true;
}

constexpr AvsFunction layoutFunctions[] = {
    {"StackHorizontal", "c second:c [more:c+]", StackHorizontal},
    {"StackVertical", "c second:c [more:c+]", StackVertical},
    {"AssumeTFF", "c", AssumeTff},
    {"AssumeBFF", "c", AssumeBff},
    {"ComplementParity", "c", ComplementParity},
    {"SeparateFields", "c", SeparateFields},
    {"Weave", "c", Weave},
    {"DoubleWeave", "c", DoubleWeave},
    {"Bob", "c [b:f] [c:f] [height:i]", Bob},
    {"ShowFrameNumber", "c [scroll:b] [offset:i] [x:f] [y:f] [font:s] [size:f] [text_color:i] [halo_color:i]",
        ShowFrameNumber},
    {"Info", "c", Info},
    {"Overlay",
        "c overlay:c [x:i] [y:i] [mask:c] [opacity:f] [mode:s] [greymask:b] [output:s] [ignore_conditional:b] "
        "[pc_range:b]",
        AvsOverlay},
    {nullptr, nullptr, nullptr},
};

} // namespace

const AvsFunction* AvsLayoutFunctions() { return layoutFunctions; }

} // namespace discforge
