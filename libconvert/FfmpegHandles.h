// Owning handles for FFmpeg objects, each freed by its own FFmpeg function.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/buffer.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <memory>

namespace discforge::convert {

struct CodecContextFree {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct BufferPoolFree {
    // The pool itself goes once the last buffer taken from it is back.
    void operator()(AVBufferPool* pool) const { av_buffer_pool_uninit(&pool); }
};
struct CodecParametersFree {
    void operator()(AVCodecParameters* parameters) const { avcodec_parameters_free(&parameters); }
};
struct ScaleFree {
    void operator()(SwsContext* context) const { sws_freeContext(context); }
};
struct ResampleFree {
    void operator()(SwrContext* context) const { swr_free(&context); }
};
struct AudioFifoFree {
    void operator()(AVAudioFifo* fifo) const { av_audio_fifo_free(fifo); }
};

using CodecContextHandle = std::unique_ptr<AVCodecContext, CodecContextFree>;
using FrameHandle = std::unique_ptr<AVFrame, FrameFree>;
using PacketHandle = std::unique_ptr<AVPacket, PacketFree>;
using BufferPoolHandle = std::unique_ptr<AVBufferPool, BufferPoolFree>;
using CodecParametersHandle = std::unique_ptr<AVCodecParameters, CodecParametersFree>;
using ScaleHandle = std::unique_ptr<SwsContext, ScaleFree>;
using ResampleHandle = std::unique_ptr<SwrContext, ResampleFree>;
using AudioFifoHandle = std::unique_ptr<AVAudioFifo, AudioFifoFree>;

} // namespace discforge::convert
