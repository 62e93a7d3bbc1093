// What AudioCursor and VideoCursor share: the opened file, the demuxer and
// decoder of its chosen stream, and the demuxer seek. A cursor derives from it
// and adds its own converter and numbering.
//
// Used by one thread at a time.
#pragma once

#include "platform/MediaError.h"
#include "platform/MediaSource.h"

#include <cstdint>
#include <memory>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace discforge {

class StreamCursor {
public:
    StreamCursor(const StreamCursor&) = delete;
    StreamCursor& operator=(const StreamCursor&) = delete;

    const MediaSource& Source() const { return *source_; }
    const AVStream* Stream() const { return stream_; }
    const AVCodec* Decoder() const { return decoder_; }
    const std::string& LastError() const { return lastError_; }
    std::uint64_t Seeks() const { return seeks_; }

protected:
    StreamCursor() = default;
    ~StreamCursor();

    // Opens `path` and finds its first stream of `type` into `index`; null with
    // `error` filled when there is none (`noStreamMessage` takes the path).
    // The demuxer and the decoder take the values `use` wants for them.
    static std::unique_ptr<MediaSource> OpenSource(const std::string& path, AVMediaType type,
        const char* noStreamMessage, int& index, MediaError& error, MediaOptionUse* use);
    // Opens the decoder of stream `index` and takes the source over, keeping
    // only that stream. False with `error` filled.
    bool OpenDecoder(std::unique_ptr<MediaSource> source, int index, MediaError& error, MediaOptionUse* use);
    // The next decoded frame of the stream into frame_. With `skip`, pictures that
    // no other picture needs are skipped in packets timed before its limit.
    CursorStep DecodeStreamFrame(const UnreferencedSkip* skip = nullptr);
    // Counts a seek, seeks the demuxer to the key frame at or before `pts` and
    // flushes the decoder; on failure lastError_ says why.
    bool SeekDemuxer(std::int64_t pts);
    bool RewindScript();

    std::unique_ptr<MediaSource> source_;
    AVStream* stream_ = nullptr;
    int streamIndex_ = -1;
    const AVCodec* decoder_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
    std::int64_t startPts_ = 0;
    bool draining_ = false;

    std::string lastError_;
    std::uint64_t seeks_ = 0;
};

} // namespace discforge
