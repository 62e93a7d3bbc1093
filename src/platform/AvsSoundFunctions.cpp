// Functions that change the sound: volume, delay and sample rate.
#include "platform/AvsFunctions.h"

#include <cmath>

namespace discforge {
namespace {

std::string Number(std::int64_t value) { return std::to_string(value); }

bool Sound(AvsCall& call, AvsClip& clip)
{
    clip = call.Clip(0);
    return clip.hasAudio || call.Fail("the clip has no sound");
}

std::string Decimal(double value)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.6f", value);
    return text;
}

// One factor for every channel; factors per channel are not taken.
bool Volume(AvsCall& call, AvsValue& result, bool decibels)
{
    AvsClip clip;
    if (!Sound(call, clip)) {
        return false;
    }
    if (!call.extra.empty()) {
        return call.Fail("one factor for all channels is supported, not one per channel");
    }
    const double amount = call.Number(1, 1);
    if (!std::isfinite(amount) || std::fabs(amount) > (decibels ? 200 : 1e6)) {
        return call.Fail("the amount is out of range");
    }
    clip.audioPad = call.Graph().Chain(
        clip.audioPad, "volume=volume=" + Decimal(amount) + (decibels ? "dB" : "") + ":precision=double");
    result = clip;
    return true;
}

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
        char gain[48];
        std::snprintf(gain, sizeof gain, "%.17g", volume / peak);
        clip.audioPad = call.Graph().Chain(clip.audioPad, std::string("volume=volume=") + gain + ":precision=double");
    }
    result = clip;
    return true;
}

bool Amplify(AvsCall& call, AvsValue& result) { return Volume(call, result, false); }
bool AmplifyDb(AvsCall& call, AvsValue& result) { return Volume(call, result, true); }

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
    {nullptr, nullptr, nullptr},
};

} // namespace

const AvsFunction* AvsSoundFunctions() { return soundFunctions; }

} // namespace discforge
