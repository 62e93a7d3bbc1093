#include "CodecPump.h"

namespace discforge::convert {

EncodeStatus EncodeAndDrain(AVCodecContext* encoder, const AVFrame* frame, AVPacket* scratch, const PacketSink& sink)
{
    int error = avcodec_send_frame(encoder, frame);
    if (error < 0) {
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, FfmpegCause("avcodec_send_frame()", error));
    }
    for (;;) {
        error = avcodec_receive_packet(encoder, scratch);
        if (error == AVERROR(EAGAIN) || error == AVERROR_EOF) {
            return EncodeStatus::Done();
        }
        if (error < 0) {
            return EncodeStatus::Fail(ENCODE_CODEC_FAILED, FfmpegCause("avcodec_receive_packet()", error));
        }
        EncodeStatus status = sink(scratch);
        av_packet_unref(scratch);
        if (!status.Ok()) {
            return status;
        }
    }
}

} // namespace discforge::convert
