#include "ProgramWriter.h"

#include "EncoderMessages.h"

#include <algorithm>

extern "C" {
#include <libavutil/mathematics.h>
#include <libavutil/opt.h>
}

namespace discforge::convert {
namespace {

#if LIBAVFORMAT_VERSION_MAJOR >= 61
using IoBytes = const uint8_t*;
#else
using IoBytes = uint8_t*;
#endif

int WritePart(void* opaque, IoBytes data, int size) { return static_cast<ProgramWriter*>(opaque)->WriteBytes(data, size); }

constexpr AVRational clock90k{1, 90000};
constexpr int ioBufferSize = 64 * 1024;
// Room for the pack header, the PES header with both timestamps, stuffing and the AC-3
// sub-stream header: what a pack can carry is at least its size less this.
constexpr int packOverhead = 48;
// Packs a part may need beyond its GOPs: system header, padding packs at the start, the
// partly filled last packs of each stream and the end code.
constexpr int64_t packsPerPart = 8;
// A CD sector of 2352 bytes holds one VCD pack; the VCD multiplex pads to a constant rate.
constexpr int cdSectorBytes = 2352;

int64_t CeilDiv(int64_t value, int64_t divisor) { return (value + divisor - 1) / divisor; }

EncodeStatus EndSequence(AVPacket& lastPicture)
{
    constexpr uint8_t sequenceEndCode[4] = {0x00, 0x00, 0x01, 0xB7};
    const int error = av_grow_packet(&lastPicture, sizeof sequenceEndCode);
    if (error < 0) {
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, FfmpegCause("av_grow_packet()", error));
    }
    std::copy(std::begin(sequenceEndCode), std::end(sequenceEndCode),
              lastPicture.data + lastPicture.size - sizeof sequenceEndCode);
    return EncodeStatus::Done();
}

} // namespace

ProgramWriter::ProgramWriter(const DiscProfile& profile, OutputFiles& files, int64_t partLimitBytes)
    : profile_(profile), files_(files), partLimitBytes_(partLimitBytes)
{
}

ProgramWriter::~ProgramWriter()
{
    if (io_ != nullptr) {
        av_freep(&io_->buffer);
        avio_context_free(&io_);
    }
    avformat_free_context(muxer_);
    avcodec_parameters_free(&videoParameters_);
}

EncodeStatus ProgramWriter::Open(const AVCodecContext* video, std::vector<SoundStreamSetup> sounds, AVRational videoBase)
{
    videoParameters_ = avcodec_parameters_alloc();
    if (videoParameters_ == nullptr) {
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, message::outOfMemory);
    }
    for (SoundStreamSetup& setup : sounds) {
        if (!setup.parameters) {
            return EncodeStatus::Fail(ENCODE_CODEC_FAILED, message::outOfMemory);
        }
        sounds_.push_back({std::move(setup), {}, INT64_MIN, false});
    }
    if (sounds_.empty()) {
        return EncodeStatus::Fail(ENCODE_BAD_PARAMETERS, message::Substitute(message::badParameters, {"no sound"}));
    }
    const int error = avcodec_parameters_from_context(videoParameters_, video);
    if (error < 0) {
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, FfmpegCause("avcodec_parameters_from_context()", error));
    }
    // The VBV size travels as side data; the multiplexer sizes the decoder buffers from it.
    for (int i = 0; i < video->nb_coded_side_data; ++i) {
        const AVPacketSideData& data = video->coded_side_data[i];
        videoSideData_.push_back({data.type, std::vector<uint8_t>(data.data, data.data + data.size)});
    }
    videoBase_ = videoBase.den != 0 ? videoBase : video->time_base;
    // The first part is created now, so an output that cannot be written fails at once.
    return BeginPart();
}

int ProgramWriter::WriteBytes(const uint8_t* data, int size)
{
    ioStatus_ = files_.Write(data, static_cast<std::size_t>(size));
    return ioStatus_.Ok() ? size : AVERROR(EIO);
}

EncodeStatus ProgramWriter::BeginPart()
{
    EncodeStatus status = files_.OpenPart();
    if (!status.Ok()) {
        return status;
    }
    int error = avformat_alloc_output_context2(&muxer_, nullptr, profile_.muxerName, nullptr);
    if (error < 0) {
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, FfmpegCause("avformat_alloc_output_context2()", error));
    }
    muxer_->packet_size = static_cast<unsigned>(profile_.packetSize);
    if (profile_.muxRate > 0) {
        av_opt_set_int(muxer_->priv_data, "muxrate", profile_.muxRate, 0);
    }
    av_opt_set_int(muxer_->priv_data, "preload", profile_.preloadMicroseconds, 0);

    AVStream* video = avformat_new_stream(muxer_, nullptr);
    if (video == nullptr) {
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, message::outOfMemory);
    }
    error = avcodec_parameters_copy(video->codecpar, videoParameters_);
    video->time_base = videoBase_;
    // The muxer numbers the sound streams in this order, as a DVD player counts them.
    for (const SoundStream& sound : sounds_) {
        AVStream* audio = error >= 0 ? avformat_new_stream(muxer_, nullptr) : nullptr;
        if (audio == nullptr) {
            return EncodeStatus::Fail(ENCODE_CODEC_FAILED, message::outOfMemory);
        }
        error = avcodec_parameters_copy(audio->codecpar, sound.setup.parameters.get());
        audio->time_base = sound.setup.timeBase;
    }
    if (error < 0) {
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, FfmpegCause("avcodec_parameters_copy()", error));
    }
    for (const SideData& data : videoSideData_) {
        uint8_t* copy = av_stream_new_side_data(video, data.type, data.bytes.size());
        if (copy == nullptr) {
            return EncodeStatus::Fail(ENCODE_CODEC_FAILED, message::outOfMemory);
        }
        std::copy(data.bytes.begin(), data.bytes.end(), copy);
    }

    auto* buffer = static_cast<unsigned char*>(av_malloc(ioBufferSize));
    io_ = buffer != nullptr ? avio_alloc_context(buffer, ioBufferSize, 1, this, nullptr, WritePart, nullptr) : nullptr;
    if (io_ == nullptr) {
        av_free(buffer);
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, message::outOfMemory);
    }
    muxer_->pb = io_;
    error = avformat_write_header(muxer_, nullptr);
    if (error < 0) {
        return !ioStatus_.Ok() ? ioStatus_
                               : EncodeStatus::Fail(ENCODE_CODEC_FAILED, FfmpegCause("avformat_write_header()", error));
    }
    partHasData_ = false;
    partPacks_ = packsPerPart;
    return EncodeStatus::Done();
}

EncodeStatus ProgramWriter::EndPart()
{
    const int error = av_write_trailer(muxer_);
    avio_flush(io_);
    av_freep(&io_->buffer);
    avio_context_free(&io_);
    avformat_free_context(muxer_);
    muxer_ = nullptr;
    if (!ioStatus_.Ok()) {
        return ioStatus_;
    }
    if (error < 0) {
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, FfmpegCause("av_write_trailer()", error));
    }
    return files_.ClosePart();
}

EncodeStatus ProgramWriter::AddVideo(AVPacket* packet)
{
    PacketHandle copy(av_packet_alloc());
    if (!copy) {
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, message::outOfMemory);
    }
    av_packet_move_ref(copy.get(), packet);
    if ((copy->flags & AV_PKT_FLAG_KEY) != 0 || gops_.empty() || gops_.back().closed) {
        if (!gops_.empty() && !gops_.back().closed) {
            gops_.back().endPts = copy->pts;
            gops_.back().closed = true;
        }
        gops_.emplace_back();
        gops_.back().startPts = copy->pts;
    }
    gops_.back().pictures.push_back(std::move(copy));
    return WriteReadyGops(false);
}

EncodeStatus ProgramWriter::AddAudio(AVPacket* packet)
{
    PacketHandle copy(av_packet_alloc());
    if (!copy) {
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, message::outOfMemory);
    }
    av_packet_move_ref(copy.get(), packet);
    if (copy->stream_index < 0 || copy->stream_index >= static_cast<int>(sounds_.size())) {
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, message::internalError);
    }
    SoundStream& sound = sounds_[static_cast<std::size_t>(copy->stream_index)];
    sound.reach = av_rescale_q(copy->pts + copy->duration, sound.setup.timeBase, videoBase_);
    sound.waiting.push_back(std::move(copy));
    return WriteReadyGops(false);
}

EncodeStatus ProgramWriter::EndAudio(int stream)
{
    if (stream < 0 || stream >= static_cast<int>(sounds_.size())) {
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, message::internalError);
    }
    sounds_[static_cast<std::size_t>(stream)].ended = true;
    return WriteReadyGops(false);
}

int64_t ProgramWriter::SoundReach() const
{
    int64_t reach = INT64_MAX;
    for (const SoundStream& sound : sounds_) {
        if (!sound.ended) {
            reach = std::min(reach, sound.reach);
        }
    }
    return reach;
}

EncodeStatus ProgramWriter::Finish()
{
    EncodeStatus status = WriteReadyGops(true);
    if (!status.Ok()) {
        return status;
    }
    return EndPart();
}

// A GOP is complete once the next one has begun and the sound has caught up with its end.
void ProgramWriter::CompleteGops(bool final)
{
    for (std::size_t i = 0; i < gops_.size(); ++i) {
        Gop& gop = gops_[i];
        if (gop.complete) {
            continue;
        }
        if (final && i + 1 == gops_.size()) {
            gop.endPts = INT64_MAX;
        } else if (!gop.closed || SoundReach() < gop.endPts) {
            return;
        }
        for (SoundStream& sound : sounds_) {
            std::deque<PacketHandle>& waiting = sound.waiting;
            while (!waiting.empty() && (gop.endPts == INT64_MAX ||
                                        av_compare_ts(waiting.front()->pts, sound.setup.timeBase, gop.endPts,
                                                      videoBase_) < 0)) {
                gop.sound.push_back(std::move(waiting.front()));
                waiting.pop_front();
            }
        }
        gop.packs = PacksFor(gop);
        gop.complete = true;
    }
}

EncodeStatus ProgramWriter::WriteReadyGops(bool final)
{
    CompleteGops(final);
    while (!gops_.empty() && gops_.front().complete) {
        const Gop* next = gops_.size() > 1 && gops_[1].complete ? &gops_[1] : nullptr;
        // Whether a GOP ends its part depends on the next one's size.
        if (partLimitBytes_ > 0 && next == nullptr && !final) {
            break;
        }
        EncodeStatus status = WriteGop(gops_.front(), next, final && gops_.size() == 1);
        if (!status.Ok()) {
            return status;
        }
        gops_.pop_front();
    }
    return EncodeStatus::Done();
}

int64_t ProgramWriter::PacksFor(const Gop& gop) const
{
    int64_t pictureBytes = 0;
    int64_t lastPicture = gop.startPts;
    for (const PacketHandle& packet : gop.pictures) {
        pictureBytes += packet->size;
        lastPicture = std::max(lastPicture, packet->pts + 1);
    }
    std::vector<int64_t> soundBytes(sounds_.size(), 0);
    int64_t soundEnd = INT64_MIN;
    for (const PacketHandle& packet : gop.sound) {
        const auto stream = static_cast<std::size_t>(packet->stream_index);
        soundBytes[stream] += packet->size;
        soundEnd = std::max(
            soundEnd, av_rescale_q(packet->pts + packet->duration, sounds_[stream].setup.timeBase, videoBase_));
    }
    const int64_t payload = profile_.packetSize - packOverhead;
    // Each stream may leave one partly filled pack; a DVD adds a navigation pack per GOP.
    int64_t packs = CeilDiv(pictureBytes, payload) + 2;
    for (const int64_t bytes : soundBytes) {
        packs += CeilDiv(bytes, payload) + 1;
    }
    if (profile_.kind == DiscKind::Vcd) {
        int64_t end = gop.endPts == INT64_MAX ? lastPicture : gop.endPts;
        end = std::max(end, soundEnd);
        const int64_t ticks = av_rescale_q(end - gop.startPts, videoBase_, clock90k);
        const int64_t bytesPerSecond = profile_.muxRate / 8;
        packs = std::max(packs, CeilDiv(ticks * bytesPerSecond, int64_t{90000} * cdSectorBytes) + 2);
    }
    return packs;
}

bool ProgramWriter::PartWouldExceed(int64_t packs) const
{
    return partLimitBytes_ > 0 && (partPacks_ + packs) * profile_.packetSize > partLimitBytes_;
}

EncodeStatus ProgramWriter::WriteGop(Gop& gop, const Gop* next, bool last)
{
    if (partHasData_ && PartWouldExceed(gop.packs)) {
        EncodeStatus status = EndPart();
        if (status.Ok()) {
            status = BeginPart();
        }
        if (!status.Ok()) {
            return status;
        }
    }
    if (!partHasData_) {
        // Each part's clock starts from zero at its first picture or sound.
        int64_t base = av_rescale_q(gop.pictures.front()->dts, videoBase_, clock90k);
        for (const PacketHandle& packet : gop.sound) {
            const AVRational soundBase = sounds_[static_cast<std::size_t>(packet->stream_index)].setup.timeBase;
            base = std::min(base, av_rescale_q(packet->pts, soundBase, clock90k));
        }
        partClockBase_ = base;
        partHasData_ = true;
    }
    partPacks_ += gop.packs;
    // The encoder leaves the picture sequence open: the last GOP of each part closes it.
    if (last || (next != nullptr && PartWouldExceed(next->packs))) {
        EncodeStatus status = EndSequence(*gop.pictures.back());
        if (!status.Ok()) {
            return status;
        }
    }
    for (PacketHandle& packet : gop.pictures) {
        EncodeStatus status = Mux(packet.get(), 0, videoBase_);
        if (!status.Ok()) {
            return status;
        }
    }
    for (PacketHandle& packet : gop.sound) {
        const int stream = packet->stream_index;
        EncodeStatus status = Mux(packet.get(), 1 + stream, sounds_[static_cast<std::size_t>(stream)].setup.timeBase);
        if (!status.Ok()) {
            return status;
        }
    }
    return EncodeStatus::Done();
}

EncodeStatus ProgramWriter::Mux(AVPacket* packet, int streamIndex, AVRational sourceBase)
{
    const AVRational streamBase = muxer_->streams[streamIndex]->time_base;
    const int64_t base = av_rescale_q(partClockBase_, clock90k, streamBase);
    av_packet_rescale_ts(packet, sourceBase, streamBase);
    packet->pts -= base;
    packet->dts -= base;
    packet->stream_index = streamIndex;
    const int error = av_interleaved_write_frame(muxer_, packet);
    if (!ioStatus_.Ok()) {
        return ioStatus_;
    }
    if (error < 0) {
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, FfmpegCause("av_interleaved_write_frame()", error));
    }
    return EncodeStatus::Done();
}

} // namespace discforge::convert
