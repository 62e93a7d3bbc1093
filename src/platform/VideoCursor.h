// A reading position in the first video stream of a file: demuxer, decoder and
// converter to 32-bit BGRX. Frames are numbered from the stream's first frame
// by their timestamps and the stream's frame rate.
//
// The cursor decides how to reach a frame: decoding forward when the frame lies
// ahead before the next key frame, seeking the demuxer to the key frame at or
// before it otherwise, so reading in order decodes each frame once.
//
// Used by one thread at a time.
#pragma once

#include "platform/MediaError.h"
#include "platform/PictureTurn.h"
#include "platform/StreamCursor.h"
#include "platform/Yuv420Bands.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libswscale/swscale.h>
}

namespace discforge {

class VideoCursor : public StreamCursor {
public:
    // The demuxer, the decoder and the converter take the values `use` wants for
    // them. The size is that of the decoded pictures (a decoder told to decode at
    // a lower resolution delivers smaller ones), upright as players show them:
    // a picture the display matrix turns a quarter comes out as high as it is stored wide.
    static std::unique_ptr<VideoCursor> Open(const std::string& path, MediaError& error, MediaOptionUse* use = nullptr);
    ~VideoCursor();

    int Width() const { return turn_.SwapsSides() ? height_ : width_; }
    int Height() const { return turn_.SwapsSides() ? width_ : height_; }
    // How the stored pictures are turned to stand upright.
    const PictureTurn& Turn() const { return turn_; }
    // The frame rate used for numbering; 25 when the stream gives none.
    AVRational FrameRate() const { return frameRate_; }
    bool HasFrameTiming() const { return hasFrameTiming_; }

    // Decodes the next frame in presentation order.
    CursorStep DecodeNext();
    // The same, for a caller that wants frame `wanted` and drops those before it:
    // pictures before it that no other picture needs are not decoded at all.
    CursorStep DecodeToward(std::int64_t wanted);
    // Number of the frame DecodeNext produced last.
    std::int64_t FrameIndex() const { return lastIndex_; }
    // The lowest number the next decoded frame can have.
    std::int64_t NextIndex() const;
    // True when reaching `target` is cheaper by a demuxer seek than by decoding on.
    bool ShouldSeekFor(std::int64_t target);
    // Seeks the demuxer to the key frame at or before `target`. When the next
    // frame decoded would come after `target` (the seek landed too late), it
    // seeks further back on its own.
    bool SeekTo(std::int64_t target);
    // The key frame at or after `position` by the demuxer's index; -1 when unknown.
    std::int64_t IndexedKeyFrameAtOrAfter(std::int64_t position);

    // Writes the last decoded frame as Width x Height BGRX rows starting at
    // `firstRow`, `pitch` bytes apart (negative for bottom-up storage). With
    // `clearX` the fourth byte of every pixel comes out 0, as in a bitmap.
    bool Convert(std::uint8_t* firstRow, int pitch, bool clearX);
    // The last decoded frame kept unconverted, where Convert would give it by the
    // fast 4:2:0 route (its rows come out the same, with the fourth byte 0); null
    // otherwise (a turned picture among them) or when memory runs out, and Convert serves.
    std::unique_ptr<Yuv420Bands> HoldBands() const;

    std::uint64_t FramesDecoded() const { return framesDecoded_; }
    // The frame DecodeNext produced last, as decoded; null before the first.
    const AVFrame* LastFrame() const { return haveLast_ ? frame_ : nullptr; }
    const AVCodecContext* CodecContext() const { return codec_; }

private:
    VideoCursor() = default;
    std::int64_t IndexOfPts(std::int64_t pts) const;
    std::int64_t PtsOfIndex(std::int64_t index) const;
    std::int64_t KeyFrameAtOrBefore(std::int64_t target);
    CursorStep Decode(const UnreferencedSkip* skip);
    bool LandedPastTarget(CursorStep step) const;
    bool SeekFurtherBack();
    // A converter for the last decoded frame's size and format, with the chosen options.
    bool PrepareScaler();
    // Convert for the picture as stored, width_ x height_.
    bool ConvertStored(std::uint8_t* firstRow, int pitch, bool clearX);
    // Whether the last decoded frame takes the converter's fast 4:2:0 route,
    // which Yuv420ToBgrx gives faster.
    bool TakesFastRoute() const;

    SwsContext* scaler_ = nullptr;
    int scalerWidth_ = 0;
    int scalerHeight_ = 0;
    int scalerFormat_ = AV_PIX_FMT_NONE;
    OptionValues scalerOptions_;
    std::vector<std::uint8_t> paddedRows_; // for pictures whose rows the converter would overrun
    int width_ = 0; // as stored and decoded
    int height_ = 0;
    PictureTurn turn_;
    std::vector<std::uint8_t> storedRows_; // a turned picture before its turn
    AVDiscard chosenSkip_ = AVDISCARD_DEFAULT; // the decoder's setting, from the user's options
    AVRational frameRate_{25, 1};
    bool hasFrameTiming_ = false;

    bool ended_ = false;
    bool haveLast_ = false;
    std::int64_t lastIndex_ = -1;
    std::int64_t landing_ = 0; // lowest number the first frame after an open or seek can have
    bool checkLanding_ = false; // the next decoded frame is the first after a seek
    std::int64_t seekTarget_ = 0;
    std::int64_t backOff_ = 0; // frames before seekTarget_ that the last retry sought to

    std::uint64_t framesDecoded_ = 0;
};

} // namespace discforge
