// What a script may ask of a clip: its size, rate, length, sound and pixel
// layout.
#include "script/AvsFunctions.h"

#include <algorithm>
#include <initializer_list>

namespace discforge {
namespace {

const AvsClip& Of(AvsCall& call) { return call.Clip(0); }

bool Width(AvsCall& call, AvsValue& result)
{
    result = std::int64_t{Of(call).width};
    return true;
}
bool Height(AvsCall& call, AvsValue& result)
{
    result = std::int64_t{Of(call).height};
    return true;
}
bool FrameCount(AvsCall& call, AvsValue& result)
{
    result = Of(call).frames;
    return true;
}
bool FrameRate(AvsCall& call, AvsValue& result)
{
    const AvsClip& clip = Of(call);
    result = clip.fpsDenominator > 0 ? static_cast<double>(clip.fpsNumerator) / clip.fpsDenominator : 0.0;
    return true;
}
bool FrameRateNumerator(AvsCall& call, AvsValue& result)
{
    result = std::int64_t{Of(call).fpsNumerator};
    return true;
}
bool FrameRateDenominator(AvsCall& call, AvsValue& result)
{
    result = std::int64_t{Of(call).fpsDenominator};
    return true;
}
bool AudioRate(AvsCall& call, AvsValue& result)
{
    result = std::int64_t{Of(call).hasAudio ? Of(call).sampleRate : 0};
    return true;
}
bool AudioChannels(AvsCall& call, AvsValue& result)
{
    result = std::int64_t{Of(call).hasAudio ? Of(call).channels : 0};
    return true;
}
bool AudioLength(AvsCall& call, AvsValue& result)
{
    result = Of(call).hasAudio ? Of(call).samples : std::int64_t{0};
    return true;
}
bool AudioLengthF(AvsCall& call, AvsValue& result)
{
    result = static_cast<double>(Of(call).hasAudio ? Of(call).samples : 0);
    return true;
}
bool AudioDuration(AvsCall& call, AvsValue& result)
{
    const AvsClip& clip = Of(call);
    result = clip.hasAudio && clip.sampleRate > 0 ? static_cast<double>(clip.samples) / clip.sampleRate : 0.0;
    return true;
}
bool HasAudio(AvsCall& call, AvsValue& result)
{
    result = Of(call).hasAudio;
    return true;
}
bool HasVideo(AvsCall& call, AvsValue& result)
{
    result = Of(call).hasVideo;
    return true;
}

bool Is(AvsCall& call, AvsValue& result, std::initializer_list<AvsPixelType> types)
{
    const AvsClip& clip = Of(call);
    result = clip.hasVideo && std::find(types.begin(), types.end(), clip.pixelType) != types.end();
    return true;
}
bool IsRgb(AvsCall& call, AvsValue& result) { return Is(call, result, {AvsPixelType::Rgb24, AvsPixelType::Rgb32}); }
bool IsRgb24(AvsCall& call, AvsValue& result) { return Is(call, result, {AvsPixelType::Rgb24}); }
bool IsRgb32(AvsCall& call, AvsValue& result) { return Is(call, result, {AvsPixelType::Rgb32}); }
bool IsYuv(AvsCall& call, AvsValue& result) { return Is(call, result, {AvsPixelType::Yv12, AvsPixelType::Yuy2}); }
bool IsYv12(AvsCall& call, AvsValue& result) { return Is(call, result, {AvsPixelType::Yv12}); }
bool IsYuy2(AvsCall& call, AvsValue& result) { return Is(call, result, {AvsPixelType::Yuy2}); }
bool IsPlanar(AvsCall& call, AvsValue& result) { return Is(call, result, {AvsPixelType::Yv12}); }
bool IsInterleaved(AvsCall& call, AvsValue& result)
{
    return Is(call, result, {AvsPixelType::Yuy2, AvsPixelType::Rgb24, AvsPixelType::Rgb32});
}

constexpr AvsFunction clipProperties[] = {
    {"Width", "c", Width},
    {"Height", "c", Height},
    {"FrameCount", "c", FrameCount},
    {"FrameRate", "c", FrameRate},
    {"FrameRateNumerator", "c", FrameRateNumerator},
    {"FrameRateDenominator", "c", FrameRateDenominator},
    {"AudioRate", "c", AudioRate},
    {"AudioChannels", "c", AudioChannels},
    {"AudioLength", "c", AudioLength},
    {"AudioLengthF", "c", AudioLengthF},
    {"AudioDuration", "c", AudioDuration},
    {"HasAudio", "c", HasAudio},
    {"HasVideo", "c", HasVideo},
    {"IsRGB", "c", IsRgb},
    {"IsRGB24", "c", IsRgb24},
    {"IsRGB32", "c", IsRgb32},
    {"IsYUV", "c", IsYuv},
    {"IsYV12", "c", IsYv12},
    {"IsYUY2", "c", IsYuy2},
    {"IsPlanar", "c", IsPlanar},
    {"IsInterleaved", "c", IsInterleaved},
    {nullptr, nullptr, nullptr},
};

} // namespace

const AvsFunction* AvsClipProperties() { return clipProperties; }

} // namespace discforge
