// Functions on the sound's channels, format and speed, and Tone, a clip of
// sound alone.
#include "script/AvsFilterText.h"
#include "script/AvsFunctions.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace discforge {
namespace {

bool Sound(AvsCall& call, const AvsClip& clip) { return clip.hasAudio || call.Fail("the clip has no sound"); }

std::vector<AvsClip> Clips(AvsCall& call)
{
    std::vector<AvsClip> clips{call.Clip(0)};
    if (call.Given(1)) {
        clips.push_back(call.Clip(1));
    }
    for (const AvsValue& more : call.extra) {
        clips.push_back(std::get<AvsClip>(more));
    }
    return clips;
}

// The channels of every clip one after another, as long as the shortest.
bool Merge(AvsCall& call, const std::vector<AvsClip>& clips, AvsValue& result)
{
    AvsClip clip = clips[0];
    std::vector<int> inputs;
    int channels = 0;
    for (const AvsClip& part : clips) {
        if (!Sound(call, part)) {
            return false;
        }
        if (part.sampleRate != clip.sampleRate) {
            return call.Fail("the sounds must have the same sample rate");
        }
        channels += part.channels;
        clip.samples = std::min(clip.samples, part.samples);
        inputs.push_back(part.audioPad);
    }
    if (channels > 8) {
        return call.Fail("the sound would have more than 8 channels");
    }
    if (inputs.size() > 1) {
        clip.audioPad = call.Graph().Add("amerge=inputs=" + Number(static_cast<std::int64_t>(inputs.size()))
                + ",aformat=channel_layouts=" + AvsChannelLayout(channels),
            inputs, 0, 1);
    }
    clip.channels = channels;
    result = clip;
    return true;
}

bool MergeChannels(AvsCall& call, AvsValue& result) { return Merge(call, Clips(call), result); }

bool MonoToStereo(AvsCall& call, AvsValue& result)
{
    const AvsClip& left = call.Clip(0);
    const AvsClip& right = call.Clip(1);
    if (!Sound(call, left) || !Sound(call, right)) {
        return false;
    }
    if (left.channels != 1 || right.channels != 1) {
        return call.Fail("both sounds must be mono");
    }
    return Merge(call, {left, right}, result);
}

// GetChannel(clip, 1, 2...): the channels named, counted from 1, in that order.
bool GetChannel(AvsCall& call, AvsValue& result)
{
    AvsClip clip = call.Clip(0);
    if (!Sound(call, clip)) {
        return false;
    }
    std::vector<std::int64_t> chosen{call.Int(1, 1)};
    for (const AvsValue& more : call.extra) {
        chosen.push_back(std::get<std::int64_t>(more));
    }
    if (chosen.size() > 8) {
        return call.Fail("at most 8 channels can be taken");
    }
    std::string pan = "pan=" + AvsChannelLayout(static_cast<int>(chosen.size()));
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        if (chosen[i] < 1 || chosen[i] > clip.channels) {
            return call.Fail("the sound has no channel " + Number(chosen[i]));
        }
        pan += "|c" + Number(static_cast<std::int64_t>(i)) + "=c" + Number(chosen[i] - 1);
    }
    clip.audioPad = call.Graph().Chain(clip.audioPad, pan);
    clip.channels = static_cast<int>(chosen.size());
    result = clip;
    return true;
}

// The mean of all channels.
bool ConvertToMono(AvsCall& call, AvsValue& result)
{
    AvsClip clip = call.Clip(0);
    if (!Sound(call, clip)) {
        return false;
    }
    std::string pan = "pan=mono|c0=";
    for (int c = 0; c < clip.channels; ++c) {
        pan += (c > 0 ? "+" : "") + Decimal<12>(1.0 / clip.channels) + "*c" + Number(c);
    }
    clip.audioPad = call.Graph().Chain(clip.audioPad, pan);
    clip.channels = 1;
    result = clip;
    return true;
}

// MixAudio(a, b, f1, f2): f1 of the first sound and f2 of the second,
// channel by channel; f2 is 1 - f1 unless given.
bool MixAudio(AvsCall& call, AvsValue& result)
{
    AvsClip clip = call.Clip(0);
    const AvsClip& other = call.Clip(1);
    if (!Sound(call, clip) || !Sound(call, other)) {
        return false;
    }
    if (clip.channels != other.channels || clip.sampleRate != other.sampleRate) {
        return call.Fail("the sounds must have the same channels and sample rate");
    }
    const double first = call.Number(2, 0.5);
    const double second = call.Number(3, 1 - first);
    if (!(std::fabs(first) <= 100 && std::fabs(second) <= 100)) {
        return call.Fail("the factors must lie between -100 and 100");
    }
    std::string pan = "pan=" + AvsChannelLayout(clip.channels);
    for (int c = 0; c < clip.channels; ++c) {
        pan += "|c" + Number(c) + "=" + Decimal<12>(first) + "*c" + Number(c) + "+" + Decimal<12>(second) + "*c"
            + Number(c + clip.channels);
    }
    clip.audioPad = call.Graph().Add("amerge=inputs=2," + pan, {clip.audioPad, other.audioPad}, 0, 1);
    clip.samples = std::min(clip.samples, other.samples);
    result = clip;
    return true;
}

bool SampleFormat(AvsCall& call, AvsValue& result, const char* format)
{
    AvsClip clip = call.Clip(0);
    if (!Sound(call, clip)) {
        return false;
    }
    clip.audioPad = call.Graph().Chain(clip.audioPad, std::string("aformat=sample_fmts=") + format);
    result = clip;
    return true;
}

bool ConvertAudioTo16bit(AvsCall& call, AvsValue& result) { return SampleFormat(call, result, "s16"); }
bool ConvertAudioToFloat(AvsCall& call, AvsValue& result) { return SampleFormat(call, result, "flt"); }

// The sound is decoded as a whole here; there is no frame-exact seeking to keep.
bool EnsureVbrMp3Sync(AvsCall& call, AvsValue& result)
{
    result = call.Clip(0);
    return true;
}

// atempo takes factors between 0.5 and 100 alone; a factor beyond them is
// made of several.
std::string TempoChain(double factor)
{
    std::string chain;
    for (; factor < 0.5; factor /= 0.5) {
        chain += "atempo=tempo=0.5,";
    }
    for (; factor > 100; factor /= 100) {
        chain += "atempo=tempo=100,";
    }
    return chain + "atempo=tempo=" + Decimal<12>(factor);
}

// TimeStretch(tempo, rate, pitch), each in percent: tempo as fast with the
// pitch kept, rate as fast and as high (a tape played faster), pitch as high
// with the length kept.
bool TimeStretch(AvsCall& call, AvsValue& result)
{
    AvsClip clip = call.Clip(0);
    if (!Sound(call, clip)) {
        return false;
    }
    const double tempo = call.Number(1, 100);
    const double rate = call.Number(2, 100);
    const double pitch = call.Number(3, 100);
    if (!(tempo >= 50 && tempo <= 10000)) {
        return call.Fail("the tempo must be between 50 and 10000 percent");
    }
    if (!(rate >= 25 && rate <= 400) || !(pitch >= 25 && pitch <= 400)) {
        return call.Fail("the rate and the pitch must be between 25 and 400 percent");
    }
    // atempo keeps its last window back when the sound ends, a few hundredths of a second
    // for each one in the chain: silence behind the sound takes that loss instead, and the
    // trim gives the length the stretch makes.
    const double speed = tempo * rate / 10000;
    const std::string tail = "apad=pad_dur=" + Decimal<6>(0.25 * std::max(1.0, speed)) + ",";
    std::string stretch;
    if (rate == 100 && pitch == 100) {
        stretch = "atempo=tempo=" + Decimal<12>(tempo / 100);
    } else {
        // The sound taken as recorded at a rate higher by rate and pitch, brought
        // back to its own rate, plays that much faster and higher; the tempo
        // then gives back the length the pitch must not change, at the factor
        // the whole-number rate really gave.
        const std::int64_t raised = std::llround(static_cast<double>(clip.sampleRate) * rate * pitch / 10000);
        const double heard = static_cast<double>(raised) / static_cast<double>(clip.sampleRate);
        stretch = "asetrate=" + Number(raised) + ",aresample=" + Number(clip.sampleRate) + ","
            + TempoChain(speed / heard);
    }
    clip.samples = std::llround(static_cast<double>(clip.samples) / speed);
    clip.audioPad = call.Graph().Chain(clip.audioPad, tail + stretch + ",atrim=end_sample=" + Number(clip.samples));
    result = clip;
    return true;
}

// Tone(length, frequency, samplerate, channels, type, level): seconds of a
// wave at level of full scale in every channel.
bool Tone(AvsCall& call, AvsValue& result)
{
    const double length = call.Number(0, 10);
    const double frequency = call.Number(1, 440);
    const std::int64_t rate = call.Int(2, 48000);
    const std::int64_t channels = call.Int(3, 2);
    const double level = call.Number(5, 1);
    if (!(length > 0 && length <= 36000) || !(frequency >= 0 && frequency <= 96000) || rate < 1000 || rate > 192000
        || channels < 1 || channels > 8 || !(level >= 0 && level <= 1)) {
        return call.Fail("the length, frequency, sample rate, channels or level is out of range");
    }
    std::string type = call.String(4, "Sine");
    std::transform(
        type.begin(), type.end(), type.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::string phase = "mod(" + Decimal<12>(frequency) + "*t,1)";
    const std::string wave = type == "sine" ? "sin(2*PI*" + Decimal<12>(frequency) + "*t)"
        : type == "square"                  ? "if(lt(" + phase + ",0.5),1,-1)"
        : type == "triangle"                ? "1-4*abs(" + phase + "-0.5)"
        : type == "sawtooth"                ? "2*" + phase + "-1"
        : type == "noise"                   ? "random(0)*2-1"
        : type == "silence"                 ? "0"
                                            : "";
    if (wave.empty()) {
        return call.Fail(
            "the type \"" + call.String(4, "") + "\" is none of Sine, Square, Triangle, Sawtooth, Noise, Silence");
    }
    std::string expressions;
    for (std::int64_t c = 0; c < channels; ++c) {
        expressions += (c > 0 ? "|" : "") + Decimal<12>(level) + "*" + wave;
    }
    AvsClip clip;
    clip.hasAudio = true;
    clip.sampleRate = static_cast<int>(rate);
    clip.channels = static_cast<int>(channels);
    clip.samples = std::llround(length * static_cast<double>(rate));
    clip.audioPad = call.Graph().Add("aevalsrc=exprs=" + AvsFilterValue(expressions) + ":s=" + Number(rate)
            + ":c=" + AvsChannelLayout(clip.channels) + ",atrim=end_sample=" + Number(clip.samples),
        {}, 0, 1);
    result = clip;
    return true;
}

constexpr AvsFunction channelFunctions[] = {
    {"MergeChannels", "c [more:c+]", MergeChannels},
    {"MonoToStereo", "c right:c", MonoToStereo},
    {"GetChannel", "c channel:i+", GetChannel},
    {"GetChannels", "c channel:i+", GetChannel},
    {"ConvertToMono", "c", ConvertToMono},
    {"MixAudio", "c second:c [clip1_factor:f] [clip2_factor:f]", MixAudio},
    {"ConvertAudioTo16bit", "c", ConvertAudioTo16bit},
    {"ConvertAudioToFloat", "c", ConvertAudioToFloat},
    {"EnsureVBRMP3Sync", "c", EnsureVbrMp3Sync},
    {"TimeStretch", "c [tempo:f] [rate:f] [pitch:f]", TimeStretch},
    {"Tone", "[length:f] [frequency:f] [samplerate:i] [channels:i] [type:s] [level:f]", Tone},
    {nullptr, nullptr, nullptr},
};

} // namespace

const AvsFunction* AvsChannelFunctions() { return channelFunctions; }

} // namespace discforge
