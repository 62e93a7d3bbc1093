// The usual plugins' functions by their names, on FFmpeg's filters of the
// same purpose: no plugin is loaded. LoadPlugin of a plugin whose functions
// are here does nothing; any other plugin is refused by name.
#include "script/AvsClipChecks.h"
#include "script/AvsFilterText.h"
#include "script/AvsFunctions.h"

#include <algorithm>
#include <cctype>
#include <numeric>
#include <set>

namespace discforge {
namespace {

std::string Lowered(std::string text)
{
    std::transform(
        text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The file name without its folders (either separator) and its extension.
std::string PluginName(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    const std::size_t dot = name.rfind('.');
    return Lowered(dot == std::string::npos ? name : name.substr(0, dot));
}

// The plugins whose functions run here, and those QTGMC needs (it runs here too).
bool KnownPlugin(const std::string& name)
{
    static const std::set<std::string> known = {"dgdecode", "mpeg2dec3", "lsmashsource", "ffms2", "yadif", "tdeint",
        "tivtc", "decomb", "vsfilter", "xy-vsfilter", "vsfiltermod", "mvtools2", "masktools2", "mt_masktools-26",
        "mt_masktools-25", "mt_masktools", "nnedi3", "eedi3", "rgtools", "removegrain", "removegrainsse2",
        "removegrainsse3", "repair", "repairsse2", "repairsse3", "verticalcleaner", "fft3dfilter", "dfttest"};
    return known.count(name) != 0;
}

bool LoadPlugin(AvsCall& call, AvsValue& result)
{
    std::vector<std::string> paths{call.String(0, "")};
    for (const AvsValue& more : call.extra) {
        paths.push_back(std::get<std::string>(more));
    }
    for (const std::string& path : paths) {
        if (!KnownPlugin(PluginName(path))) {
            return call.Fail("\"" + path
                + "\" is not a plugin whose functions this program has; plugins cannot "
                  "be loaded on this system");
        }
    }
    result = true;
    return true;
}

std::string Renumbered(const AvsClip& clip)
{
    return "settb=expr=" + Number(clip.fpsDenominator) + "/" + Number(clip.fpsNumerator) + ",setpts=N";
}

// order: -1 as the frames say, 0 bottom field first, 1 top field first.
bool Parity(AvsCall& call, std::int64_t order, std::string& parity)
{
    if (order < -1 || order > 1) {
        return call.Fail("the field order must be -1 (as the frames say), 0 (bottom first) or 1 (top first)");
    }
    parity = order < 0 ? "auto" : order == 0 ? "bff" : "tff";
    return true;
}

// A deinterlacer on `filter` (yadif or bwdif); `doubled` gives a frame for
// each field, at twice the rate.
bool Deinterlace(AvsCall& call, AvsValue& result, const std::string& filter, std::int64_t order, bool doubled)
{
    AvsClip clip;
    std::string parity;
    if (!Picture(call, clip) || !Parity(call, order, parity)) {
        return false;
    }
    if (doubled) {
        if (clip.fpsNumerator > 500000) {
            return call.Fail("the frame rate would be too high");
        }
        clip.fpsNumerator *= 2;
        clip.frames *= 2;
        if (!AvsCheckedLength(call, clip.frames)) {
            return false;
        }
    }
    clip.videoPad = call.Graph().Chain(clip.videoPad,
        filter + "=mode=" + (doubled ? "send_field" : "send_frame") + ":parity=" + parity + "," + Renumbered(clip) + ","
            + AvsExactLength(clip.frames));
    call.Graph().Note(call.Name() + " runs as FFmpeg's " + filter + (doubled ? ", a frame for each field" : ""));
    result = clip;
    return true;
}

// Yadif(mode, order): modes 1 and 3 give a frame for each field.
bool Yadif(AvsCall& call, AvsValue& result)
{
    const std::int64_t mode = call.Int(1, 0);
    if (mode < 0 || mode > 3) {
        return call.Fail("the mode must be between 0 and 3");
    }
    return Deinterlace(call, result, "yadif", call.Int(2, -1), mode % 2 == 1);
}

bool TDeint(AvsCall& call, AvsValue& result)
{
    const std::int64_t mode = call.Int(1, 0);
    if (mode < 0 || mode > 1) {
        return call.Fail("the modes here are 0 (same rate) and 1 (a frame for each field)");
    }
    return Deinterlace(call, result, "bwdif", call.Int(2, -1), mode == 1);
}

// QTGMC gives a frame for each field unless FPSDivisor is 2; its many
// tuning arguments have no counterpart and are left unused.
bool Qtgmc(AvsCall& call, AvsValue& result)
{
    const std::int64_t divisor = call.Int(3, 1);
    if (divisor != 1 && divisor != 2) {
        return call.Fail("FPSDivisor must be 1 or 2");
    }
    const std::int64_t order = call.Given(2) ? (call.Bool(2, true) ? 1 : 0) : -1;
    return Deinterlace(call, result, "bwdif", order, divisor == 1);
}

// Field matching puts the fields of a telecined film back together; frames
// still combed are deinterlaced as the matchers' post-processing does.
bool Match(AvsCall& call, AvsValue& result, std::int64_t order, bool postProcess)
{
    AvsClip clip;
    std::string parity;
    if (!Picture(call, clip) || !Parity(call, order, parity)) {
        return false;
    }
    if (clip.height % 2 != 0) {
        return call.Fail("the picture's height must be even");
    }
    clip.videoPad = call.Graph().Chain(clip.videoPad,
        "fieldmatch=order=" + parity + ":combmatch=full" + (postProcess ? ",yadif=deint=interlaced" : "") + ","
            + Renumbered(clip));
    call.Graph().Note(call.Name() + " runs as FFmpeg's fieldmatch");
    result = clip;
    return true;
}

bool Tfm(AvsCall& call, AvsValue& result) { return Match(call, result, call.Int(1, -1), call.Int(4, 6) > 0); }
bool Telecide(AvsCall& call, AvsValue& result) { return Match(call, result, call.Int(1, -1), call.Int(3, 2) > 0); }

// One frame of each `cycle` dropped, the one most like its neighbour.
bool Drop(AvsCall& call, AvsValue& result, std::int64_t cycle)
{
    AvsClip clip;
    if (!Picture(call, clip)) {
        return false;
    }
    if (cycle < 2 || cycle > 25) {
        return call.Fail("the cycle must be between 2 and 25 frames");
    }
    clip.frames = std::max<std::int64_t>(1, (clip.frames * (cycle - 1) + cycle / 2) / cycle);
    const std::int64_t numerator = static_cast<std::int64_t>(clip.fpsNumerator) * (cycle - 1);
    const std::int64_t denominator = static_cast<std::int64_t>(clip.fpsDenominator) * cycle;
    const std::int64_t common = std::gcd(numerator, denominator);
    clip.fpsNumerator = static_cast<int>(numerator / common);
    clip.fpsDenominator = static_cast<int>(denominator / common);
    clip.videoPad = call.Graph().Chain(
        clip.videoPad, "decimate=cycle=" + Number(cycle) + "," + Renumbered(clip) + "," + AvsExactLength(clip.frames));
    call.Graph().Note(call.Name() + " runs as FFmpeg's decimate");
    result = clip;
    return true;
}

bool TDecimate(AvsCall& call, AvsValue& result)
{
    if (call.Int(2, 1) != 1) {
        return call.Fail("only one frame in each cycle can be dropped here (cycleR=1)");
    }
    return Drop(call, result, call.Int(3, 5));
}

bool Decimate(AvsCall& call, AvsValue& result) { return Drop(call, result, call.Int(1, 5)); }

// Text subtitles (SRT, SSA, ASS) drawn on the picture through libass.
bool TextSub(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    std::string path;
    if (!Picture(call, clip) || !AvsResolvePath(call, call.String(1, ""), path)) {
        return false;
    }
    std::string charset = call.String(2, "");
    clip.videoPad = call.Graph().Chain(clip.videoPad,
        "subtitles=filename=" + AvsFilterValue(path) + (charset.empty() ? "" : ":charenc=" + AvsFilterValue(charset)));
    result = clip;
    return true;
}

// Picture subtitles (a VobSub index) laid over the picture: the media layer makes them a
// video, transparent but where a subtitle shows, which is scaled to the clip's frame.
bool VobSub(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    std::string path;
    const std::string given = call.String(1, "");
    if (!Picture(call, clip) || !AvsResolvePath(call, given, path)) {
        return false;
    }
    std::string video;
    std::string reason;
    if (!call.Probe().SubtitleVideo(path, video, reason)) {
        return call.Fail("\"" + given + "\": " + reason);
    }
    const int pictures = call.Graph().Add("movie=filename=" + AvsFilterValue(video)
            + ",format=rgba,scale=w=" + std::to_string(clip.width) + ":h=" + std::to_string(clip.height),
        {}, 1, 0);
    // Past the subtitles' last picture the clip goes on as it is.
    clip.videoPad = call.Graph().Add("overlay=eof_action=pass:format=auto", {clip.videoPad, pictures}, 1, 0);
    result = clip;
    return true;
}

constexpr AvsFunction pluginFunctions[] = {
    {"LoadPlugin", "path:s+", LoadPlugin},
    {"LoadCPlugin", "path:s+", LoadPlugin},
    {"Load_Stdcall_Plugin", "path:s+", LoadPlugin},
    {"Yadif", "c [mode:i] [order:i] [opt:i] [planar:b]", Yadif},
    {"TDeint", "c [mode:i] [order:i] [field:i] [mthreshl:i] [mthreshc:i] [map:i] [type:i] [full:b] [tryweave:b]",
        TDeint},
    {"QTGMC",
        "c [preset:s] [tff:b] [fpsdivisor:i] [sharpness:f] [ezdenoise:f] [ezkeepgrain:f] [noisepreset:s] "
        "[sourcematch:i] [lossless:i] [denoiser:s] [edimode:s] [border:b] [precise:b] [tuning:s] [showsettings:b] "
        "[tr0:i] [tr1:i] [tr2:i] [rep0:i] [rep1:i] [rep2:i] [sbb:i] [slmode:i]",
        Qtgmc},
    {"TFM", "c [order:i] [field:i] [mode:i] [pp:i] [slow:i] [mchroma:b] [cthresh:i] [mi:i] [display:b]", Tfm},
    {"TDecimate", "c [mode:i] [cycler:i] [cycle:i] [display:b]", TDecimate},
    {"Telecide", "c [order:i] [guide:i] [post:i] [vthresh:f] [back:i] [show:b]", Telecide},
    {"Decimate", "c [cycle:i] [mode:i] [quality:i] [show:b]", Decimate},
    {"TextSub", "c file:s [charset:s] [fps:f] [vfr:s]", TextSub},
    {"VobSub", "c file:s", VobSub},
    {nullptr, nullptr, nullptr},
};

} // namespace

const AvsFunction* AvsPluginFunctions() { return pluginFunctions; }

} // namespace discforge
