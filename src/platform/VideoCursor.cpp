#include "platform/VideoCursor.h"

#include "platform/FfmpegError.h"
#include "platform/MediaComponentNames.h"
#include "platform/MediaMessages.h"
#include "platform/StreamTiming.h"
#include "platform/Yuv420ToBgrx.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace discforge {

namespace {

constexpr auto nearest = static_cast<AVRounding>(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX);
constexpr auto downward = static_cast<AVRounding>(AV_ROUND_DOWN | AV_ROUND_PASS_MINMAX);

// Without an index the distance to the next key frame is unknown; decoding on
// over a few seconds is still cheaper than a blind seek.
constexpr std::int64_t unindexedDecodeSeconds = 5;

// The converter writes its rows in whole blocks of pixels (up to 16 at a time), past
// the end of a row whose width is not a whole number of blocks: such pictures are
// converted into rows padded to this and copied out, so nothing is written outside
// the caller's rows.
constexpr int rowBlockBytes = 64;

// Rows converted at a time: each band's fourth bytes are cleared while its rows
// are still in the nearest cache. The converter gives the same bytes in bands as
// whole.
constexpr int bandRows = 4;

#if defined(__x86_64__) && defined(__GNUC__)
__attribute__((target("avx2"))) void ClearFourthBytesAvx2(std::uint8_t* pixels, std::size_t bytes)
{
    const __m256i colour = _mm256_set1_epi32(0x00FFFFFF);
    std::size_t i = 0;
    for (; i + 32 <= bytes; i += 32) {
        auto* at = reinterpret_cast<__m256i*>(pixels + i);
        _mm256_storeu_si256(at, _mm256_and_si256(_mm256_loadu_si256(at), colour));
    }
    for (i += 3; i < bytes; i += 4) {
        pixels[i] = 0;
    }
}
#endif

// The fourth byte of every pixel becomes 0, as in a bitmap.
void ClearFourthBytes(std::uint8_t* pixels, std::size_t bytes)
{
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) {
        ClearFourthBytesAvx2(pixels, bytes);
        return;
    }
#endif
    constexpr std::uint64_t colour = 0x00FFFFFF00FFFFFFull;
    std::size_t i = 0;
    for (; i + 8 <= bytes; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, pixels + i, 8);
        word &= colour;
        std::memcpy(pixels + i, &word, 8);
    }
    for (i += 3; i < bytes; i += 4) {
        pixels[i] = 0;
    }
}

// Where rows `first` onward of each plane begin; a palette stays whole.
void SliceOf(const AVFrame& frame, int first, const std::uint8_t* planes[4])
{
    const AVPixFmtDescriptor* format = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame.format));
    for (int p = 0; p < 4; ++p) {
        const bool palette = p == 1 && format != nullptr && (format->flags & AV_PIX_FMT_FLAG_PAL) != 0;
        const bool chroma = (p == 1 || p == 2) && format != nullptr;
        const int row = palette ? 0 : chroma ? first >> format->log2_chroma_h : first;
        planes[p]
            = frame.data[p] == nullptr ? nullptr : frame.data[p] + static_cast<std::ptrdiff_t>(row) * frame.linesize[p];
    }
}

} // namespace

std::unique_ptr<VideoCursor> VideoCursor::Open(const std::string& path, MediaError& error, MediaOptionUse* use)
{
    int index = -1;
    std::unique_ptr<MediaSource> source
        = OpenSource(path, AVMEDIA_TYPE_VIDEO, media_messages::noVideoStream, index, error, use);
    if (!source) {
        return nullptr;
    }
    AVStream* stream = source->Stream(index);
    int width = stream->codecpar->width;
    int height = stream->codecpar->height;
    if (!PictureSizeValid(width, height)) {
        error = PlainFailure(
            MediaFailure::BadFormat, MediaText(media_messages::badPictureSize, width, height, path.c_str()));
        return nullptr;
    }
    std::unique_ptr<VideoCursor> cursor(new VideoCursor());
    if (!cursor->OpenDecoder(std::move(source), index, error, use)) {
        return nullptr;
    }
    if (use != nullptr) {
        cursor->scalerOptions_
            = use->Accept(ComponentIdentity{ComponentRole::PictureConverter, nullptr, nullptr}, pictureConverterName);
    }
    cursor->chosenSkip_ = cursor->codec_->skip_frame;
    AVRational rate = StreamFrameRate(stream);
    cursor->hasFrameTiming_ = rate.num > 0;
    if (cursor->hasFrameTiming_) {
        cursor->frameRate_ = rate;
    }
    // Decoding at a lower resolution divides each side, rounding up.
    const int lowres = cursor->codec_->lowres;
    cursor->width_ = AV_CEIL_RSHIFT(width, lowres);
    cursor->height_ = AV_CEIL_RSHIFT(height, lowres);
    cursor->turn_ = TurnOfStream(*stream);
    return cursor;
}

VideoCursor::~VideoCursor() { sws_freeContext(scaler_); }

std::int64_t VideoCursor::IndexOfPts(std::int64_t pts) const
{
    return av_rescale_q_rnd(pts - startPts_, stream_->time_base, av_inv_q(frameRate_), nearest);
}

std::int64_t VideoCursor::PtsOfIndex(std::int64_t index) const
{
    return startPts_ + av_rescale_q_rnd(index, av_inv_q(frameRate_), stream_->time_base, downward);
}

CursorStep VideoCursor::DecodeNext() { return Decode(nullptr); }

CursorStep VideoCursor::DecodeToward(std::int64_t wanted)
{
    // Timestamps round to the nearest frame number: a margin keeps the wanted
    // frame's own packet clear of the limit.
    constexpr std::int64_t marginFrames = 2;
    if (!hasFrameTiming_ || wanted - marginFrames <= NextIndex()) {
        return Decode(nullptr);
    }
    const UnreferencedSkip skip{PtsOfIndex(wanted - marginFrames), chosenSkip_};
    const CursorStep step = Decode(&skip);
    codec_->skip_frame = chosenSkip_;
    return step;
}

CursorStep VideoCursor::Decode(const UnreferencedSkip* skip)
{
    CursorStep step = DecodeStreamFrame(skip);
    while (checkLanding_ && LandedPastTarget(step) && SeekFurtherBack()) {
        step = DecodeStreamFrame(skip);
    }
    checkLanding_ = false;
    if (step != CursorStep::Frame) {
        ended_ = step == CursorStep::End;
        return step;
    }
    std::int64_t pts = frame_->best_effort_timestamp;
    // A picture before frame 0 (the first of a late AVI video) is frame 0.
    std::int64_t index
        = pts != AV_NOPTS_VALUE ? std::max<std::int64_t>(0, IndexOfPts(pts)) : (haveLast_ ? lastIndex_ + 1 : landing_);
    // Numbers only grow, even across duplicate or missing timestamps.
    if (haveLast_ && index <= lastIndex_) {
        index = lastIndex_ + 1;
    }
    lastIndex_ = index;
    haveLast_ = true;
    ++framesDecoded_;
    return CursorStep::Frame;
}

bool VideoCursor::LandedPastTarget(CursorStep step) const
{
    if (step == CursorStep::End) {
        return true;
    }
    const std::int64_t pts = frame_->best_effort_timestamp;
    return step == CursorStep::Frame && pts != AV_NOPTS_VALUE && IndexOfPts(pts) > seekTarget_;
}

// A seek can land past the frame it was asked for: a program stream's demuxer
// seeks by decoding times, which run ahead of the pictures' times, so it lands
// on the picture after a key frame, and the decoder drops every picture up to
// the next key frame. Each retry seeks twice as far back, the last one to the
// stream's start, from where every frame is reached by decoding on.
bool VideoCursor::SeekFurtherBack()
{
    if (backOff_ > seekTarget_) {
        return false;
    }
    const std::int64_t second = std::max<std::int64_t>(1, av_rescale(1, frameRate_.num, frameRate_.den));
    backOff_ = backOff_ == 0 ? second : 2 * backOff_;
    const std::int64_t target = seekTarget_ - backOff_;
    const std::int64_t beforeStart = startPts_ - av_rescale_q(AV_TIME_BASE, AV_TIME_BASE_Q, stream_->time_base);
    if (!SeekDemuxer(target > 0 ? PtsOfIndex(target) : beforeStart)) {
        return false;
    }
    haveLast_ = false;
    landing_ = 0;
    return true;
}

std::int64_t VideoCursor::NextIndex() const { return haveLast_ ? lastIndex_ + 1 : landing_; }

std::int64_t VideoCursor::KeyFrameAtOrBefore(std::int64_t target)
{
    int entry = av_index_search_timestamp(stream_, PtsOfIndex(target), AVSEEK_FLAG_BACKWARD);
    if (entry < 0) {
        return -1;
    }
    const AVIndexEntry* found = avformat_index_get_entry(stream_, entry);
    return found != nullptr ? std::max<std::int64_t>(0, IndexOfPts(found->timestamp)) : -1;
}

std::int64_t VideoCursor::IndexedKeyFrameAtOrAfter(std::int64_t position)
{
    int entry = av_index_search_timestamp(stream_, PtsOfIndex(position), 0);
    if (entry < 0) {
        return -1;
    }
    const AVIndexEntry* found = avformat_index_get_entry(stream_, entry);
    if (found == nullptr) {
        return -1;
    }
    return std::max(position, IndexOfPts(found->timestamp));
}

bool VideoCursor::ShouldSeekFor(std::int64_t target)
{
    std::int64_t next = NextIndex();
    if (target < next) {
        return true;
    }
    if (target == next || ended_) {
        return false;
    }
    std::int64_t keyFrame = KeyFrameAtOrBefore(target);
    if (keyFrame >= 0) {
        return keyFrame > next;
    }
    std::int64_t perSecond = std::max<std::int64_t>(1, av_rescale(1, frameRate_.num, frameRate_.den));
    return target - next > std::max<std::int64_t>(50, unindexedDecodeSeconds * perSecond);
}

bool VideoCursor::SeekTo(std::int64_t target)
{
    target = std::max<std::int64_t>(0, target);
    if (!SeekDemuxer(PtsOfIndex(target))) {
        return false;
    }
    ended_ = false;
    haveLast_ = false;
    checkLanding_ = true;
    seekTarget_ = target;
    backOff_ = 0;
    std::int64_t keyFrame = KeyFrameAtOrBefore(target);
    landing_ = keyFrame >= 0 ? std::min(keyFrame, target) : 0;
    return true;
}

bool VideoCursor::PrepareScaler()
{
    if (scaler_ != nullptr && scalerWidth_ == frame_->width && scalerHeight_ == frame_->height
        && scalerFormat_ == frame_->format) {
        return true;
    }
    sws_freeContext(scaler_);
    scaler_ = sws_alloc_context();
    if (scaler_ == nullptr) {
        return false;
    }
    av_opt_set_int(scaler_, "srcw", frame_->width, 0);
    av_opt_set_int(scaler_, "srch", frame_->height, 0);
    av_opt_set_int(scaler_, "src_format", frame_->format, 0);
    av_opt_set_int(scaler_, "dstw", width_, 0);
    av_opt_set_int(scaler_, "dsth", height_, 0);
    av_opt_set_int(scaler_, "dst_format", AV_PIX_FMT_BGR0, 0);
    // Each pixel's own colour from chroma interpolated across the row: the converter's
    // shorter route truncates its sums and makes pictures about a level darker.
    av_opt_set_int(scaler_, "sws_flags", SWS_BILINEAR | SWS_FULL_CHR_H_INT, 0);
    AVDictionary* options = OptionDictionary(scalerOptions_);
    const int applied = av_opt_set_dict(scaler_, &options);
    av_dict_free(&options);
    if (applied < 0 || sws_init_context(scaler_, nullptr, nullptr) < 0) {
        sws_freeContext(scaler_);
        scaler_ = nullptr;
        // Options the converter takes one by one but not together: it converts with its defaults.
        if (!scalerOptions_.empty()) {
            scalerOptions_.clear();
            return PrepareScaler();
        }
        return false;
    }
    scalerWidth_ = frame_->width;
    scalerHeight_ = frame_->height;
    scalerFormat_ = frame_->format;
    return true;
}

bool VideoCursor::TakesFastRoute() const
{
    // Options of the user's, or an odd height, send the converter another way.
    return frame_->format == AV_PIX_FMT_YUV420P && scalerOptions_.empty() && frame_->width == width_
        && frame_->height == height_ && height_ % 2 == 0 && Yuv420ToBgrxAvailable();
}

std::unique_ptr<Yuv420Bands> VideoCursor::HoldBands() const
{
    return frame_->width > 0 && frame_->height > 0 && TakesFastRoute() && turn_.Identity() ? Yuv420Bands::Hold(*frame_)
                                                                                           : nullptr;
}

bool VideoCursor::Convert(std::uint8_t* firstRow, int pitch, bool clearX)
{
    if (turn_.Identity()) {
        return ConvertStored(firstRow, pitch, clearX);
    }
    const int storedPitch = width_ * 4;
    storedRows_.resize(static_cast<std::size_t>(storedPitch) * static_cast<std::size_t>(height_));
    if (!ConvertStored(storedRows_.data(), storedPitch, clearX)) {
        return false;
    }
    TurnPixels(turn_, storedRows_.data(), storedPitch, width_, height_, firstRow, pitch);
    return true;
}

bool VideoCursor::ConvertStored(std::uint8_t* firstRow, int pitch, bool clearX)
{
    auto format = static_cast<AVPixelFormat>(frame_->format);
    if (frame_->width <= 0 || frame_->height <= 0 || sws_isSupportedInput(format) == 0) {
        lastError_ = MediaText(media_messages::badPictureSize, frame_->width, frame_->height, source_->Path().c_str());
        return false;
    }
    if (TakesFastRoute()) {
        const Yuv420Planes planes{frame_->data[0], frame_->data[1], frame_->data[2], frame_->linesize[0],
            frame_->linesize[1], frame_->linesize[2]};
        Yuv420ToBgrx(planes, width_, height_, firstRow, pitch, clearX ? 0 : 255);
        return true;
    }
    if (!PrepareScaler()) {
        lastError_ = AvFailure(MediaFailure::ResourceFailed, "sws_init_context()", source_->Path(), 0).text;
        return false;
    }
    const int rowBytes = width_ * 4;
    const bool padded = rowBytes % rowBlockBytes != 0;
    const int paddedPitch = FFALIGN(rowBytes, rowBlockBytes);
    if (padded) {
        paddedRows_.resize(static_cast<std::size_t>(paddedPitch) * static_cast<std::size_t>(height_));
    }
    std::uint8_t* planes[4] = {padded ? paddedRows_.data() : firstRow, nullptr, nullptr, nullptr};
    int pitches[4] = {padded ? paddedPitch : pitch, 0, 0, 0};
    int done = 0; // rows written, which may trail the rows given
    for (int first = 0; first < frame_->height; first += bandRows) {
        const std::uint8_t* slice[4];
        SliceOf(*frame_, first, slice);
        const int written = sws_scale(
            scaler_, slice, frame_->linesize, first, std::min(bandRows, frame_->height - first), planes, pitches);
        if (written < 0 || done + written > height_) {
            lastError_
                = AvFailure(MediaFailure::DecodeFailed, "sws_scale()", source_->Path(), written < 0 ? written : 0).text;
            return false;
        }
        for (int row = done; row < done + written; ++row) {
            std::uint8_t* to = firstRow + static_cast<std::ptrdiff_t>(row) * pitch;
            if (padded) {
                std::memcpy(to,
                    paddedRows_.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(paddedPitch),
                    static_cast<std::size_t>(rowBytes));
            }
            if (clearX) {
                ClearFourthBytes(to, static_cast<std::size_t>(rowBytes));
            }
        }
        done += written;
    }
    if (done != height_) {
        lastError_ = AvFailure(MediaFailure::DecodeFailed, "sws_scale()", source_->Path(), 0).text;
        return false;
    }
    return true;
}

} // namespace discforge
