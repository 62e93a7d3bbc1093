#include "platform/Yuv420Bands.h"

#include "platform/Yuv420ToColumns.h"

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

Yuv420Planes Yuv420Bands::PlanesFrom(int top) const
{
    const int chromaTop = top / 2;
    return Yuv420Planes{frame_->data[0] + std::ptrdiff_t{top} * frame_->linesize[0],
        frame_->data[1] + std::ptrdiff_t{chromaTop} * frame_->linesize[1],
        frame_->data[2] + std::ptrdiff_t{chromaTop} * frame_->linesize[2], frame_->linesize[0], frame_->linesize[1],
        frame_->linesize[2]};
}

void Yuv420Bands::MakeRows(int top, int count, std::uint8_t* into, std::ptrdiff_t pitch) const
{
    Yuv420ToBgrx(PlanesFrom(top), frame_->width, count, into, pitch, 0);
}

void Yuv420Bands::Unfold(std::uint8_t* into, std::ptrdiff_t pitch, std::uint8_t fourth) const
{
    Yuv420ToBgrx(PlanesFrom(0), frame_->width, frame_->height, into, pitch, fourth);
}

bool Yuv420Bands::MakeColumns(int top, std::uint8_t* into) const
{
    return top % 2 == 0 && top >= 0 && top + columnRows <= frame_->height
        && Yuv420ToBgrxColumns(PlanesFrom(top), frame_->width, top >= columnRows, into);
}

} // namespace discforge
