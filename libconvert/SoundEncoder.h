// The disc's sound encoder (Layer II or AC-3) behind a resampler and a FIFO: takes
// 16-bit interleaved sound (stereo, or for AC-3 mono to 5.1) at the caller's rate in any amounts, and makes exactly enough sound
// to cover the picture, padding with silence when the caller's sound ends early.
#pragma once

#include "CodecPump.h"
#include "DiscProfile.h"
#include "EncodeStatus.h"
#include "FfmpegHandles.h"

#include <cstddef>
#include <cstdint>

namespace discforge::convert {

class SoundEncoder {
public:
    SoundEncoder() = default;
    ~SoundEncoder() { av_channel_layout_uninit(&layout_); }
    SoundEncoder(const SoundEncoder&) = delete;
    SoundEncoder& operator=(const SoundEncoder&) = delete;

    // samplesWanted: how many sample frames at the disc's rate cover the picture.
    // channels: 1, 2 or 6 (5.1, at the highest AC-3 rate a DVD takes).
    EncodeStatus Open(const DiscProfile& profile, int inputRate, int64_t samplesWanted, int channels = 2);
    // Takes `frames` sample frames of 16-bit little-endian sound in the opened channels.
    EncodeStatus Feed(const uint8_t* samples, std::size_t frames, const PacketSink& sink);
    // Adds the resampler's tail and silence up to the wanted length, then drains the encoder.
    EncodeStatus Finish(const PacketSink& sink);
    const AVCodecContext* Context() const { return context_.get(); }

private:
    EncodeStatus Store(int frames);
    EncodeStatus EncodeWholeFrames(const PacketSink& sink);
    EncodeStatus ReserveScratch(int frames);

    CodecContextHandle context_;
    ResampleHandle resampler_;
    AudioFifoHandle fifo_;
    FrameHandle scratch_; // resampler output, in the encoder's sample format
    FrameHandle frame_;   // one encoder frame
    AVChannelLayout layout_{};
    PacketHandle packet_;
    int64_t samplesWanted_ = 0;
    int64_t samplesStored_ = 0;  // taken into the FIFO so far
    int64_t samplesEncoded_ = 0; // sent to the encoder so far
};

} // namespace discforge::convert
