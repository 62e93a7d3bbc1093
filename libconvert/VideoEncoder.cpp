#include "VideoEncoder.h"

#include "EncoderMessages.h"
#include "FieldCoding.h"

extern "C" {
#include <libavutil/mem.h>
#include <libavutil/opt.h>
}

#include <algorithm>

namespace discforge::convert {
namespace {

// The encoder's own thread only. Two slice threads took a fifth off a 640 x 480 SVCD
// or DVD conversion, but their streams differed from run to run, and the same input
// and options must always give the same bytes (a saved project converts what its
// options did).
constexpr int encoderThreads = 1;
// A flat quantiser matrix weighs every frequency alike.
constexpr int flatMatrixEntries = 64;
constexpr uint16_t flatMatrixStep = 16;
// The encoder counts the intra DC precision from 8 bits.
constexpr int minimumDcBits = 8;
// How far the second pass lets its bits drift from the plan before it corrects the
// quantiser: a fortieth of the stream's bits, between the bits of an eighth of a
// second and the library's own 4 Mbit. With 4 Mbit a clip of a few seconds, whose
// whole stream is not many times that, ended 2 to 3 % over its planned size; a
// tolerance of a few pictures' bits makes the quantiser jump from picture to
// picture, so long streams keep the library's.
constexpr int64_t driftShareOfStream = 40;
constexpr int64_t driftSecondsInverse = 8;
constexpr int64_t libraryDriftTolerance = 4000000;

// The first pass wrote one line for every picture.
int64_t FirstPassPictures(const DiscProfile& profile)
{
    return static_cast<int64_t>(
        std::count(profile.firstPassStatistics.begin(), profile.firstPassStatistics.end(), '\n'));
}

int DriftTolerance(const DiscProfile& profile)
{
    const int64_t pictures = FirstPassPictures(profile);
    const int64_t streamBits = profile.videoBitRate * pictures * profile.frameRateDen / profile.frameRateNum;
    const int64_t tightest = profile.videoBitRate / driftSecondsInverse;
    return static_cast<int>(std::clamp(streamBits / driftShareOfStream, std::min(tightest, libraryDriftTolerance),
        libraryDriftTolerance));
}

// The second pass plans for as many pictures as the first saw and one more for each
// B-picture the encoder may hold back at the end, and shares the rate's bits among
// them all: with two B-pictures a 6 s clip came out 1.3 % over its plan. Asking for
// the rate of the pictures there are gives the real pictures the bits they are due.
int64_t SecondPassBitRate(const DiscProfile& profile)
{
    const int64_t pictures = FirstPassPictures(profile);
    return pictures == 0 ? profile.videoBitRate
                         : profile.videoBitRate * pictures / (pictures + profile.bPictures);
}

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
    // Each macroblock's coding chosen by the bits and the error it gives, and each
    // block's coefficients by trellis search: together a half to one decibel at the
    // same size on fine detail and grain, for about twice the encoder's time.
    c.mb_decision = FF_MB_DECISION_RD;
    av_opt_set_int(&c, "trellis", 1, AV_OPT_SEARCH_CHILDREN);
    c.intra_dc_precision = profile.intraDcBits - minimumDcBits;
    // The motion search starts from the vectors of the picture before as well and
    // searches a wider diamond: a camera pan, whose vectors the default search loses,
    // gained 2.5 to 2.8 dB at the same size on SVCD and DVD, for a few per cent of time.
    av_opt_set_int(&c, "last_pred", 2, AV_OPT_SEARCH_CHILDREN);
    av_opt_set_int(&c, "dia_size", 2, AV_OPT_SEARCH_CHILDREN);
    if (profile.mpeg2) {
        // MPEG-2's second table for intra blocks codes them in fewer bits; every MPEG-2 decoder has it.
        av_opt_set_int(c.priv_data, "intra_vlc", 1, 0);
    }
    // Refining both motion vectors of bidirectional macroblocks took a tenth of a VCD
    // conversion's processor time and changed its quality by 0.05 dB at most, up or
    // down, on the encoder benchmark's scenes; SVCD and DVD streams came out the same.
    av_opt_set_int(&c, "bidir_refine", 0, AV_OPT_SEARCH_CHILDREN);
    SetFieldCoding(c, profile.fields);
    if (profile.scanOffsets) {
        av_opt_set_int(c.priv_data, "scan_offset", 1, 0);
    }

    c.thread_count = encoderThreads;
    if (profile.pass == EncoderPass::first) {
        c.flags |= AV_CODEC_FLAG_PASS1;
    } else if (profile.pass == EncoderPass::second) {
        c.flags |= AV_CODEC_FLAG_PASS2;
        c.bit_rate = SecondPassBitRate(profile);
        c.bit_rate_tolerance = DriftTolerance(profile);
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
