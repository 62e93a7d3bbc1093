#include "VideoEncoder.h"

#include "EncoderMessages.h"

extern "C" {
#include <libavutil/mem.h>
#include <libavutil/opt.h>
}

#include <algorithm>

namespace discforge::convert {
namespace {

// The encoder's own thread only: decoding, the picture preparation and the sound
// already fill the processors, and slice threads would add several hand-offs to
// every frame, which cost more processor time than they save.
constexpr int encoderThreads = 1;
// A flat quantiser matrix weighs every frequency alike.
constexpr int flatMatrixEntries = 64;
constexpr uint16_t flatMatrixStep = 16;

} // namespace

EncodeStatus VideoEncoder::Open(const DiscProfile& profile)
{
    const AVCodec* codec = avcodec_find_encoder(profile.mpeg2 ? AV_CODEC_ID_MPEG2VIDEO : AV_CODEC_ID_MPEG1VIDEO);
    if (codec == nullptr) {
        return EncodeStatus::Fail(
            ENCODE_CODEC_FAILED, FfmpegCause("avcodec_find_encoder()", AVERROR_ENCODER_NOT_FOUND));
    }
    context_.reset(avcodec_alloc_context3(codec));
    scratch_.reset(av_packet_alloc());
    if (!context_ || !scratch_) {
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, message::outOfMemory);
    }
    AVCodecContext& c = *context_;
    c.width = profile.width;
    c.height = profile.height;
    c.pix_fmt = AV_PIX_FMT_YUV420P;
    c.time_base = AVRational{profile.frameRateDen, profile.frameRateNum};
    c.framerate = AVRational{profile.frameRateNum, profile.frameRateDen};
    c.sample_aspect_ratio = AVRational{profile.sampleAspectNum, profile.sampleAspectDen};
    c.color_range = AVCOL_RANGE_MPEG;
    c.colorspace = profile.pal ? AVCOL_SPC_BT470BG : AVCOL_SPC_SMPTE170M;
    c.color_primaries = profile.pal ? AVCOL_PRI_BT470BG : AVCOL_PRI_SMPTE170M;
    c.color_trc = profile.pal ? AVCOL_TRC_GAMMA28 : AVCOL_TRC_SMPTE170M;

    c.bit_rate = profile.videoBitRate;
    c.rc_max_rate = profile.videoMaxRate;
    c.rc_min_rate = profile.videoMinRate;
    c.rc_buffer_size = profile.vbvBufferBits;

    // Closed GOPs of at most the disc's length, each opened by a sequence header: every
    // GOP can be decoded on its own, which chapters, seeking and split parts rely on.
    // (Forcing every GOP to that exact length costs half a decibel: the encoder then
    // ends GOPs with pictures it meant as B-pictures and has to code them as P.)
    c.gop_size = profile.gopFrames;
    c.max_b_frames = profile.bPictures;
    c.flags |= AV_CODEC_FLAG_CLOSED_GOP;
    // A scene cut would start an extra GOP, which closed GOPs cannot take.
    av_opt_set_int(c.priv_data, "sc_threshold", 1000000000, 0);
    if (profile.flatIntraMatrix) {
        // Freed with the context.
        c.intra_matrix = static_cast<uint16_t*>(av_malloc(flatMatrixEntries * sizeof(uint16_t)));
        if (c.intra_matrix == nullptr) {
            return EncodeStatus::Fail(ENCODE_CODEC_FAILED, message::outOfMemory);
        }
        std::fill_n(c.intra_matrix, flatMatrixEntries, flatMatrixStep);
    }
    if (profile.mpeg2) {
        // MPEG-2's second table for intra blocks codes them in fewer bits; every MPEG-2 decoder has it.
        av_opt_set_int(c.priv_data, "intra_vlc", 1, 0);
    }
    // Refining both motion vectors of bidirectional macroblocks took a tenth of a VCD
    // conversion's processor time and changed its quality by 0.05 dB at most, up or
    // down, on the encoder benchmark's scenes; SVCD and DVD streams came out the same.
    av_opt_set_int(&c, "bidir_refine", 0, AV_OPT_SEARCH_CHILDREN);
    if (profile.scanOffsets) {
        av_opt_set_int(c.priv_data, "scan_offset", 1, 0);
    }

    c.thread_count = encoderThreads;
    if (profile.pass == EncoderPass::first) {
        c.flags |= AV_CODEC_FLAG_PASS1;
    } else if (profile.pass == EncoderPass::second) {
        c.flags |= AV_CODEC_FLAG_PASS2;
        // Ours to free, not the context's.
        statistics_ = profile.firstPassStatistics;
        c.stats_in = statistics_.data();
    }

    const int error = avcodec_open2(&c, codec, nullptr);
    if (error < 0) {
        return EncodeStatus::Fail(ENCODE_CODEC_FAILED, FfmpegCause("avcodec_open2(video)", error));
    }
    return EncodeStatus::Done();
}

EncodeStatus VideoEncoder::Encode(const AVFrame* picture, const PacketSink& sink)
{
    return EncodeAndDrain(context_.get(), picture, scratch_.get(), sink);
}

} // namespace discforge::convert
