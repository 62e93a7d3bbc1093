// A decoded 4:2:0 frame kept as the decoder gave it, its planes shared with the
// decoder, and turned into BGRX rows only when they are asked for: the rows of a
// frame that is scaled down as it is converted are made a few at a time.
#pragma once

#include "platform/Yuv420ToBgrx.h"
#include "ports/PictureBands.h"

#include <memory>

extern "C" {
#include <libavutil/frame.h>
}

namespace discforge {

class Yuv420Bands final : public PictureBands {
public:
    // Holds `frame`, a 4:2:0 picture of even height; null when memory runs out.
    static std::unique_ptr<Yuv420Bands> Hold(const AVFrame& frame);
    ~Yuv420Bands() override;
    Yuv420Bands(const Yuv420Bands&) = delete;
    Yuv420Bands& operator=(const Yuv420Bands&) = delete;

    int Width() const override { return frame_->width; }
    int Height() const override { return frame_->height; }
    void MakeRows(int top, int count, std::uint8_t* into, std::ptrdiff_t pitch) const override;
    bool MakeColumns(int top, std::uint8_t* into) const override;
    // The whole picture as rows from `into` on, `pitch` bytes apart, the fourth
    // byte as given.
    void Unfold(std::uint8_t* into, std::ptrdiff_t pitch, std::uint8_t fourth) const;

private:
    // The planes from row `top` (even) on.
    Yuv420Planes PlanesFrom(int top) const;

    explicit Yuv420Bands(AVFrame* frame)
        : frame_(frame)
    {
    }

    AVFrame* frame_;
};

} // namespace discforge
