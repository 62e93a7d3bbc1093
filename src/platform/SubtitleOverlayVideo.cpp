#include "platform/SubtitleOverlayVideo.h"

#include "platform/FfmpegError.h"
#include "platform/FfmpegHandles.h"
#include "platform/FileIdentity.h"
#include "platform/MediaMessages.h"
#include "platform/PictureSubtitleTrack.h"
#include "platform/UserFiles.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <unistd.h>
#include <utility>
#include <vector>

namespace discforge {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t videosKept = 16;
constexpr AVRational milliseconds{1, 1000};

struct MuxerFree {
    void operator()(AVFormatContext* context) const
    {
        if (context->pb != nullptr) {
            avio_closep(&context->pb);
        }
        avformat_free_context(context);
    }
};

std::string IdentityText(const std::string& path)
{
    const FileIdentity identity = FileIdentity::Of(path);
    return std::to_string(identity.device) + ":" + std::to_string(identity.inode) + ":" + std::to_string(identity.size)
        + ":" + std::to_string(identity.modified.tv_sec) + "." + std::to_string(identity.modified.tv_nsec);
}

// A VobSub index's pictures are in the ".sub" beside it: its version counts too.
std::string VideoName(const std::string& path)
{
    const std::string key = fs::absolute(path).string() + "|" + IdentityText(path) + "|"
        + IdentityText(fs::path(path).replace_extension(".sub").string());
    char name[32];
    std::snprintf(name, sizeof name, "%016zx.nut", std::hash<std::string>{}(key));
    return name;
}

// The oldest videos beyond the newest few are removed before another is made.
void KeepNewest(const fs::path& folder)
{
    std::error_code error;
    std::vector<std::pair<fs::file_time_type, fs::path>> videos;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        if (entry->path().extension() == ".nut") {
            videos.emplace_back(entry->last_write_time(error), entry->path());
        }
    }
    std::sort(videos.begin(), videos.end());
    for (std::size_t i = 0; i + videosKept <= videos.size(); ++i) {
        fs::remove(videos[i].second, error);
    }
}

class OverlayWriter {
public:
    bool Open(const std::string& path, int width, int height, std::string& reason)
    {
        AVFormatContext* muxer = nullptr;
        int result = avformat_alloc_output_context2(&muxer, nullptr, "nut", path.c_str());
        muxer_.reset(muxer);
        const AVCodec* png = avcodec_find_encoder(AV_CODEC_ID_PNG);
        encoder_.reset(png != nullptr ? avcodec_alloc_context3(png) : nullptr);
        frame_.reset(av_frame_alloc());
        packet_.reset(av_packet_alloc());
        if (result < 0 || !encoder_ || !frame_ || !packet_) {
            return Failed("avformat_alloc_output_context2()", path, result < 0 ? result : AVERROR(ENOMEM), reason);
        }
        encoder_->width = width;
        encoder_->height = height;
        encoder_->pix_fmt = AV_PIX_FMT_RGBA;
        encoder_->time_base = milliseconds;
        if ((muxer_->oformat->flags & AVFMT_GLOBALHEADER) != 0) {
            encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        }
        if ((result = avcodec_open2(encoder_.get(), png, nullptr)) < 0) {
            return Failed("avcodec_open2()", path, result, reason);
        }
        stream_ = avformat_new_stream(muxer_.get(), nullptr);
        if (stream_ == nullptr) {
            return Failed("avformat_new_stream()", path, AVERROR(ENOMEM), reason);
        }
        stream_->time_base = milliseconds;
        if ((result = avcodec_parameters_from_context(stream_->codecpar, encoder_.get())) < 0
            || (result = avio_open(&muxer_->pb, path.c_str(), AVIO_FLAG_WRITE)) < 0
            || (result = avformat_write_header(muxer_.get(), nullptr)) < 0) {
            return Failed("avformat_write_header()", path, result, reason);
        }
        frame_->format = AV_PIX_FMT_RGBA;
        frame_->width = width;
        frame_->height = height;
        if ((result = av_frame_get_buffer(frame_.get(), 0)) < 0) {
            return Failed("av_frame_get_buffer()", path, result, reason);
        }
        path_ = path;
        return true;
    }

    // The frame at `ms`: transparent, with the picture (inside the frame) laid in when there is one.
    bool Put(std::int64_t ms, const SubtitlePicture* picture, std::string& reason)
    {
        int result = av_frame_make_writable(frame_.get());
        if (result < 0) {
            return Failed("av_frame_make_writable()", path_, result, reason);
        }
        for (int row = 0; row < frame_->height; ++row) {
            std::memset(frame_->data[0] + static_cast<std::ptrdiff_t>(row) * frame_->linesize[0], 0,
                static_cast<std::size_t>(frame_->width) * 4);
        }
        if (picture != nullptr) {
            for (int row = 0; row < picture->height; ++row) {
                std::memcpy(frame_->data[0] + static_cast<std::ptrdiff_t>(picture->y + row) * frame_->linesize[0]
                        + static_cast<std::ptrdiff_t>(picture->x) * 4,
                    picture->rgba.data() + static_cast<std::size_t>(row) * picture->width * 4,
                    static_cast<std::size_t>(picture->width) * 4);
            }
        }
        frame_->pts = ms;
        return Send(frame_.get(), reason);
    }

    bool Finish(std::string& reason)
    {
        if (!Send(nullptr, reason)) {
            return false;
        }
        const int result = av_write_trailer(muxer_.get());
        return result >= 0 || Failed("av_write_trailer()", path_, result, reason);
    }

private:
    bool Send(const AVFrame* frame, std::string& reason)
    {
        int result = avcodec_send_frame(encoder_.get(), frame);
        while (result >= 0) {
            result = avcodec_receive_packet(encoder_.get(), packet_.get());
            if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) {
                return true;
            }
            if (result >= 0) {
                av_packet_rescale_ts(packet_.get(), encoder_->time_base, stream_->time_base);
                packet_->stream_index = stream_->index;
                result = av_interleaved_write_frame(muxer_.get(), packet_.get());
            }
        }
        return Failed("avcodec_send_frame()", path_, result, reason);
    }

    static bool Failed(const char* call, const std::string& path, int code, std::string& reason)
    {
        reason = AvFailure(MediaFailure::ResourceFailed, call, path, code).text;
        return false;
    }

    std::unique_ptr<AVFormatContext, MuxerFree> muxer_;
    CodecContextHandle encoder_;
    FrameHandle frame_;
    PacketHandle packet_;
    AVStream* stream_ = nullptr;
    std::string path_;
};

bool WriteOverlay(const PictureSubtitles& read, const std::string& path, std::string& reason)
{
    OverlayWriter writer;
    if (!writer.Open(path, read.frameWidth, read.frameHeight, reason)) {
        return false;
    }
    const std::vector<SubtitlePicture>& pictures = read.pictures;
    // The overlay shows nothing until the first picture.
    if ((pictures.empty() || pictures.front().startMs > 0) && !writer.Put(0, nullptr, reason)) {
        return false;
    }
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        if (!writer.Put(pictures[i].startMs, &pictures[i], reason)) {
            return false;
        }
        // Back to back, the next picture replaces this one at its end.
        const bool replaced = i + 1 < pictures.size() && pictures[i + 1].startMs == pictures[i].endMs;
        if (!replaced && !writer.Put(pictures[i].endMs, nullptr, reason)) {
            return false;
        }
    }
    return writer.Finish(reason);
}

} // namespace

bool SubtitleOverlayVideo(const std::string& path, std::string& video, std::string& reason)
{
    const std::string folder = UserCacheFolder("subtitle-videos");
    if (folder.empty()) {
        reason = media_messages::noCacheFolder;
        return false;
    }
    const fs::path made = fs::path(folder) / VideoName(path);
    std::error_code error;
    if (fs::is_regular_file(made, error)) {
        video = made.string();
        return true;
    }
    MediaError readError;
    const PictureSubtitles read = ReadPictureSubtitles(path, 1, {}, readError);
    if (readError.Failed()) {
        reason = readError.text;
        return false;
    }
    KeepNewest(folder);
    // Written under a name of its own first, so that no reader ever finds half a video.
    const fs::path partial = made.string() + "." + std::to_string(::getpid()) + ".part";
    if (!WriteOverlay(read, partial.string(), reason)) {
        fs::remove(partial, error);
        return false;
    }
    fs::rename(partial, made, error);
    if (error) {
        fs::remove(partial, error);
        reason = MediaText(media_messages::overlayNotKept, made.c_str());
        return false;
    }
    video = made.string();
    return true;
}

} // namespace discforge
