/*
 * Multiplexes the encoded pictures and sound into the disc's program stream, and splits
 * it into parts of at most a given size.
 *
 * Packets are gathered one closed GOP at a time (with the sound that plays during it), so
 * a part always ends at a GOP boundary and each part starts with a sequence header, a
 * closed GOP and the sound that goes with it, and ends with a sequence end code: a valid
 * stream on its own, with its clock starting again from zero. Each GOP's size in packs is
 * worked out from the bytes it carries (and, on a VCD, from its playing time at the
 * constant multiplex rate) before it is written; a GOP that would not fit begins the next
 * part. When splitting, a GOP waits for the next one, so that the last GOP of a part is
 * known when it is written.
 *
 * A DVD may carry up to eight sound streams; each GOP takes what every one of them plays
 * during it, so a GOP waits until all of them have caught up with its end (a stream
 * that ended early is no longer waited for).
 *
 * Part names (see encoder/OutputPartNames.h): one part keeps the output name; several parts are
 * named "<stem>_01<extension>", "<stem>_02<extension>", ... e.g. "movie_01.mpg".
 */
#pragma once

#include "DiscProfile.h"
#include "EncodeStatus.h"
#include "FfmpegHandles.h"
#include "OutputFiles.h"

#include <cstdint>
#include <deque>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

namespace discforge::convert {

// One sound stream of the program: its settings and the time base of its packets.
struct SoundStreamSetup {
    CodecParametersHandle parameters;
    AVRational timeBase{1, 1};
};

class ProgramWriter {
public:
    // partLimitBytes 0: one part of any size.
    ProgramWriter(const DiscProfile& profile, OutputFiles& files, int64_t partLimitBytes);
    ~ProgramWriter();
    ProgramWriter(const ProgramWriter&) = delete;
    ProgramWriter& operator=(const ProgramWriter&) = delete;

    // Takes the picture's settings from its opened encoder and the sound streams' (at
    // least one) as given, and begins the first part. The pictures' timestamps come in
    // `videoBase`, the video encoder's own when it is 0/0.
    EncodeStatus Open(const AVCodecContext* video, std::vector<SoundStreamSetup> sounds, AVRational videoBase = {0, 0});
    // Packets with timestamps in their stream's time base; a sound packet's stream_index
    // is its number among the sound streams.
    EncodeStatus AddVideo(AVPacket* packet);
    EncodeStatus AddAudio(AVPacket* packet);
    // No more packets come for that sound stream.
    EncodeStatus EndAudio(int stream);
    // Writes what is still gathered and ends the last part.
    EncodeStatus Finish();

    // The multiplexer's output; called by FFmpeg while a part is open.
    int WriteBytes(const uint8_t* data, int size);

private:
    struct SideData {
        AVPacketSideDataType type;
        std::vector<uint8_t> bytes;
    };

    struct SoundStream {
        SoundStreamSetup setup;
        std::deque<PacketHandle> waiting;
        int64_t reach = INT64_MIN; // where its packets gathered so far end, in the video time base
        bool ended = false;
    };

    struct Gop {
        std::vector<PacketHandle> pictures;
        std::vector<PacketHandle> sound; // what plays from its first picture to the next GOP's, of every stream
        int64_t startPts = 0;
        int64_t endPts = INT64_MAX; // the next GOP's first picture, in the video time base
        bool closed = false;        // the next GOP has begun
        bool complete = false;      // its sound is gathered too and its size worked out
        int64_t packs = 0;
    };

    void CompleteGops(bool final);
    EncodeStatus WriteReadyGops(bool final);
    EncodeStatus WriteGop(Gop& gop, const Gop* next, bool last);
    int64_t PacksFor(const Gop& gop) const;
    bool PartWouldExceed(int64_t packs) const;
    EncodeStatus BeginPart();
    EncodeStatus EndPart();
    EncodeStatus Mux(AVPacket* packet, int streamIndex, AVRational sourceBase);
    // How far every sound stream still running has been gathered, in the video time base.
    int64_t SoundReach() const;

    DiscProfile profile_;
    OutputFiles& files_;
    int64_t partLimitBytes_;

    AVCodecParameters* videoParameters_ = nullptr;
    std::vector<SideData> videoSideData_;
    AVRational videoBase_{1, 1};
    std::vector<SoundStream> sounds_;

    std::deque<Gop> gops_;

    AVFormatContext* muxer_ = nullptr;
    AVIOContext* io_ = nullptr;
    bool partHasData_ = false;
    int64_t partPacks_ = 0;      // the worked-out size of what went into the part
    int64_t partClockBase_ = 0;  // subtracted from every timestamp of the part, 90 kHz
    EncodeStatus ioStatus_;
};

} // namespace discforge::convert
