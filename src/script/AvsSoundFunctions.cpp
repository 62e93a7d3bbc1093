// Functions that change the sound: volume, delay and sample rate.
#include "script/AvsFilterText.h"
#include "script/AvsFunctions.h"

#include <algorithm>
#include <cmath>

namespace discforge {
namespace {

bool Sound(AvsCall& call, AvsClip& clip)
{
    clip = call.Clip(0);
    return clip.hasAudio || call.Fail("the clip has no sound");
}

double AsNumber(const AvsValue& value)
{
    return std::holds_alternative<double>(value) ? std::get<double>(value)
                                                 : static_cast<double>(std::get<std::int64_t>(value));
}

// One amount for all channels, or one per channel: amounts beyond the
// channels are left unused, and the last one given serves the channels after it.
bool Volume(AvsCall& call, AvsValue& result, bool decibels)
{
    AvsClip clip;
    if (!Sound(call, clip)) {
        return false;
    }
    std::vector<double> amounts{call.Number(1, 1)};
    for (const AvsValue& more : call.extra) {
        amounts.push_back(AsNumber(more));
    }
    for (const double amount : amounts) {
        if (!std::isfinite(amount) || std::fabs(amount) > (decibels ? 200 : 1e6)) {
            return call.Fail("the amount is out of range");
        }
    }
    if (amounts.size() == 1) {
        clip.audioPad = call.Graph().Chain(
            clip.audioPad, "volume=volume=" + Decimal<17>(amounts[0]) + (decibels ? "dB" : "") + ":precision=double");
        result = clip;
        return true;
    }
    std::string expressions;
    for (int channel = 0; channel < clip.channels; ++channel) {
        const double amount = amounts[std::min<std::size_t>(static_cast<std::size_t>(channel), amounts.size() - 1)];
        const double factor = decibels ? std::pow(10.0, amount / 20) : amount;
        expressions += (channel > 0 ? "|val(" : "val(") + Number(channel) + ")*(" + Decimal<17>(factor) + ")";
    }
    clip.audioPad = call.Graph().Chain(clip.audioPad, "aeval=exprs=" + expressions + ":channel_layout=same");
    result = clip;
    return true;
}

bool Amplify(AvsCall& call, AvsValue& result) { return Volume(call, result, false); }
bool AmplifyDb(AvsCall& call, AvsValue& result) { return Volume(call, result, true); }

// Two passes: the sound made so far is run once to find its peak, then one
// gain brings that peak to `volume` of full scale. Silence stays silent.
bool Normalize(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    if (!Sound(call, clip)) {
        return false;
    }
    if (call.Bool(2, false)) {
        return call.Fail("showing the gain in the picture (show=true) is not supported");
    }
    const double volume = call.Number(1, 1.0);
    if (!(volume >= 0 && volume <= 1000)) {
        return call.Fail("the volume must be between 0 and 1000");
    }
    double peak = 0;
    std::string reason;
    if (!call.Probe().SoundPeak(call.Graph().Render(-1, clip.audioPad), peak, reason)) {
        return call.Fail("the sound could not be measured: " + reason);
    }
    if (peak > 0) {
        clip.audioPad
            = call.Graph().Chain(clip.audioPad, "volume=volume=" + Decimal<17>(volume / peak) + ":precision=double");
    }
    result = clip;
    return true;
}

// A positive delay puts silence before the sound; a negative one cuts its start.
bool DelayAudio(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    if (!Sound(call, clip)) {
        return false;
    }
    const double seconds = call.Number(1, 0);
    if (!std::isfinite(seconds) || std::fabs(seconds) > 3600) {
        return call.Fail("the delay must lie within an hour");
    }
    const auto samples = static_cast<std::int64_t>(std::llround(seconds * clip.sampleRate));
    if (samples > 0) {
        clip.audioPad = call.Graph().Chain(clip.audioPad, "adelay=delays=" + Number(samples) + "S:all=1");
        clip.samples += samples;
    } else if (samples < 0) {
        clip.audioPad
            = call.Graph().Chain(clip.audioPad, "atrim=start_sample=" + Number(-samples) + ",asetpts=PTS-STARTPTS");
        clip.samples = std::max<std::int64_t>(0, clip.samples + samples);
    }
    result = clip;
    return true;
}

bool ResampleAudio(AvsCall& call, AvsValue& result)
{
    AvsClip clip;
    if (!Sound(call, clip)) {
        return false;
    }
    const std::int64_t rate = call.Int(1, 0);
    if (rate < 1000 || rate > 192000) {
        return call.Fail("the sample rate " + Number(rate) + " is out of range");
    }
    clip.audioPad = call.Graph().Chain(clip.audioPad, "aresample=" + Number(rate));
    clip.samples = static_cast<std::int64_t>(static_cast<__int128>(clip.samples) * rate / clip.sampleRate);
    clip.sampleRate = static_cast<int>(rate);
    result = clip;
    return true;
}

constexpr AvsFunction soundFunctions[] = {
    {"Amplify", "c amount:f+", Amplify},
    {"AmplifydB", "c amount:f+", AmplifyDb},
    {"DelayAudio", "c seconds:f", DelayAudio},
    {"Normalize", "c [volume:f] [show:b]", Normalize},
    {"ResampleAudio", "c new_rate:i", ResampleAudio},
    // SSRC is the same band-limited rate change; `fast` only chose its speed.
    {"SSRC", "c samplerate:i [fast:b]", ResampleAudio},
    {nullptr, nullptr, nullptr},
};

} // namespace

const AvsFunction* AvsSoundFunctions() { return soundFunctions; }

} // namespace discforge
