#include "platform/Yuv420Bands.h"

#include "platform/Yuv420ToBgrx.h"

namespace discforge {

std::unique_ptr<Yuv420Bands> Yuv420Bands::Hold(const AVFrame& frame)
{
    AVFrame* held = av_frame_clone(&frame);
    if (held == nullptr) {
        return nullptr;
    }
    return std::unique_ptr<Yuv420Bands>(new Yuv420Bands(held));
}

Yuv420Bands::~Yuv420Bands() { av_frame_free(&frame_); }

void Yuv420Bands::MakeRows(int top, int count, std::uint8_t* into, std::ptrdiff_t pitch) const
{
    const int chromaTop = top / 2;
    const Yuv420Planes planes{frame_->data[0] + std::ptrdiff_t{top} * frame_->linesize[0],
        frame_->data[1] + std::ptrdiff_t{chromaTop} * frame_->linesize[1],
        frame_->data[2] + std::ptrdiff_t{chromaTop} * frame_->linesize[2], frame_->linesize[0], frame_->linesize[1],
        frame_->linesize[2]};
    Yuv420ToBgrx(planes, frame_->width, count, into, pitch, 0);
}

} // namespace discforge
