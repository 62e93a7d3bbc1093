#include "platform/AviFile.h"

#include "platform/FfmpegError.h"
#include "platform/MediaMessages.h"
#include "platform/MediaSource.h"
#include "platform/StreamTiming.h"
#include "platform/VideoCursor.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

namespace discforge {

namespace {

constexpr auto nearest = static_cast<AVRounding>(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX);
constexpr auto downward = static_cast<AVRounding>(AV_ROUND_DOWN | AV_ROUND_PASS_MINMAX);

std::uint32_t ClampToUint32(std::int64_t value)
{
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(value, 0, std::numeric_limits<std::uint32_t>::max()));
}

// The frame rate as rate / scale in 32 bits each.
void RateAndScale(AVRational frameRate, std::uint32_t& rate, std::uint32_t& scale)
{
    int num = 0;
    int den = 0;
    av_reduce(&num, &den, frameRate.num, frameRate.den, std::numeric_limits<std::int32_t>::max());
    rate = num > 0 && den > 0 ? static_cast<std::uint32_t>(num) : 25;
    scale = num > 0 && den > 0 ? static_cast<std::uint32_t>(den) : 1;
}

AVRational FrameRateOr25(const AVStream* stream)
{
    AVRational rate = StreamFrameRate(stream);
    return rate.num > 0 ? rate : AVRational{25, 1};
}

void PutLe32(std::uint8_t* at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

void PutLe16(std::uint8_t* at, std::uint16_t value)
{
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

} // namespace

// ---------------------------------------------------------------- file

class AviFile::Impl {
public:
    std::unique_ptr<MediaSource> source;
    AviFileInfo info;
};

AviFile::AviFile(std::shared_ptr<Impl> impl)
    : impl_(std::move(impl))
{
}
AviFile::~AviFile() = default;

std::unique_ptr<AviFile> AviFile::Open(const std::string& path, MediaError& error)
{
    auto impl = std::make_shared<Impl>();
    impl->source = MediaSource::Open(path, error);
    if (!impl->source) {
        return nullptr;
    }
    const AVFormatContext* context = impl->source->Context();
    AviFileInfo& info = impl->info;
    info.streams = context->nb_streams;
    int video = impl->source->FirstStream(AVMEDIA_TYPE_VIDEO);
    int audio = impl->source->FirstStream(AVMEDIA_TYPE_AUDIO);
    if (video >= 0) {
        const AVStream* stream = impl->source->Stream(video);
        if (!PictureSizeValid(stream->codecpar->width, stream->codecpar->height)) {
            error = PlainFailure(MediaFailure::BadFormat,
                MediaText(
                    media_messages::badPictureSize, stream->codecpar->width, stream->codecpar->height, path.c_str()));
            return nullptr;
        }
        info.width = static_cast<std::uint32_t>(stream->codecpar->width);
        info.height = static_cast<std::uint32_t>(stream->codecpar->height);
        info.length = ClampToUint32(StreamFrameCount(context, stream));
        RateAndScale(FrameRateOr25(stream), info.rate, info.scale);
    } else if (audio >= 0) {
        const AVStream* stream = impl->source->Stream(audio);
        int rate = std::clamp(stream->codecpar->sample_rate, 1, maxSampleRate);
        info.rate = static_cast<std::uint32_t>(rate);
        info.scale = 1;
        info.length = ClampToUint32(av_rescale(StreamDuration100ns(context, stream), rate, 10000000));
    } else {
        error = PlainFailure(MediaFailure::NoStream, MediaText(media_messages::noVideoStream, path.c_str()));
        return nullptr;
    }
    return std::unique_ptr<AviFile>(new AviFile(std::move(impl)));
}

const AviFileInfo& AviFile::Info() const { return impl_->info; }

// ---------------------------------------------------------------- stream

class AviStream::Impl {
public:
    std::shared_ptr<AviFile::Impl> file;
    AVStream* stream = nullptr;
    AviStreamInfo info;
    AVRational frameRate{25, 1};
    std::int64_t startPts = 0;

    std::int64_t IndexOfPts(std::int64_t pts) const
    {
        return av_rescale_q_rnd(pts - startPts, stream->time_base, av_inv_q(frameRate), nearest);
    }
    std::int64_t PtsOfIndex(std::int64_t index) const
    {
        return startPts + av_rescale_q_rnd(index, av_inv_q(frameRate), stream->time_base, downward);
    }
    std::int64_t ScanForKeyFrame(std::int64_t position);
};

AviStream::AviStream(std::unique_ptr<Impl> impl)
    : impl_(std::move(impl))
{
}
AviStream::~AviStream() = default;

std::unique_ptr<AviStream> AviFile::GetStream(std::uint32_t type, int index)
{
    AVMediaType wanted = type == aviStreamTypeVideo ? AVMEDIA_TYPE_VIDEO
        : type == aviStreamTypeAudio                ? AVMEDIA_TYPE_AUDIO
                                                    : AVMEDIA_TYPE_UNKNOWN;
    if (wanted == AVMEDIA_TYPE_UNKNOWN || index < 0) {
        return nullptr;
    }
    const AVFormatContext* context = impl_->source->Context();
    int seen = 0;
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        AVStream* stream = context->streams[i];
        bool cover = (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) != 0;
        if (stream->codecpar->codec_type != wanted || (wanted == AVMEDIA_TYPE_VIDEO && cover) || seen++ != index) {
            continue;
        }
        auto impl = std::make_unique<AviStream::Impl>();
        impl->file = impl_;
        impl->stream = stream;
        impl->startPts = StreamStartPts(context, stream);
        AviStreamInfo& info = impl->info;
        info.type = type;
        info.handler = stream->codecpar->codec_tag;
        if (wanted == AVMEDIA_TYPE_VIDEO) {
            impl->frameRate = FrameRateOr25(stream);
            RateAndScale(impl->frameRate, info.rate, info.scale);
            info.length = ClampToUint32(StreamFrameCount(context, stream));
        } else {
            int rate = std::clamp(stream->codecpar->sample_rate, 1, maxSampleRate);
            info.rate = static_cast<std::uint32_t>(rate);
            info.scale = 1;
            info.length = ClampToUint32(av_rescale(StreamDuration100ns(context, stream), rate, 10000000));
        }
        return std::make_unique<AviStream>(std::move(impl));
    }
    return nullptr;
}

const AviStreamInfo& AviStream::Info() const { return impl_->info; }

std::int64_t AviStream::Impl::ScanForKeyFrame(std::int64_t position)
{
    // A script's graph hands out whole pictures: every frame is a key frame.
    if (file->source->IsScript()) {
        return position;
    }
    // No index: read packets from the key frame before the position onwards.
    AVFormatContext* context = file->source->Context();
    if (av_seek_frame(context, stream->index, PtsOfIndex(position), AVSEEK_FLAG_BACKWARD) < 0) {
        return -1;
    }
    AVPacket* packet = av_packet_alloc();
    if (packet == nullptr) {
        return -1;
    }
    std::int64_t found = -1;
    while (found < 0 && av_read_frame(context, packet) >= 0) {
        std::int64_t pts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
        if (packet->stream_index == stream->index && (packet->flags & AV_PKT_FLAG_KEY) != 0 && pts != AV_NOPTS_VALUE
            && IndexOfPts(pts) >= position) {
            found = IndexOfPts(pts);
        }
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    return found;
}

std::int64_t AviStream::FindNextKeyFrame(std::int64_t position)
{
    if (impl_->info.type != aviStreamTypeVideo) {
        return -1;
    }
    position = std::max<std::int64_t>(0, position);
    if (impl_->info.length > 0 && position >= impl_->info.length) {
        return -1;
    }
    AVStream* stream = impl_->stream;
    if (avformat_index_get_entries_count(stream) > 0) {
        int entry = av_index_search_timestamp(stream, impl_->PtsOfIndex(position), 0);
        const AVIndexEntry* found = entry >= 0 ? avformat_index_get_entry(stream, entry) : nullptr;
        if (found == nullptr) {
            return -1;
        }
        std::int64_t keyFrame = std::max(position, impl_->IndexOfPts(found->timestamp));
        return impl_->info.length > 0 && keyFrame >= impl_->info.length ? -1 : keyFrame;
    }
    return impl_->ScanForKeyFrame(position);
}

// ---------------------------------------------------------------- decompressor

std::unique_ptr<AviFrameDecompressor> AviStream::OpenDecompressor(MediaError& error, const ComponentSettings& settings)
{
    if (impl_->info.type != aviStreamTypeVideo) {
        error = PlainFailure(MediaFailure::WrongState, media_messages::wrongPurpose);
        return nullptr;
    }
    MediaOptionUse use;
    use.wanted = &settings;
    std::unique_ptr<VideoCursor> cursor = VideoCursor::Open(impl_->file->source->Path(), error, &use);
    if (!cursor) {
        return nullptr;
    }
    const int width = cursor->Width();
    const int height = cursor->Height();
    const std::size_t pixelBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    std::vector<std::uint8_t> bitmap;
    try {
        bitmap.assign(bitmapInfoHeaderSize + pixelBytes, 0);
    } catch (const std::bad_alloc&) {
        error = PlainFailure(MediaFailure::ResourceFailed, MediaText(media_messages::outOfMemory, "a frame"));
        return nullptr;
    }
    std::uint8_t* header = bitmap.data();
    PutLe32(header, bitmapInfoHeaderSize);
    PutLe32(header + 4, static_cast<std::uint32_t>(width));
    PutLe32(header + 8, static_cast<std::uint32_t>(height));
    PutLe16(header + 12, 1);
    PutLe16(header + 14, 32);
    PutLe32(header + 16, 0);
    PutLe32(header + 20, static_cast<std::uint32_t>(pixelBytes));
    return AviFrameDecompressor::Create(std::move(cursor), impl_->info.length, std::move(bitmap));
}

} // namespace discforge
