#include "platform/SoundResampler.h"

#include "platform/FfmpegError.h"
#include "platform/MediaSource.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>

namespace discforge {

namespace {

// One call never takes more than this much input, so its output is bounded before it is sized.
constexpr std::size_t maxFramesPerCall = 1 << 20;

} // namespace

SoundResampler::~SoundResampler() { swr_free(&context_); }

bool SoundResampler::Restart(int inputRate, int outputRate)
{
    swr_free(&context_);
    held_.clear();
    heldRead_ = 0;
    firstCall_ = true;
    inputRate_ = inputRate;
    outputRate_ = outputRate;
    if (inputRate <= 0 || inputRate > maxSampleRate || outputRate <= 0 || outputRate > maxSampleRate) {
        lastError_ = "sound rate out of range";
        return false;
    }
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    int result = swr_alloc_set_opts2(
        &context_, &stereo, AV_SAMPLE_FMT_S16, outputRate, &stereo, AV_SAMPLE_FMT_S16, inputRate, 0, nullptr);
    // Computed in floating point: the rest of a tone stays some 90 dB below it, far
    // below what the disc's coder keeps. The filter's 32 taps keep the look-ahead
    // the first block lacks at 16 samples of the lower rate.
    if (result >= 0) {
        result = av_opt_set_sample_fmt(context_, "internal_sample_fmt", AV_SAMPLE_FMT_FLTP, 0);
    }
    if (result >= 0) {
        result = av_opt_set_int(context_, "filter_size", 32, 0);
    }
    if (result >= 0) {
        result = swr_init(context_);
    }
    if (result < 0) {
        swr_free(&context_);
        lastError_ = AvErrorText(result);
        return false;
    }
    return true;
}

bool SoundResampler::Take(const std::uint8_t* input, std::size_t frames)
{
    if (heldRead_ > 0 && heldRead_ >= held_.size() / 2) {
        held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(heldRead_));
        heldRead_ = 0;
    }
    const int capacity = swr_get_out_samples(context_, static_cast<int>(frames));
    if (capacity < 0) {
        lastError_ = AvErrorText(capacity);
        return false;
    }
    const std::size_t before = held_.size();
    held_.resize(before + static_cast<std::size_t>(capacity) * 2);
    auto* out = reinterpret_cast<std::uint8_t*>(held_.data() + before);
    const std::uint8_t* in = input;
    const int made = swr_convert(context_, &out, capacity, &in, static_cast<int>(frames));
    if (made < 0) {
        held_.resize(before);
        lastError_ = AvErrorText(made);
        return false;
    }
    held_.resize(before + static_cast<std::size_t>(made) * 2);
    return true;
}

bool SoundResampler::Convert(const std::uint8_t* input, std::size_t frames, std::uint8_t* output, std::size_t wanted)
{
    std::memset(output, 0, wanted * 4);
    if (context_ == nullptr || frames > maxFramesPerCall || wanted > maxFramesPerCall) {
        return false;
    }
    if (!Take(input, frames)) {
        return false;
    }
    if (firstCall_) {
        firstCall_ = false;
        // The filter's look-ahead and one frame of rounding for every later call.
        const std::size_t lead = wanted > HeldFrames() ? wanted - HeldFrames() : 0;
        const std::size_t margin = static_cast<std::size_t>(outputRate_ / inputRate_) + 2;
        held_.insert(held_.begin() + static_cast<std::ptrdiff_t>(heldRead_), (lead + margin) * 2, 0);
    }
    // Should a later block still fall short, its end stays silent.
    const std::size_t given = std::min(wanted, HeldFrames());
    std::memcpy(output, held_.data() + heldRead_, given * 4);
    heldRead_ += given * 2;
    return true;
}

} // namespace discforge
