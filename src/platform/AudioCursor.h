// A reading position in one sound track of a file (see SoundTracks.h): demuxer, decoder and
// converter to interleaved PCM at the stream's own rate, mono or stereo,
// 8-bit unsigned when the stream is 8-bit and 16-bit signed otherwise.
//
// Audio is placed by sample position on the file's one clock, whose zero is its
// first picture (see SoundZeroPts), after any coder's delay the file leaves
// unmarked: after an open or a seek the first decoded frame is placed by its
// timestamp, a late start is filled with silence and samples before the wanted
// position are dropped; from then on the samples follow each other, and where
// the timestamps jump forward the gap is silence.
//
// Used by one thread at a time.
#pragma once

#include "platform/MediaError.h"
#include "platform/StreamCursor.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libswresample/swresample.h>
}

namespace discforge {

class AudioCursor : public StreamCursor {
public:
    // The demuxer and the decoder take the values `use` wants for them. `track`
    // counts the file's sound tracks from 1; defaultSoundTrack takes the file's choice.
    static std::unique_ptr<AudioCursor> Open(
        const std::string& path, MediaError& error, MediaOptionUse* use = nullptr, int track = 0);
    ~AudioCursor();

    int Channels() const { return channels_; }
    int SampleRate() const { return sampleRate_; }
    int BitsPerSample() const { return bits_; }
    int BlockAlign() const { return channels_ * bits_ / 8; }
    // The byte value of silence in the delivered format.
    std::uint8_t SilenceByte() const { return bits_ == 8 ? 0x80 : 0x00; }

    // Appends the next decoded samples to `out`; they start at NextPosition()
    // as it was before the call.
    CursorStep ReadChunk(std::vector<std::uint8_t>& out);
    std::int64_t NextPosition() const { return nextPosition_; }
    // True when reaching `position` is cheaper by a demuxer seek than by decoding on.
    bool ShouldSeekFor(std::int64_t position) const;
    bool SeekTo(std::int64_t position);
    // Decoding on: samples before `position` are dropped.
    void SkipTo(std::int64_t position);

    std::uint64_t SamplesDecoded() const { return samplesDecoded_; }

private:
    AudioCursor() = default;
    bool ConvertFrame(std::vector<std::uint8_t>& converted, int& samples);
    void Place(const std::vector<std::uint8_t>& converted, int samples, std::vector<std::uint8_t>& out);

    SwrContext* resampler_ = nullptr;
    AVChannelLayout resamplerInLayout_{};
    int resamplerInFormat_ = -1;
    int resamplerInRate_ = 0;
    int channels_ = 0;
    int sampleRate_ = 0;
    int bits_ = 16;
    std::vector<std::uint8_t> converted_;

    bool anchorPending_ = true;
    bool followTimestamps_ = false; // a forward jump in them is a gap of silence
    std::int64_t delaySamples_ = 0; // the coder's start-up samples before sample 0
    std::int64_t nextPosition_ = 0; // position of the next sample handed out
    std::int64_t decodePosition_ = 0; // position of the next sample out of the decoder

    std::uint64_t samplesDecoded_ = 0;
};

} // namespace discforge
