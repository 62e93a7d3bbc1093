#include "platform/MediaSource.h"

#include "platform/FfmpegError.h"
#include "platform/MediaComponentNames.h"
#include "platform/MediaMessages.h"
#include "platform/StreamInfoCache.h"
#include "platform/StreamTiming.h"

extern "C" {
#include <libavutil/cpu.h>
#include <libavutil/imgutils.h>
}

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace discforge {

namespace {

bool CheckReadableFile(const std::string& path, MediaError& error)
{
    struct stat info { };
    if (stat(path.c_str(), &info) != 0 || access(path.c_str(), R_OK) != 0) {
        error = PlainFailure(
            MediaFailure::FileMissing, MediaText(media_messages::fileMissing, path.c_str(), std::strerror(errno)));
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = PlainFailure(
            MediaFailure::FileMissing, MediaText(media_messages::fileMissing, path.c_str(), "not a regular file"));
        return false;
    }
    return true;
}

// An AVI file whose headers name every codec, picture size, frame rate and
// sound format needs no probing by decoding; skipping it makes opening (and
// the sequential fetch's periodic rebuild) several times cheaper.
bool HeadersAreEnough(const AVFormatContext* context)
{
    if (std::strcmp(context->iformat->name, "avi") != 0 || context->nb_streams == 0) {
        return false;
    }
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        const AVStream* stream = context->streams[i];
        const AVCodecParameters* codec = stream->codecpar;
        if (codec->codec_id == AV_CODEC_ID_NONE) {
            return false;
        }
        if (codec->codec_type == AVMEDIA_TYPE_VIDEO
            && (codec->width <= 0 || codec->height <= 0 || stream->avg_frame_rate.num <= 0
                || stream->avg_frame_rate.den <= 0)) {
            return false;
        }
        if (codec->codec_type == AVMEDIA_TYPE_AUDIO && (codec->sample_rate <= 0 || codec->ch_layout.nb_channels <= 0)) {
            return false;
        }
    }
    return true;
}

// An AVI stream's length counts units of its time base.
void TakeLengthsFromHeaders(AVFormatContext* context)
{
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        AVStream* stream = context->streams[i];
        if ((stream->duration == AV_NOPTS_VALUE || stream->duration <= 0) && stream->nb_frames > 0) {
            stream->duration = stream->nb_frames;
        }
    }
}

int OpenContext(
    AVFormatContext** context, const std::string& path, const AVInputFormat* format, const OptionValues& values)
{
    AVDictionary* options = OptionDictionary(values);
    // A playlist or concatenation file must not lead the demuxer to other files or the network.
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    const int result = avformat_open_input(context, path.c_str(), format, &options);
    av_dict_free(&options);
    return result;
}

// The demuxer takes its options as it opens: once its format is known, the file
// is opened again as that format with them. `applied` tells whether it took any.
int ApplySourceOptions(AVFormatContext** context, const std::string& path, MediaOptionUse& use, bool& applied)
{
    const AVInputFormat* format = (*context)->iformat;
    const std::string name = SourceComponentName(format);
    const OptionValues values = use.Accept(ComponentIdentity{ComponentRole::Source, format, nullptr}, name);
    if (values.empty()) {
        return 0;
    }
    avformat_close_input(context);
    int result = OpenContext(context, path, format, values);
    applied = result >= 0;
    if (result < 0) {
        use.Abandon(name, AvErrorText(result));
        result = OpenContext(context, path, nullptr, {});
    }
    return result;
}

// Pictures no larger than a disc's decode on one thread, faster than the encoder
// takes them, while the decoding thread of the pipe or of the read-ahead already
// runs beside the conversion: frame threads would only add their hand-offs and
// take processor time from the encoder. Larger pictures take a frame thread per
// processor and two more, one more than FFmpeg's own choice: converting and
// scaling each frame takes a processor from the decoder for a while, and the
// frames in flight beyond the processors keep its threads busy meanwhile, also
// through frames that wait on the one before. Sound decoders take no threads.
constexpr std::int64_t singleThreadPixels = 720 * 576;

int DecoderThreads(const AVCodecParameters& parameters)
{
    constexpr int mostThreads = 16;
    const std::int64_t pixels = std::int64_t{parameters.width} * parameters.height;
    if (parameters.codec_type != AVMEDIA_TYPE_VIDEO || pixels <= singleThreadPixels) {
        return 1;
    }
    return std::min(av_cpu_count() + 2, mostThreads);
}

AVCodecContext* NewDecoder(const AVStream* stream, const AVCodec* decoder, const OptionValues& values, int& result)
{
    AVCodecContext* context = avcodec_alloc_context3(decoder);
    if (context == nullptr) {
        result = AVERROR(ENOMEM);
        return nullptr;
    }
    result = avcodec_parameters_to_context(context, stream->codecpar);
    if (result >= 0) {
        context->pkt_timebase = stream->time_base;
        context->thread_count = DecoderThreads(*stream->codecpar);
        AVDictionary* options = OptionDictionary(values);
        result = avcodec_open2(context, decoder, &options);
        av_dict_free(&options);
    }
    if (result < 0) {
        avcodec_free_context(&context);
    }
    return context;
}

} // namespace

MediaSource::MediaSource(AVFormatContext* context, std::string path)
    : context_(context)
    , path_(std::move(path))
{
}

MediaSource::~MediaSource() { avformat_close_input(&context_); }

std::unique_ptr<MediaSource> MediaSource::Open(const std::string& path, MediaError& error, MediaOptionUse* use)
{
    if (!CheckReadableFile(path, error)) {
        return nullptr;
    }
    if (IsAviSynthScriptPath(path)) {
        return OpenScript(path, error);
    }
    AVFormatContext* context = nullptr;
    int result = OpenContext(&context, path, nullptr, {});
    bool optionsApplied = false;
    if (result >= 0 && use != nullptr) {
        result = ApplySourceOptions(&context, path, *use, optionsApplied);
    }
    if (result < 0) {
        error = AvFailure(MediaFailure::NotMedia, "avformat_open_input()", path, result);
        return nullptr;
    }
    if (HeadersAreEnough(context)) {
        TakeLengthsFromHeaders(context);
        return std::unique_ptr<MediaSource>(new MediaSource(context, path));
    }
    // Demuxer options may change what probing finds, so only a plain open shares it.
    const bool reuseProbe = !optionsApplied && stream_info_cache::Applicable(context);
    if (reuseProbe && stream_info_cache::Apply(context, path)) {
        return std::unique_ptr<MediaSource>(new MediaSource(context, path));
    }
    result = avformat_find_stream_info(context, nullptr);
    if (result < 0) {
        avformat_close_input(&context);
        error = AvFailure(MediaFailure::NotMedia, "avformat_find_stream_info()", path, result);
        return nullptr;
    }
    if (reuseProbe) {
        stream_info_cache::Keep(context, path);
    }
    MendProgramStreamLengths(context);
    return std::unique_ptr<MediaSource>(new MediaSource(context, path));
}

int MediaSource::FirstStream(AVMediaType type) const
{
    for (unsigned i = 0; i < context_->nb_streams; ++i) {
        const AVStream* stream = context_->streams[i];
        if (stream->codecpar->codec_type != type) {
            continue;
        }
        if (type == AVMEDIA_TYPE_VIDEO && (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) != 0) {
            continue;
        }
        return static_cast<int>(i);
    }
    return -1;
}

void MediaSource::KeepOnlyStream(int index)
{
    for (unsigned i = 0; i < context_->nb_streams; ++i) {
        context_->streams[i]->discard = static_cast<int>(i) == index ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    }
}

bool MediaSource::CanSeek() const
{
    return context_->pb == nullptr || (context_->pb->seekable & AVIO_SEEKABLE_NORMAL) != 0;
}

AVCodecContext* OpenStreamDecoder(
    const MediaSource& source, int streamIndex, const AVCodec** decoder, MediaError& error, MediaOptionUse* use)
{
    const AVStream* stream = source.Stream(streamIndex);
    const AVCodec* found = avcodec_find_decoder(stream->codecpar->codec_id);
    if (found == nullptr) {
        error = PlainFailure(MediaFailure::NoDecoder,
            MediaText(media_messages::noDecoder, avcodec_get_name(stream->codecpar->codec_id), source.Path().c_str()));
        return nullptr;
    }
    const std::string name = DecoderComponentName(found);
    const OptionValues values = use != nullptr
        ? use->Accept(ComponentIdentity{ComponentRole::Decoder, nullptr, found}, name)
        : OptionValues{};
    int result = 0;
    AVCodecContext* context = NewDecoder(stream, found, values, result);
    if (context == nullptr && !values.empty() && result != AVERROR(ENOMEM)) {
        use->Abandon(name, AvErrorText(result));
        context = NewDecoder(stream, found, {}, result);
    }
    if (result == AVERROR(ENOMEM)) {
        error = PlainFailure(MediaFailure::ResourceFailed, MediaText(media_messages::outOfMemory, "a decoder"));
        return nullptr;
    }
    if (context == nullptr) {
        error = AvFailure(MediaFailure::DecodeFailed, "avcodec_open2()", source.Path(), result);
        return nullptr;
    }
    *decoder = found;
    return context;
}

CursorStep DecodeNextFrame(MediaSource& source, int streamIndex, AVCodecContext* codec, AVPacket* packet,
    AVFrame* frame, bool& draining, std::string& error, const UnreferencedSkip* skip)
{
    // A decoder that keeps refusing without taking more input is given up.
    constexpr int maxRefusalsInARow = 1000;
    int refusals = 0;
    for (;;) {
        int result = avcodec_receive_frame(codec, frame);
        if (result == 0) {
            return CursorStep::Frame;
        }
        if (result == AVERROR_EOF || (result == AVERROR(EAGAIN) && draining)) {
            return CursorStep::End;
        }
        if (result != AVERROR(EAGAIN)) {
            // A damaged frame is dropped; the decoder goes on with the next packet.
            error = AvFailure(MediaFailure::DecodeFailed, "avcodec_receive_frame()", source.Path(), result).text;
            if (result == AVERROR(ENOMEM) || ++refusals > maxRefusalsInARow) {
                return CursorStep::Failed;
            }
            continue;
        }
        result = av_read_frame(source.Context(), packet);
        if (result < 0) {
            if (result != AVERROR_EOF) {
                error = AvFailure(MediaFailure::ReadFailed, "av_read_frame()", source.Path(), result).text;
            }
            draining = true;
            avcodec_send_packet(codec, nullptr);
            continue;
        }
        if (packet->stream_index != streamIndex) {
            av_packet_unref(packet);
            continue;
        }
        if (skip != nullptr) {
            const bool early
                = skip->beforePts != AV_NOPTS_VALUE && packet->pts != AV_NOPTS_VALUE && packet->pts < skip->beforePts;
            codec->skip_frame = early ? std::max(skip->chosen, AVDISCARD_NONREF) : skip->chosen;
        }
        result = avcodec_send_packet(codec, packet);
        av_packet_unref(packet);
        if (result == AVERROR(ENOMEM)) {
            error = AvFailure(MediaFailure::ResourceFailed, "avcodec_send_packet()", source.Path(), result).text;
            return CursorStep::Failed;
        }
        if (result < 0 && result != AVERROR(EAGAIN)) {
            error = AvFailure(MediaFailure::DecodeFailed, "avcodec_send_packet()", source.Path(), result).text;
        }
    }
}

bool PictureSizeValid(int width, int height)
{
    if (width <= 0 || height <= 0 || width > maxPictureSide || height > maxPictureSide) {
        return false;
    }
    // Four bytes per pixel must fit the 32-bit size field of a bitmap header.
    std::int64_t bytes = static_cast<std::int64_t>(width) * height * 4;
    return bytes <= INT32_MAX
        && av_image_check_size(static_cast<unsigned>(width), static_cast<unsigned>(height), 0, nullptr) == 0;
}

} // namespace discforge
