// One opened media file (an AVFormatContext) and the timing facts the layers
// derive from its streams. Each reader position in the layers owns its own
// source, so demuxing never crosses threads.
#pragma once

#include "platform/MediaError.h"
#include "platform/MediaOptions.h"
#include "script/AvsValue.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace discforge {

// Limits for what a file may claim before anything is allocated from it.
constexpr int maxPictureSide = 16384;
constexpr int maxSampleRate = 768000;
constexpr int maxChannels = 64;

class MediaSource {
public:
    // Checks the path (missing file), opens it with file access only, and
    // reads the stream information. The demuxer takes the values `use` wants
    // for it; values it fails with are dropped. An AviSynth script is
    // evaluated and its result opened as a filter graph.
    static std::unique_ptr<MediaSource> Open(const std::string& path, MediaError& error, MediaOptionUse* use = nullptr);
    ~MediaSource();
    MediaSource(const MediaSource&) = delete;
    MediaSource& operator=(const MediaSource&) = delete;

    AVFormatContext* Context() const { return context_; }
    const std::string& Path() const { return path_; }
    // Index of the first stream of the type (attached cover pictures are not
    // video); -1 when there is none.
    int FirstStream(AVMediaType type) const;
    AVStream* Stream(int index) const { return context_->streams[index]; }
    // Tells the demuxer to drop every packet of the other streams.
    void KeepOnlyStream(int index);
    bool CanSeek() const;

    // A script's graph cannot seek: it is built anew and read from its start.
    bool IsScript() const { return !scriptGraph_.empty(); }
    bool Rewind(MediaError& error);
    // Lines for the run log about the filters a script's plugins run as.
    const std::vector<std::string>& ScriptNotes() const { return scriptNotes_; }

private:
    MediaSource(AVFormatContext* context, std::string path);
    static std::unique_ptr<MediaSource> OpenScript(const std::string& path, MediaError& error);
    AVFormatContext* context_;
    std::string path_;
    std::string scriptGraph_;
    AvsClip scriptClip_;
    std::vector<std::string> scriptNotes_;
};

// Opens a decoder for the stream with the values `use` wants for it (without
// them when it fails with them). Null on failure with `error` filled.
AVCodecContext* OpenStreamDecoder(const MediaSource& source, int streamIndex, const AVCodec** decoder,
    MediaError& error, MediaOptionUse* use = nullptr);

enum class CursorStep { Frame, End, Failed };

// Pictures that no other picture refers to are not decoded from packets timed
// before `beforePts`: a caller decoding on to a later frame would drop them.
// `chosen` is the decoder's own setting, which holds for every other packet.
struct UnreferencedSkip {
    std::int64_t beforePts = AV_NOPTS_VALUE;
    AVDiscard chosen = AVDISCARD_DEFAULT;
};

// The demux-and-decode loop: brings the stream's next decoded frame into
// `frame`. A damaged packet is skipped; a read error ends the stream where it
// happens, so a truncated file plays up to the cut. `draining` carries the
// state between calls (false after an open, a seek or a flush); `error` gets
// the text of the last failure seen.
CursorStep DecodeNextFrame(MediaSource& source, int streamIndex, AVCodecContext* codec, AVPacket* packet,
    AVFrame* frame, bool& draining, std::string& error, const UnreferencedSkip* skip = nullptr);

// Checks a picture size from the file before anything is sized from it.
bool PictureSizeValid(int width, int height);

} // namespace discforge
