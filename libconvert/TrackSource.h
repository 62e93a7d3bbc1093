// One more sound stream of a DVD, read by the library from the input file itself: each
// track is decoded and encoded as AC-3 in its own channel layout (mono, stereo, or 5.1
// for anything wider), or an AC-3 track at 48 kHz is passed on packet by packet.
//
// The track is placed on the encode's clock by the caller's start instant: what the
// track plays at that instant is sample 0; a track that starts later begins with
// silence, sound before the instant is dropped. It covers exactly as long as the
// pictures (the encoder pads with silence); copied packets stop at the pictures' end.
// Packets go out with timestamps in 1/48000 s and stream_index set to the stream's
// number among the sound streams.
#pragma once

#include "DiscProfile.h"
#include "EncodeStatus.h"
#include "FfmpegHandles.h"
#include "SoundEncoder.h"

#include <cstdint>
#include <string>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

namespace discforge::convert {

struct TrackRequest {
    std::string path;
    int streamIndex = 0;
    int64_t startPts = 0;
    bool copy = false;
};

// The sound streams of an encode beyond the supply's; with replaceSupply the first of
// them takes the supply's place, whose sound is then pulled but not written.
struct TrackPlan {
    std::vector<TrackRequest> tracks;
    bool replaceSupply = false;
};

class TrackSource {
public:
    TrackSource() = default;
    ~TrackSource();
    TrackSource(const TrackSource&) = delete;
    TrackSource& operator=(const TrackSource&) = delete;

    // samplesWanted: sample frames at the disc's rate that cover the pictures.
    EncodeStatus Open(const TrackRequest& request, const DiscProfile& profile, int64_t samplesWanted, int number);
    // The stream's settings and time base for the program stream.
    EncodeStatus Describe(AVCodecParameters* parameters, AVRational& timeBase) const;
    // Reads on until the sound covers `samples` sample frames at the disc's rate (or the track ended).
    EncodeStatus ReadUntil(int64_t samples, const PacketSink& sink);
    // Delivers the rest up to the pictures' end.
    EncodeStatus Finish(const PacketSink& sink);
    bool Copied() const { return copy_; }
    // No more packets will come.
    bool Ended() const { return ended_; }

private:
    EncodeStatus ReadPacket(bool& ended);
    EncodeStatus DecodeFrames(const PacketSink& sink);
    EncodeStatus FeedFrame(const PacketSink& sink);
    EncodeStatus CopyPacket(const PacketSink& sink);
    EncodeStatus Failure(const char* call, int error) const;

    std::string path_;
    AVFormatContext* format_ = nullptr;
    AVStream* stream_ = nullptr;
    CodecContextHandle decoder_;
    ResampleHandle converter_; // the decoder's samples into 16-bit interleaved, same rate
    SoundEncoder encoder_;
    PacketHandle packet_;
    FrameHandle frame_;
    std::vector<uint8_t> converted_;
    int channels_ = 0; // of the encoded stream
    int number_ = 0;
    bool copy_ = false;
    bool ended_ = false;
    bool placed_ = false; // the first sound is placed; what follows runs on from it
    int64_t startPts_ = 0;
    int64_t diskRate_ = 48000;
    int64_t samplesWanted_ = 0;
    int64_t inputFed_ = 0;  // sample frames at the track's own rate given to the encoder
    int64_t reach_ = 0;     // where the sound delivered so far ends, at the disc's rate
};

} // namespace discforge::convert
