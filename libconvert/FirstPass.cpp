#include "FirstPass.h"

namespace discforge::convert {

EncodeStatus FirstPass::Open(const DiscProfile& profile)
{
    DiscProfile first = profile;
    first.pass = EncoderPass::first;
    statistics_.clear();
    return video_.Open(first);
}

EncodeStatus FirstPass::Encode(const AVFrame* picture)
{
    // The encoder writes one picture's line after each packet it gives back.
    const PacketSink keepStatistics = [this](AVPacket*) {
        const char* line = video_.Context()->stats_out;
        if (line != nullptr) {
            statistics_ += line;
        }
        return EncodeStatus::Done();
    };
    return video_.Encode(picture, keepStatistics);
}

} // namespace discforge::convert
