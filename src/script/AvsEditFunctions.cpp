// Functions that cut, join, reverse and retime clips.
#include "script/AvsFilterText.h"
#include "script/AvsFunctions.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace discforge {
namespace {

std::string Rate(int numerator, int denominator)
{
    return std::to_string(numerator) + "/" + std::to_string(denominator);
}

bool NeedsVideo(AvsCall& call, const AvsClip& clip) { return clip.hasVideo || call.Fail("the clip has no picture"); }

// Sound of exactly `samples`: cut when longer, completed with silence when shorter.
int FitSound(AvsGraph& graph, int pad, std::int64_t samples)
{
    return graph.Chain(pad, "apad=whole_len=" + Number(samples) + ",atrim=end_sample=" + Number(samples));
}

int Silence(AvsGraph& graph, int sampleRate, int channels, std::int64_t samples)
{
    return graph.Add("anullsrc=r=" + Number(sampleRate) + ":cl=" + AvsChannelLayout(channels)
            + ",aformat=sample_fmts=s16,atrim=end_sample=" + Number(samples),
        {}, 0, 1);
}

// Trim(first, last): last 0 runs to the end, a negative last counts frames.
bool Trim(AvsCall& call, AvsValue& result)
{
    AvsClip clip = call.Clip(0);
    if (!NeedsVideo(call, clip)) {
        return false;
    }
    const std::int64_t first = std::max<std::int64_t>(0, call.Int(1, 0));
    std::int64_t last = call.Int(2, 0);
    if (last == 0) {
        last = clip.frames - 1;
    } else if (last < 0) {
        last = first - last - 1;
    }
    last = std::min(last, clip.frames - 1);
    if (first > last) {
        return call.Fail("the range " + Number(first) + " to " + Number(last) + " holds no frame of a clip of "
            + Number(clip.frames) + " frames");
    }
    clip.videoPad = call.Graph().Chain(
        clip.videoPad, "trim=start_frame=" + Number(first) + ":end_frame=" + Number(last + 1) + ",setpts=PTS-STARTPTS");
    clip.frames = last - first + 1;
    if (clip.hasAudio) {
        const std::int64_t start = AvsSamplesForFrames(clip, first);
        const std::int64_t length = AvsSamplesForFrames(clip, last + 1) - start;
        clip.audioPad
            = call.Graph().Chain(clip.audioPad, "atrim=start_sample=" + Number(start) + ",asetpts=PTS-STARTPTS");
        if (call.Bool(3, true)) {
            clip.audioPad = FitSound(call.Graph(), clip.audioPad, length);
            clip.samples = length;
        } else {
            clip.audioPad = call.Graph().Chain(clip.audioPad, "atrim=end_sample=" + Number(length));
            clip.samples = std::clamp<std::int64_t>(clip.samples - start, 0, length);
        }
    }
    result = clip;
    return true;
}

// The filters hold the whole clip in memory before the first frame comes out.
constexpr std::int64_t maxReversedBytes = std::int64_t{1} << 30;

bool Reverse(AvsCall& call, AvsValue& result)
{
    AvsClip clip = call.Clip(0);
    // Pictures as 4:2:0 at 12 bits a pixel, sound as 32-bit floats.
    const std::int64_t pictureBytes = clip.hasVideo ? clip.frames * clip.width * clip.height * 3 / 2 : 0;
    const std::int64_t soundBytes = clip.hasAudio ? clip.samples * clip.channels * 4 : 0;
    if (pictureBytes + soundBytes > maxReversedBytes) {
        return call.Fail("the clip is too long to be reversed in memory (" + Number(clip.frames)
            + " frames); trim it to the part to reverse first");
    }
    if (clip.hasVideo) {
        clip.videoPad = call.Graph().Chain(clip.videoPad, "reverse");
    }
    if (clip.hasAudio) {
        clip.audioPad = call.Graph().Chain(clip.audioPad, "areverse");
    }
    result = clip;
    return true;
}

bool AssumeFps(AvsCall& call, AvsValue& result)
{
    AvsClip clip = call.Clip(0);
    int numerator = 0;
    int denominator = 1;
    if (!NeedsVideo(call, clip) || !AvsFrameRate(call, 1, 2, numerator, denominator)) {
        return false;
    }
    clip.fpsNumerator = numerator;
    clip.fpsDenominator = denominator;
    clip.videoPad = call.Graph().Chain(clip.videoPad,
        "settb=expr=" + Rate(denominator, numerator) + ",setpts=N,fps=fps=" + Rate(numerator, denominator));
    result = clip;
    return true;
}

// ChangeFPS repeats or drops frames, ConvertFPS blends neighbours; the sound stays.
bool NewRate(AvsCall& call, AvsValue& result, bool blend)
{
    AvsClip clip = call.Clip(0);
    int numerator = 0;
    int denominator = 1;
    if (!NeedsVideo(call, clip) || !AvsFrameRate(call, 1, 2, numerator, denominator)) {
        return false;
    }
    const auto scaled = static_cast<__int128>(clip.frames) * numerator * clip.fpsDenominator;
    const auto divisor = static_cast<__int128>(denominator) * clip.fpsNumerator;
    const auto frames = static_cast<std::int64_t>((scaled + divisor / 2) / divisor);
    if (frames <= 0) {
        return call.Fail("the clip is too short for that rate");
    }
    clip.fpsNumerator = numerator;
    clip.fpsDenominator = denominator;
    clip.frames = frames;
    // As at the sources: a repeat of the last frame lets the rate filter keep it.
    const std::string retime = "tpad=stop=1:stop_mode=clone," + std::string(blend ? "framerate" : "fps")
        + "=fps=" + Rate(numerator, denominator) + (blend ? ",fps=fps=" + Rate(numerator, denominator) : "");
    clip.videoPad = call.Graph().Chain(clip.videoPad,
        retime + ",trim=end_frame=" + Number(frames)
            + ",tpad=stop=-1:stop_mode=clone,trim=end_frame=" + Number(frames));
    result = clip;
    return true;
}

bool ChangeFps(AvsCall& call, AvsValue& result) { return NewRate(call, result, false); }
bool ConvertFps(AvsCall& call, AvsValue& result) { return NewRate(call, result, true); }

bool AudioDub(AvsCall& call, AvsValue& result)
{
    AvsClip clip = call.Clip(0);
    const AvsClip& sound = call.Clip(1);
    if (!NeedsVideo(call, clip)) {
        return false;
    }
    if (!sound.hasAudio) {
        return call.Fail("the second clip has no sound");
    }
    clip.hasAudio = true;
    clip.sampleRate = sound.sampleRate;
    clip.channels = sound.channels;
    clip.samples = sound.samples;
    clip.audioPad = sound.audioPad;
    result = clip;
    return true;
}

bool KillAudio(AvsCall& call, AvsValue& result)
{
    AvsClip clip = call.Clip(0);
    clip.hasAudio = false;
    clip.audioPad = -1;
    result = clip;
    return true;
}

// FadeIn and FadeOut add one frame of the colour (and its silence) outside
// the fade; FadeIn0 and FadeOut0 do not.
bool Fade(AvsCall& call, AvsValue& result, bool in, bool extraFrame)
{
    AvsClip clip = call.Clip(0);
    const std::int64_t count = call.Int(1, 0);
    if (!NeedsVideo(call, clip)) {
        return false;
    }
    if (count <= 0) {
        return call.Fail("the number of frames must be positive");
    }
    char colour[16];
    std::snprintf(colour, sizeof colour, "0x%06X", static_cast<unsigned>(call.Int(2, 0) & 0xFFFFFF));
    AvsGraph& graph = call.Graph();
    if (extraFrame) {
        clip.videoPad = graph.Chain(
            clip.videoPad, std::string("tpad=") + (in ? "start" : "stop") + "=1:color=" + colour + ",setpts=N");
        if (clip.hasAudio) {
            const std::int64_t frameSamples
                = AvsSamplesForFrames(clip, clip.frames + 1) - AvsSamplesForFrames(clip, clip.frames);
            clip.audioPad = in ? graph.Chain(clip.audioPad, "adelay=delays=" + Number(frameSamples) + "S:all=1")
                               : graph.Chain(clip.audioPad, "apad=pad_len=" + Number(frameSamples));
            clip.samples += frameSamples;
        }
        clip.frames += 1;
    }
    const std::int64_t length = std::min(count + (extraFrame ? 1 : 0), clip.frames);
    const std::int64_t start = in ? 0 : clip.frames - length;
    clip.videoPad = graph.Chain(clip.videoPad,
        std::string("fade=t=") + (in ? "in" : "out") + ":start_frame=" + Number(start) + ":nb_frames=" + Number(length)
            + ":color=" + colour);
    if (clip.hasAudio) {
        const std::int64_t fadeSamples = AvsSamplesForFrames(clip, length);
        const std::int64_t fadeStart = in ? 0 : std::max<std::int64_t>(0, clip.samples - fadeSamples);
        clip.audioPad = graph.Chain(clip.audioPad,
            std::string("afade=t=") + (in ? "in" : "out") + ":ss=" + Number(fadeStart) + ":ns=" + Number(fadeSamples));
    }
    result = clip;
    return true;
}

bool FadeIn(AvsCall& call, AvsValue& result) { return Fade(call, result, true, true); }
bool FadeOut(AvsCall& call, AvsValue& result) { return Fade(call, result, false, true); }
bool FadeIn0(AvsCall& call, AvsValue& result) { return Fade(call, result, true, false); }
bool FadeOut0(AvsCall& call, AvsValue& result) { return Fade(call, result, false, false); }

bool UnalignedSplice(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    if (!AvsJoin(call, call.Clip(0), call.Clip(1), false, clip)) {
        return false;
    }
    result = clip;
    return true;
}

bool AlignedSplice(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    if (!AvsJoin(call, call.Clip(0), call.Clip(1), true, clip)) {
        return false;
    }
    result = clip;
    return true;
}

constexpr AvsFunction editFunctions[] = {
    {"Trim", "c first_frame:i last_frame:i [pad_audio:b]", Trim},
    {"Reverse", "c", Reverse},
    {"AssumeFPS", "c numerator:f [denominator:i]", AssumeFps},
    {"ChangeFPS", "c numerator:f [denominator:i]", ChangeFps},
    {"ConvertFPS", "c numerator:f [denominator:i]", ConvertFps},
    {"AudioDub", "c audio:c", AudioDub},
    {"KillAudio", "c", KillAudio},
    {"FadeIn", "c num_frames:i [color:i]", FadeIn},
    {"FadeOut", "c num_frames:i [color:i]", FadeOut},
    {"FadeIn0", "c num_frames:i [color:i]", FadeIn0},
    {"FadeOut0", "c num_frames:i [color:i]", FadeOut0},
    {"UnalignedSplice", "c second:c", UnalignedSplice},
    {"AlignedSplice", "c second:c", AlignedSplice},
    {nullptr, nullptr, nullptr},
};

} // namespace

const AvsFunction* AvsEditFunctions() { return editFunctions; }

std::string AvsExactLength(std::int64_t frames)
{
    return "tpad=stop=-1:stop_mode=clone,trim=end_frame=" + Number(frames);
}

std::string AvsChannelLayout(int channels)
{
    return channels == 1 ? "mono" : channels == 2 ? "stereo" : std::to_string(channels) + "c";
}

bool AvsFrameRate(
    AvsCall& call, std::size_t numberIndex, std::size_t denominatorIndex, int& numerator, int& denominator)
{
    const bool hasDenominator = denominatorIndex < call.arguments.size() && call.Given(denominatorIndex);
    const AvsValue& given = call.arguments[numberIndex];
    if (std::holds_alternative<std::int64_t>(given)) {
        const std::int64_t n = std::get<std::int64_t>(given);
        const std::int64_t d = hasDenominator ? call.Int(denominatorIndex, 1) : 1;
        if (n <= 0 || d <= 0 || n > 1000000 || d > 1000000) {
            return call.Fail("the frame rate " + Number(n) + "/" + Number(d) + " is out of range");
        }
        numerator = static_cast<int>(n);
        denominator = static_cast<int>(d);
        return true;
    }
    if (hasDenominator) {
        return call.Fail("a frame rate with a denominator is given as two integers");
    }
    const double rate = std::get<double>(given);
    if (!(rate > 0 && rate <= 1000)) {
        return call.Fail("the frame rate is out of range");
    }
    // The broadcast rates are meant exactly when written to two decimals.
    for (const int base : {24, 30, 60}) {
        if (std::fabs(rate - base * 1000.0 / 1001.0) < 0.006) {
            numerator = base * 1000;
            denominator = 1001;
            return true;
        }
    }
    numerator = static_cast<int>(std::lround(rate * 1000));
    denominator = 1000;
    const int common = std::gcd(numerator, denominator);
    numerator /= common;
    denominator /= common;
    return true;
}

bool AvsJoin(AvsCall& call, const AvsClip& first, const AvsClip& second, bool aligned, AvsClip& result)
{
    if (!first.hasVideo || !second.hasVideo) {
        return call.Fail("only clips with pictures can be joined");
    }
    if (first.width != second.width || first.height != second.height) {
        return call.Fail("the picture sizes differ (" + Number(first.width) + "x" + Number(first.height) + " and "
            + Number(second.width) + "x" + Number(second.height) + ")");
    }
    if (static_cast<std::int64_t>(first.fpsNumerator) * second.fpsDenominator
        != static_cast<std::int64_t>(second.fpsNumerator) * first.fpsDenominator) {
        return call.Fail("the frame rates differ (" + Rate(first.fpsNumerator, first.fpsDenominator) + " and "
            + Rate(second.fpsNumerator, second.fpsDenominator) + ")");
    }
    AvsGraph& graph = call.Graph();
    result = first;
    result.frames = first.frames + second.frames;
    // Picture and sound are joined apart, so sound that is longer or shorter
    // than its picture runs on into the next clip as "+" wants it. A script's
    // clip is its pixels, while concat refuses parts whose declared pixel
    // shapes differ (a DVD's 8:9, what a resize leaves): both are made square.
    result.videoPad = graph.Add("concat=n=2:v=1:a=0",
        {graph.Chain(first.videoPad, "setsar=1"), graph.Chain(second.videoPad, "setsar=1")}, 1, 0);
    if (!first.hasAudio && !second.hasAudio) {
        return true;
    }
    const AvsClip& model = first.hasAudio ? first : second;
    auto soundOf = [&](const AvsClip& clip, std::int64_t& samples) {
        if (!clip.hasAudio) {
            samples = AvsSamplesForFrames(model, clip.frames);
            return Silence(graph, model.sampleRate, model.channels, samples);
        }
        int pad = clip.audioPad;
        samples = clip.samples;
        if (clip.sampleRate != model.sampleRate || clip.channels != model.channels) {
            pad = graph.Chain(pad,
                "aresample=" + Number(model.sampleRate)
                    + ",aformat=channel_layouts=" + AvsChannelLayout(model.channels));
            samples = clip.samples * model.sampleRate / std::max(1, clip.sampleRate);
        }
        if (aligned) {
            samples = AvsSamplesForFrames(model, clip.frames);
            pad = FitSound(graph, pad, samples);
        }
        return pad;
    };
    std::int64_t firstSamples = 0;
    std::int64_t secondSamples = 0;
    const int firstSound = soundOf(first, firstSamples);
    const int secondSound = soundOf(second, secondSamples);
    result.audioPad = graph.Add("concat=n=2:v=0:a=1", {firstSound, secondSound}, 0, 1);
    result.hasAudio = true;
    result.sampleRate = model.sampleRate;
    result.channels = model.channels;
    result.samples = firstSamples + secondSamples;
    return true;
}

} // namespace discforge
