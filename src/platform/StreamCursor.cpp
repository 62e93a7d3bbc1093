#include "platform/StreamCursor.h"

#include "platform/FfmpegError.h"
#include "platform/FreedMemory.h"
#include "platform/MediaMessages.h"
#include "platform/StreamTiming.h"

namespace discforge {

StreamCursor::~StreamCursor()
{
    av_packet_free(&packet_);
    av_frame_free(&frame_);
    avcodec_free_context(&codec_);
    ReturnFreedMemory();
}

std::unique_ptr<MediaSource> StreamCursor::OpenSource(const std::string& path, AVMediaType type,
    const char* noStreamMessage, int& index, MediaError& error, MediaOptionUse* use)
{
    std::unique_ptr<MediaSource> source = MediaSource::Open(path, error, use);
    if (!source) {
        return nullptr;
    }
    index = source->FirstStream(type);
    if (index < 0) {
        error = PlainFailure(MediaFailure::NoStream, MediaText(noStreamMessage, path.c_str()));
        return nullptr;
    }
    return source;
}

bool StreamCursor::OpenDecoder(std::unique_ptr<MediaSource> source, int index, MediaError& error, MediaOptionUse* use)
{
    source_ = std::move(source);
    codec_ = OpenStreamDecoder(*source_, index, &decoder_, error, use);
    if (codec_ == nullptr) {
        return false;
    }
    frame_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    if (frame_ == nullptr || packet_ == nullptr) {
        error = PlainFailure(MediaFailure::ResourceFailed, MediaText(media_messages::outOfMemory, "a frame"));
        return false;
    }
    source_->KeepOnlyStream(index);
    stream_ = source_->Stream(index);
    streamIndex_ = index;
    startPts_ = StreamStartPts(source_->Context(), stream_);
    return true;
}

CursorStep StreamCursor::DecodeStreamFrame(const UnreferencedSkip* skip)
{
    return DecodeNextFrame(*source_, streamIndex_, codec_, packet_, frame_, draining_, lastError_, skip);
}

bool StreamCursor::SeekDemuxer(std::int64_t pts)
{
    ++seeks_;
    if (source_->IsScript()) {
        return RewindScript();
    }
    int result = av_seek_frame(source_->Context(), streamIndex_, pts, AVSEEK_FLAG_BACKWARD);
    if (result < 0) {
        result = avformat_seek_file(source_->Context(), streamIndex_, INT64_MIN, pts, pts, 0);
    }
    if (result < 0) {
        lastError_ = AvFailure(MediaFailure::ReadFailed, "av_seek_frame()", source_->Path(), result).text;
        return false;
    }
    avcodec_flush_buffers(codec_);
    draining_ = false;
    return true;
}

// The cursor then decodes on from the first frame to the one it wants.
bool StreamCursor::RewindScript()
{
    MediaError error;
    if (!source_->Rewind(error)) {
        lastError_ = error.text;
        return false;
    }
    stream_ = source_->Stream(streamIndex_);
    avcodec_flush_buffers(codec_);
    draining_ = false;
    return true;
}

} // namespace discforge
